// The batch mode over every name of the shipped table, as a script pipes it
// to `topovil --lot -`: the store opened and read, then one search and one
// output line per name. Rows per second is the figure a mailing list cares
// about.
#include "cli/BatchLookup.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>

namespace {

const char *storePath = TOPOVIL_SOURCE_DIR "/data/insee.sqlite";

// Every commune name of the shipped table, one a line.
QByteArray shippedNames(int *count)
{
    QByteArray names;
    sqlite3 *db = nullptr;
    sqlite3_stmt *select = nullptr;
    sqlite3_open_v2(storePath, &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, "SELECT commune FROM insee1", -1, &select, nullptr);
    *count = 0;
    while (sqlite3_step(select) == SQLITE_ROW) {
        names += reinterpret_cast<const char *>(sqlite3_column_text(select, 0));
        names += '\n';
        ++*count;
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return names;
}

void BM_BatchLookup(benchmark::State &state)
{
    int count = 0;
    QByteArray names = shippedNames(&count);
    CommandLine line;
    line.action = CommandLine::Action::Batch;
    line.batchInput = QStringLiteral("-");
    std::FILE *out = std::fopen("/dev/null", "w");
    std::FILE *err = std::fopen("/dev/null", "w");
    int status = -1;
    for (auto _ : state) {
        std::FILE *in = fmemopen(names.data(), size_t(names.size()), "r");
        status = runBatch(line, QString::fromUtf8(storePath), in, out, err).status;
        std::fclose(in);
    }
    std::fclose(out);
    std::fclose(err);
    state.counters["status"] = status;
    state.counters["rows"] = count;
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

} // namespace

BENCHMARK(BM_BatchLookup)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
