#include "app/Form1.h"
#include "app/Form1Layout.h"

#include <QtTest>

// The window's rounded outline: which pixels belong to the window.
class TestChromeRegion : public QObject
{
    Q_OBJECT
private slots:
    void boundingBox();
    void pixels_data();
    void pixels();
    void cornersAreSymmetric();
    void windowIsMaskedFromConstruction();
};

void TestChromeRegion::boundingBox()
{
    // From (1,1) to (545,420), right and bottom excluded: the first row and
    // column are cut away and the lower edge lies 3 rows below the window.
    QCOMPARE(form1Region().boundingRect(), QRect(1, 1, 544, 419));
}

void TestChromeRegion::pixels_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("inside");

    // clang-format off
    QTest::newRow("middle") << QPoint(272, 208) << true;
    QTest::newRow("first row") << QPoint(272, 0) << false;
    QTest::newRow("first column") << QPoint(0, 208) << false;
    QTest::newRow("second row") << QPoint(272, 1) << true;
    QTest::newRow("second column") << QPoint(1, 208) << true;
    QTest::newRow("last column") << QPoint(544, 208) << true;
    QTest::newRow("right of the last column") << QPoint(545, 208) << false;
    QTest::newRow("last window row") << QPoint(272, 416) << true;
    QTest::newRow("last region row") << QPoint(272, 419) << true;
    QTest::newRow("below the region") << QPoint(272, 420) << false;

    // The 30 x 30 corners: the corner pixel itself is cut, the diagonal
    // pixel 4 in is still cut and the one 5 in belongs to the window.
    QTest::newRow("top-left corner") << QPoint(1, 1) << false;
    QTest::newRow("top-left, 4 in") << QPoint(4, 4) << false;
    QTest::newRow("top-left, 5 in") << QPoint(5, 5) << true;
    QTest::newRow("top-right corner") << QPoint(544, 1) << false;
    QTest::newRow("top-right, 4 in") << QPoint(541, 4) << false;
    QTest::newRow("top-right, 5 in") << QPoint(540, 5) << true;
    QTest::newRow("top edge where the rounding ends") << QPoint(16, 1) << true;
    QTest::newRow("top row, inside the rounding") << QPoint(11, 1) << false;
    QTest::newRow("left edge where the rounding ends") << QPoint(1, 16) << true;

    // The bottom corners' rounding starts 15 rows above 420, so the last
    // rows of the window still lose a few pixels at both ends.
    QTest::newRow("bottom-left of the window") << QPoint(1, 416) << false;
    QTest::newRow("bottom-right of the window") << QPoint(544, 416) << false;
    QTest::newRow("bottom window row, 20 in") << QPoint(20, 416) << true;
    QTest::newRow("bottom window row, 20 in from the right") << QPoint(525, 416) << true;
    QTest::newRow("above the bottom rounding, left") << QPoint(1, 404) << true;
    QTest::newRow("above the bottom rounding, right") << QPoint(544, 404) << true;
    QTest::newRow("bottom-left of the region") << QPoint(1, 419) << false;
    QTest::newRow("bottom-right of the region") << QPoint(544, 419) << false;
    // clang-format on
}

void TestChromeRegion::pixels()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, inside);
    QCOMPARE(form1Region().contains(pixel), inside);
}

void TestChromeRegion::cornersAreSymmetric()
{
    // Left and right, top and bottom mirror each other around the region's
    // centre: x <-> 545 - x, y <-> 420 - y.
    const QRegion region = form1Region();
    for (int y = 1; y < 420; ++y)
        for (int x = 1; x < 40; ++x) {
            const bool left = region.contains(QPoint(x, y));
            QVERIFY2(region.contains(QPoint(545 - x, y)) == left, qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
            QVERIFY2(region.contains(QPoint(x, 420 - y)) == left, qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
        }
}

void TestChromeRegion::windowIsMaskedFromConstruction()
{
    // The outline is in place before any data is opened.
    Form1 form;
    QCOMPARE(form.size(), QSize(545, 417));
    QVERIFY(!form.mask().isEmpty());
    QCOMPARE(form.mask().intersected(form.rect()), form1Region().intersected(form.rect()));
}

QTEST_MAIN(TestChromeRegion)
#include "test_chrome_region.moc"
