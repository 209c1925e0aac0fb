#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"

#include "MillionTable.h"
#include "ResidentMemory.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

// What the start-up pays before the first commune shows: opening the file and
// reading table insee1 (read whole on first use), here also stepped through
// field by field as a search does.
void openAndReadAll(benchmark::State &state, const QString &path)
{
    if (!QFileInfo::exists(path)) {
        state.SkipWithError(qPrintable(QStringLiteral("%1 is absent").arg(path)));
        return;
    }
    const QStringList fields = {"commune", "longitude", "latitude", "codepos", "departement"};
    int rowCount = 0;
    for (auto _ : state) {
        const std::unique_ptr<Database> db = openDatabase(path);
        Recordset rows = db->openRecordset("insee1");
        rowCount = rows.recordCount();
        for (; !rows.isEof(); rows.moveNext())
            for (const QString &field : fields)
                benchmark::DoNotOptimize(rows.field(field));
    }
    state.counters["rows"] = rowCount;
}

// Opening and reading a table of a million communes. bytes_per_row: the
// resident memory that the loaded table adds, its file closed, per row.
void BM_LoadMillion(benchmark::State &state)
{
    const QString path = benchTables().million;
    if (path.isEmpty()) {
        state.SkipWithError("cannot make the million-row table");
        return;
    }
    const qint64 before = residentBytes();
    Recordset kept;
    {
        const std::unique_ptr<Database> db = openDatabase(path);
        kept = db->openRecordset("insee1");
    }
    const qint64 added = residentBytes() - before;
    for (auto _ : state) {
        const std::unique_ptr<Database> db = openDatabase(path);
        Recordset rows = db->openRecordset("insee1");
        benchmark::DoNotOptimize(rows.recordCount());
    }
    state.counters["rows"] = kept.recordCount();
    state.counters["bytes_per_row"] = double(added) / std::max(1, kept.recordCount());
}

} // namespace

BENCHMARK_CAPTURE(openAndReadAll, shipped_sqlite_store, QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite"))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(openAndReadAll, access_insee_full,
                  QStringLiteral(TOPOVIL_SHARED_DIR "/fixtures/insee-mdb/insee-full.mdb"))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_LoadMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
