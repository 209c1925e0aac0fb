// The questions of distance asked of a table's geographic index: the commune
// nearest a place, and the communes within 10 km of it, on the shipped table
// and on a million rows. The index is made before timing, as the first
// question of a run makes it once.
#include "MillionTable.h"
#include "geometry/NearestCommunes.h"
#include "store/DatabaseFile.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

Recordset shippedCommunes()
{
    static const std::unique_ptr<Database> db = openDatabase(QStringLiteral(TOPOVIL_SOURCE_DIR "/data/insee.sqlite"));
    return db->openRecordset(QStringLiteral("insee1"));
}

// Places spread over metropolitan France, the same at every run.
const std::vector<GeoPoint> &places()
{
    static const std::vector<GeoPoint> made = [] {
        QRandomGenerator random(22);
        std::vector<GeoPoint> points(1024);
        for (GeoPoint &p : points)
            p = {42.3 + random.bounded(8.8), -4.8 + random.bounded(13.0)};
        return points;
    }();
    return made;
}

template <typename Question>
void askAtPlaces(benchmark::State &state, const Recordset &communes, Question &&question)
{
    nearestCommune(communes, {46, 2}); // makes the index
    size_t i = 0;
    size_t found = 0;
    for (auto _ : state) {
        found += question(communes, places()[i++ % places().size()]);
        benchmark::DoNotOptimize(found);
    }
    state.counters["found_per_question"] = double(found) / double(state.iterations());
}

size_t nearestAt(const Recordset &communes, GeoPoint point)
{
    return nearestCommune(communes, point) ? 1 : 0;
}

size_t tenKmAround(const Recordset &communes, GeoPoint point)
{
    return communesWithin(communes, point, 10).size();
}

void BM_NearestCommune(benchmark::State &state)
{
    askAtPlaces(state, shippedCommunes(), nearestAt);
}

void BM_AroundTenKm(benchmark::State &state)
{
    askAtPlaces(state, shippedCommunes(), tenKmAround);
}

void BM_NearestCommuneMillion(benchmark::State &state)
{
    if (benchTables().million.isEmpty()) {
        state.SkipWithError("cannot make the million-row table");
        return;
    }
    static const std::unique_ptr<Database> db = openDatabase(benchTables().million);
    askAtPlaces(state, db->openRecordset(QStringLiteral("insee1")), nearestAt);
}

} // namespace

BENCHMARK(BM_NearestCommune)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AroundTenKm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NearestCommuneMillion)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
