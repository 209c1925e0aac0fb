#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"

#include "ReferenceFill.h"
#include "SyntheticMaps.h"

#include <QtTest>

#include <cmath>
#include <random>
#include <set>

using namespace testmap;

namespace {

// A small map of two white areas in a black frame on the sea. The border
// between them is a diagonal line whose pixels touch only at corners: closed
// for a fill that spreads to side neighbours, open for one that would also
// spread through corners.
//   frame: (2,2)..(29,21); diagonal: x = y + 4 for y 3..20
QImage twoAreas()
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(sea);
    for (int y = 2; y <= 21; ++y)
        for (int x = 2; x <= 29; ++x) {
            const bool frame = x == 2 || x == 29 || y == 2 || y == 21;
            image.setPixel(x, y, frame ? black : white);
        }
    for (int y = 3; y <= 20; ++y)
        image.setPixel(y + 4, y, black);
    return image;
}
const QPoint leftArea(4, 10);
const QPoint rightArea(25, 5);

QRect changedRect(const QImage &before, const QImage &after)
{
    QRect changed;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

} // namespace

class TestMapFill : public QObject
{
    Q_OBJECT

private slots:
    // --- the colours

    void drawsAreSinglePrecisionInUnitInterval()
    {
        FillColorGenerator colors;
        double sum = 0;
        float smallest = 1, largest = 0;
        const int draws = 1'000'000;
        for (int i = 0; i < draws; ++i) {
            const float r = colors.nextUniform();
            QVERIFY(r >= 0.0f && r < 1.0f);
            const float scaled = r * 0x1p24f;
            QCOMPARE(scaled, std::floor(scaled));
            smallest = std::min(smallest, r);
            largest = std::max(largest, r);
            sum += r;
        }
        QVERIFY(std::abs(sum / draws - 0.5) < 0.002);
        QVERIFY(smallest < 0.0001f);
        QVERIFY(largest > 0.9999f);
    }

    void colourIsRedGreenBlueFromThreeDraws()
    {
        FillColorGenerator colors;
        FillColorGenerator draws;
        for (int i = 0; i < 1000; ++i) {
            const int red = int(std::floor(double(draws.nextUniform()) * 255));
            const int green = int(std::floor(double(draws.nextUniform()) * 255));
            const int blue = int(std::floor(double(draws.nextUniform()) * 255));
            QCOMPARE(colors.nextColor(), qRgb(red, green, blue));
        }
    }

    void channelsStayBelow255AndCoverTheRange()
    {
        FillColorGenerator colors;
        std::set<int> reds, greens, blues;
        for (int i = 0; i < 100'000; ++i) {
            const QRgb color = colors.nextColor();
            QVERIFY(qRed(color) <= 254 && qGreen(color) <= 254 && qBlue(color) <= 254);
            QVERIFY(color != white && color != sea);
            reds.insert(qRed(color));
            greens.insert(qGreen(color));
            blues.insert(qBlue(color));
        }
        QCOMPARE(reds.size(), size_t(255));
        QCOMPARE(greens.size(), size_t(255));
        QCOMPARE(blues.size(), size_t(255));
    }

    void everyRunGivesTheSameColours()
    {
        FillColorGenerator first;
        FillColorGenerator second;
        std::set<QRgb> distinct;
        for (int i = 0; i < 1000; ++i) {
            const QRgb color = first.nextColor();
            QCOMPARE(second.nextColor(), color);
            distinct.insert(color);
        }
        QVERIFY(distinct.size() > 990);

        // Same actions on two maps, each with its own generator.
        MapPicture a(twoAreas()), b(twoAreas());
        FillColorGenerator colorsA, colorsB;
        for (const QPoint p : {leftArea, rightArea, leftArea}) {
            a.reset();
            b.reset();
            QCOMPARE(a.fillAtPoint(p, colorsA), b.fillAtPoint(p, colorsB));
            QCOMPARE(a.image(), b.image());
        }
    }

