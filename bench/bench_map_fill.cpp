// Cost of what every click, browser press and record display does to the
// map: show the stored picture again, then flood one area.

#include "map/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

bool hasBlack(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == 0)
                return true;
    return false;
}

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

// The compiled picture, or, while it is still a blank stand-in, a sea with a
// large white disc in a black ring standing for a département.
const BenchMap &benchMap()
{
    static const BenchMap map = [] {
        const QImage raw = QImage(QStringLiteral(":/map.bmp")).convertToFormat(QImage::Format_RGB32);
        if (hasBlack(raw)) {
            const QImage stored = MapPicture::storedPicture();
            return BenchMap{stored, largestDepartement(stored)};
        }
        QImage synthetic(265, 298, QImage::Format_RGB32);
        synthetic.fill(MapPicture::Sea);
        for (int y = 0; y < synthetic.height(); ++y)
            for (int x = 0; x < synthetic.width(); ++x) {
                const int d2 = (x - 140) * (x - 140) + (y - 150) * (y - 150);
                if (d2 <= 60 * 60)
                    synthetic.setPixel(x, y, d2 >= 59 * 59 ? 0xff000000 : MapPicture::White);
            }
        return BenchMap{synthetic, QPoint(140, 150)};
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
BENCHMARK(BM_ResetOnly)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
