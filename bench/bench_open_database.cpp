#include "communes/DatabaseError.h"
#include "communes/DatabaseFile.h"

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

BENCHMARK_MAIN();