    void eachFillTakesExactlyThreeDraws()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        FillColorGenerator reference;
        for (const QPointF p :
             {QPointF(leftArea), QPointF(-3, 4), QPointF(rightArea), QPointF(1000, 1000), QPointF(leftArea)}) {
            const QRgb expected = reference.nextColor();
            QCOMPARE(map.fillAtPoint(p, colors), expected);
            QCOMPARE(map.fillColor(), expected);
        }
    }

    // --- the fill

    void fillsExactlyTheSideConnectedArea_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("changed");
        // clang-format off
        QTest::newRow("left of the diagonal") << leftArea << 225;
        QTest::newRow("right of the diagonal") << rightArea << 225;
        QTest::newRow("the sea around") << QPoint(0, 0) << 32 * 24 - 28 * 20; // 208
        QTest::newRow("lone pixel of the diagonal") << QPoint(14, 10) << 1;
        QTest::newRow("the frame and the diagonal's two ends") << QPoint(2, 2) << 92 + 2;
        // clang-format on
    }

    void fillsExactlyTheSideConnectedArea()
    {
        QFETCH(QPoint, point);
        QFETCH(int, changed);

        MapPicture map(twoAreas());
        FillColorGenerator colors;
        const QRgb fill = map.fillAtPoint(point, colors);

        const QImage expected = referenceFill(twoAreas(), point, fill);
        QCOMPARE(map.image(), expected);
        QCOMPARE(countPixels(map.image(), fill), changed);
        QCOMPARE(map.lastFillRect(), changedRect(twoAreas(), map.image()));
    }

    void neighbourAcrossTheDiagonalStaysWhite()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        map.fillAtPoint(leftArea, colors);
        QCOMPARE(map.pixel(rightArea), 0xffffffu);
        // The corner-touching pixels on both sides of one diagonal step.
        QCOMPARE(map.pixel(QPoint(13, 10)), map.fillColor() & 0xffffff);
        QCOMPARE(map.pixel(QPoint(15, 10)), 0xffffffu);
        QCOMPARE(map.pixel(QPoint(14, 11)), map.fillColor() & 0xffffff);
        QCOMPARE(map.pixel(QPoint(14, 9)), 0xffffffu);
    }

    void borderPixelRecoloursOnlyItsStretch()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        map.fillAtPoint(QPoint(2, 2), colors);
        QCOMPARE(countPixels(map.image(), white), countPixels(twoAreas(), white));
        QCOMPARE(map.pixel(QPoint(14, 10)), 0u); // the diagonal's inside stays black
        QCOMPARE(map.pixel(QPoint(7, 3)), map.fillColor() & 0xffffff);
    }

    void matchesTheSlowFillOnRandomShapes_data()
    {
        QTest::addColumn<double>("wallShare");
        QTest::addColumn<int>("seed");
        for (const double share : {0.2, 0.35, 0.45, 0.55})
            for (const int seed : {1, 2, 3})
                // clang-format off
                QTest::addRow("walls %.2f, shape %d", share, seed) << share << seed;
        // clang-format on
    }

    // Mazes with every kind of pocket and overhang; the fill must reach
    // exactly what a plain breadth-first search reaches.
    void matchesTheSlowFillOnRandomShapes()
    {
        QFETCH(double, wallShare);
        QFETCH(int, seed);

        std::mt19937 random{unsigned(seed)};
        std::bernoulli_distribution wall(wallShare);
        QImage image(61, 47, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, wall(random) ? black : white);

        FillColorGenerator colors;
        for (int trial = 0; trial < 20; ++trial) {
            const QPoint start(int(random() % 61), int(random() % 47));
            MapPicture map(image);
            const QRgb fill = map.fillAtPoint(start, colors);
            QCOMPARE(map.image(), referenceFill(image, start, fill));
            QCOMPARE(map.lastFillRect(), changedRect(image, map.image()));
        }
    }

    void largeOpenAreaFillsCompletely()
    {
        QImage open(265, 298, QImage::Format_RGB32);
        open.fill(white);
        MapPicture map(open);
        FillColorGenerator colors;
        const QRgb fill = map.fillAtPoint(QPointF(132, 149), colors);
        QCOMPARE(countPixels(map.image(), fill), 265 * 298);
        QCOMPARE(map.lastFillRect(), QRect(0, 0, 265, 298));
    }

    // One-pixel corridor snaking through the whole picture: the longest path
    // a fill can be asked to follow.
    void longSerpentineFillsCompletely()
    {
        QImage snake(265, 298, QImage::Format_RGB32);
        snake.fill(white);
        for (int y = 1; y < snake.height(); y += 2)
            for (int x = 0; x < snake.width(); ++x)
                snake.setPixel(x, y, black);
        for (int y = 1; y < snake.height(); y += 2)
            snake.setPixel((y / 2) % 2 == 0 ? snake.width() - 1 : 0, y, white);

        MapPicture map(snake);
        FillColorGenerator colors;
        const QRgb fill = map.fillAtPoint(QPointF(0, 0), colors);
        QCOMPARE(countPixels(map.image(), white), 0);
        QCOMPARE(map.image(), referenceFill(snake, QPoint(0, 0), fill));
    }

    void pointOutsideFillsNothing_data()
    {
        QTest::addColumn<QPointF>("point");
        // clang-format off
        QTest::newRow("left") << QPointF(-1, 5);
        QTest::newRow("above") << QPointF(5, -1);
        QTest::newRow("right") << QPointF(32, 5);
        QTest::newRow("below") << QPointF(5, 24);
        QTest::newRow("far away") << QPointF(1e12, -1e12);
        QTest::newRow("not a number") << QPointF(std::nan(""), 5);
        // clang-format on
    }

    void pointOutsideFillsNothing()
    {
        QFETCH(QPointF, point);
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        QCOMPARE(map.fillAtPoint(point, colors), nthColor(1));
        QCOMPARE(map.fillColor(), nthColor(1));
        QCOMPARE(map.image(), twoAreas());
        QVERIFY(map.lastFillRect().isEmpty());
    }

    void coordinatesRoundToNearestTiesToEven_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("column");
        // clang-format off
        QTest::newRow("2.5 -> 2") << 2.5 << 2;
        QTest::newRow("3.5 -> 4") << 3.5 << 4;
        QTest::newRow("0.5 -> 0") << 0.5 << 0;
        QTest::newRow("1.5 -> 2") << 1.5 << 2;
        QTest::newRow("2.4 -> 2") << 2.4 << 2;
        QTest::newRow("2.6 -> 3") << 2.6 << 3;
        QTest::newRow("4.49 -> 4") << 4.49 << 4;
        QTest::newRow("6.5 -> 6") << 6.5 << 6;
        QTest::newRow("-0.5 -> 0") << -0.5 << 0;
        QTest::newRow("-0.4 -> 0") << -0.4 << 0;
        QTest::newRow("-0.6 -> outside") << -0.6 << -1;
        QTest::newRow("7.5 -> outside") << 7.5 << -1;
        // clang-format on
    }

    void coordinatesRoundToNearestTiesToEven()
    {
        QFETCH(double, x);
        QFETCH(int, column);

        // Eight columns, each its own colour, so the filled column tells
        // where the point landed; likewise for rows, with x and y swapped.
        QImage columns(8, 3, QImage::Format_RGB32);
        QImage rows(3, 8, QImage::Format_RGB32);
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 3; ++j) {
                columns.setPixel(i, j, qRgb(10 * i, 0, 0));
                rows.setPixel(j, i, qRgb(10 * i, 0, 0));
            }
        FillColorGenerator colors;
        MapPicture byColumn(columns), byRow(rows);
        byColumn.fillAtPoint(QPointF(x, 1), colors);
        byRow.fillAtPoint(QPointF(1, x), colors);

        const QRect expectedColumn = column < 0 ? QRect() : QRect(column, 0, 1, 3);
        const QRect expectedRow = column < 0 ? QRect() : QRect(0, column, 3, 1);
        QCOMPARE(changedRect(columns, byColumn.image()), expectedColumn);
        QCOMPARE(changedRect(rows, byRow.image()), expectedRow);
        if (column >= 0)
            QCOMPARE(MapPicture::toMapPoint(QPointF(x, x)), QPoint(column, column));
    }

    void areaAlreadyOfTheFillColourStaysAsItIs()
    {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(nthColor(1));
        MapPicture map(image);
        FillColorGenerator colors;
        map.fillAtPoint(QPointF(3, 3), colors);
        QCOMPARE(map.image(), image);
        QVERIFY(map.lastFillRect().isEmpty());
    }

    // --- fills and resets

    void twoFillsWithoutResetLeaveBoth()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        const QRgb first = map.fillAtPoint(leftArea, colors);
        const QRgb second = map.fillAtPoint(rightArea, colors);
        QCOMPARE(map.pixel(leftArea), first & 0xffffff);
        QCOMPARE(map.pixel(rightArea), second & 0xffffff);
    }

    void resetLeavesOnlyTheLastFill()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        map.fillAtPoint(leftArea, colors);
        map.reset();
        QCOMPARE(map.image(), twoAreas());
        QVERIFY(map.lastFillRect().isEmpty());
        const QRgb second = map.fillAtPoint(rightArea, colors);
        QCOMPARE(map.pixel(leftArea), 0xffffffu);
        QCOMPARE(map.pixel(rightArea), second & 0xffffff);
        QCOMPARE(map.stored(), twoAreas());
    }

    void secondFillAtTheSamePointRecoloursTheSameArea()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        const QRgb first = map.fillAtPoint(leftArea, colors);
        const QRgb second = map.fillAtPoint(leftArea, colors);
        QVERIFY(first != second);
        QCOMPARE(countPixels(map.image(), first), 0);
        QCOMPARE(map.image(), referenceFill(twoAreas(), leftArea, second));
    }

    void dirtyRectCoversFillsAndResets()
    {
        MapPicture map(twoAreas());
        FillColorGenerator colors;
        QVERIFY(map.takeDirtyRect().isEmpty());

        map.fillAtPoint(leftArea, colors);
        const QRect left = map.lastFillRect();
        QCOMPARE(map.takeDirtyRect(), left);
        QVERIFY(map.takeDirtyRect().isEmpty());

        map.fillAtPoint(rightArea, colors);
        const QRect right = map.lastFillRect();
        map.reset();
        // Both fills disappear with the reset; the second was never taken.
        QCOMPARE(map.takeDirtyRect(), left | right);
        map.reset();
        QVERIFY(map.takeDirtyRect().isEmpty());
    }

    // --- the real map

    void realMapSeaFills()
    {
        MapPicture map;
        FillColorGenerator colors;

        const QRgb openSea = map.fillAtPoint(QPointF(49, 216), colors) & 0xffffff;
        QCOMPARE(map.pixel(QPoint(5, 5)), openSea);
        QCOMPARE(map.pixel(QPoint(40, 20)), MapPicture::Sea & 0xffffff);
        QCOMPARE(map.pixel(QPoint(210, 230)), MapPicture::Sea & 0xffffff);

        map.reset();
        const QRgb parisSea = map.fillAtPoint(QPointF(40, 20), colors) & 0xffffff;
        QCOMPARE(map.pixel(QPoint(40, 20)), parisSea);
        QCOMPARE(map.pixel(QPoint(5, 5)), MapPicture::Sea & 0xffffff);
        QCOMPARE(map.pixel(QPoint(49, 216)), MapPicture::Sea & 0xffffff);
    }

    void realMapBorderFillLeavesEveryDepartementWhite()
    {
        MapPicture map;
        // The first border pixel east of the seed point of Ain.
        QPoint border(190, 142);
        while (border.x() < map.image().width() - 1 && map.pixel(border) != 0)
            border.rx() += 1;
        FillColorGenerator colors;
        QCOMPARE(map.pixel(border), 0u);
        map.fillAtPoint(border, colors);
        QVERIFY(map.lastFillRect().isValid());
        QCOMPARE(countPixels(map.image(), white), countPixels(map.stored(), white));
    }
};

QTEST_GUILESS_MAIN(TestMapFill)
#include "test_map_fill.moc"
