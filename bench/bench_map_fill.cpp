// Cost of what every click, browser press and record display does to the
// map: show the stored picture again, then flood one area.

#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapClick.h"
#include "map/MapPicture.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

struct BenchMap
{
    QImage picture;
    QPoint departement; // seed point of the largest département
};

// The seed point whose fill covers the most pixels.
QPoint largestDepartement(const QImage &picture)
{
    QPoint largest;
    qint64 largestArea = -1;
    FillColorGenerator colors;
    MapPicture map(picture);
    for (int i = 0; i < 95; ++i) {
        const QPoint seed = DepartementTable()[size_t(i)].seed();
        map.reset();
        const QRgb fill = map.fillAtPoint(seed, colors);
        qint64 area = 0;
        for (int y = 0; y < map.image().height(); ++y)
            for (int x = 0; x < map.image().width(); ++x)
                area += map.image().pixel(x, y) == fill;
        if (area > largestArea) {
            largestArea = area;
            largest = seed;
        }
    }
    return largest;
}

// The compiled picture, with its largest département.
const BenchMap &benchMap()
{
    static const BenchMap map = [] {
        const QImage stored = MapPicture::storedPicture();
        return BenchMap{stored, largestDepartement(stored)};
    }();
    return map;
}

void resetAndFill(benchmark::State &state, QPoint at)
{
    MapPicture map(benchMap().picture);
    FillColorGenerator colors;
    for (auto _ : state) {
        map.reset();
        map.fillAtPoint(at, colors);
        benchmark::DoNotOptimize(map.image().constBits());
    }
    const QRect filled = map.lastFillRect();
    state.SetLabel(QStringLiteral("(%1,%2), box %3x%4")
                       .arg(at.x())
                       .arg(at.y())
                       .arg(filled.width())
                       .arg(filled.height())
                       .toStdString());
}

void BM_FillLargestDepartement(benchmark::State &state)
{
    resetAndFill(state, benchMap().departement);
}

void BM_FillOpenSea(benchmark::State &state)
{
    resetAndFill(state, QPoint(5, 5));
}

void BM_FillSmallDepartement(benchmark::State &state)
{
    resetAndFill(state, DepartementTable()[89].seed()); // Territoire-de-Belfort
}

// A click on the map, end to end: reset, fill, the 95 seed pixels read.
void clickAt(benchmark::State &state, QPoint at)
{
    MapPicture map(benchMap().picture);
    FillColorGenerator colors;
    ClickResult shown;
    for (auto _ : state) {
        shown = clickMap(map, colors, at);
        benchmark::DoNotOptimize(shown);
    }
    state.SetLabel(shown.name.isEmpty() ? std::string("nothing named") : shown.name.toStdString());
}

void BM_ClickDepartement(benchmark::State &state)
{
    clickAt(state, QPoint(190, 142));
}

void BM_ClickOpenSea(benchmark::State &state)
{
    clickAt(state, QPoint(49, 216));
}

void BM_ResetOnly(benchmark::State &state)
{
    MapPicture map(benchMap().picture);
    for (auto _ : state) {
        map.reset();
        benchmark::DoNotOptimize(map.image().constBits());
    }
}

} // namespace

BENCHMARK(BM_FillLargestDepartement)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillOpenSea)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillSmallDepartement)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickDepartement)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickOpenSea)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResetOnly)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
