// The batch mode over every name of the shipped table, as a script pipes it
// to `topovil --lot -`: the store opened and read, then one search and one
// output line per name. Rows per second is the figure a mailing list cares
// about.
#include "cli/BatchLookup.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sqlite3.h>

namespace {

const char *storePath = TOPOVIL_SOURCE_DIR "/data/insee.sqlite";
const char *posteLabelsPath = TOPOVIL_SOURCE_DIR "/../shared/data/codes-postaux/codes-postaux.json";

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

// La Poste's labels with their postal codes, as a CSV « nom;cp »: the rows
// that need a repair (short words, cut labels, post offices) are there.
QByteArray posteLabels(int *count)
{
    QFile file(QString::fromUtf8(posteLabelsPath));
    *count = 0;
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray lines = "nom;cp\n";
    for (const QJsonValue row : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject label = row.toObject();
        lines += label.value(QLatin1String("libelleAcheminement")).toString().toUtf8() + ';'
                 + label.value(QLatin1String("codePostal")).toString().toUtf8() + '\n';
        ++*count;
    }
    return lines;
}

void runLines(benchmark::State &state, QByteArray names, int count, const CommandLine &line)
{
    std::FILE *out = std::fopen("/dev/null", "w");
    std::FILE *err = std::fopen("/dev/null", "w");
    int status = -1;
    for (auto _ : state) {
        std::FILE *in = fmemopen(names.data(), size_t(names.size()), "r");
        status = runBatch(line, QString::fromUtf8(storePath), in, out, err).status();
        std::fclose(in);
    }
    std::fclose(out);
    std::fclose(err);
    state.counters["status"] = status;
    state.counters["rows"] = count;
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
}

void BM_BatchLookup(benchmark::State &state)
{
    int count = 0;
    QByteArray names = shippedNames(&count);
    CommandLine line;
    line.action = CommandLine::Action::Batch;
    line.batchInput = QStringLiteral("-");
    runLines(state, std::move(names), count, line);
}

void BM_BatchPosteLabels(benchmark::State &state)
{
    int count = 0;
    QByteArray labels = posteLabels(&count);
    if (count == 0) {
        state.SkipWithError("../shared/data/codes-postaux is absent");
        return;
    }
    CommandLine line;
    line.action = CommandLine::Action::Batch;
    line.batchInput = QStringLiteral("-");
    line.queryColumn = QStringLiteral("nom");
    line.postcodeColumn = QStringLiteral("cp");
    runLines(state, std::move(labels), count, line);
}

} // namespace

BENCHMARK(BM_BatchLookup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchPosteLabels)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
