#include "departements/DepartementTable.h"
#include "map/DepartementBrowser.h"
#include "map/FillColorGenerator.h"
#include "map/MapClick.h"
#include "map/MapPicture.h"

#include "SyntheticMaps.h"

#include <QtTest>

Q_DECLARE_METATYPE(DeptNumber)
Q_DECLARE_METATYPE(BrowserDirection)

using namespace testmap;

namespace {

DeptNumber text(const char *number)
{
    return DeptNumber(QString::fromLatin1(number));
}

} // namespace

class TestDepartementBrowser : public QObject
{
    Q_OBJECT

private slots:
    void readsAsNumber_data()
    {
        QTest::addColumn<DeptNumber>("number");
        QTest::addColumn<double>("expected");
        // clang-format off
        QTest::newRow("start") << DeptNumber() << 0.0;
        QTest::newRow("integer") << DeptNumber(42) << 42.0;
        QTest::newRow("double") << DeptNumber(74.0) << 74.0;
        QTest::newRow("text 75") << text("75") << 75.0;
        QTest::newRow("text 1") << text("1") << 1.0;
        QTest::newRow("text with blanks") << text(" 20 ") << 20.0;
        QTest::newRow("text that is no number") << text("2A") << 0.0;
        QTest::newRow("empty text") << text("") << 0.0;
        // clang-format on
    }

    void readsAsNumber()
    {
        QFETCH(DeptNumber, number);
        QFETCH(double, expected);
        QCOMPARE(number.toNumber(), expected);
    }

    void steps_data()
    {
        QTest::addColumn<DeptNumber>("from");
        QTest::addColumn<BrowserDirection>("direction");
        QTest::addColumn<DeptNumber>("expected");
        QTest::addColumn<QString>("shown");

        const auto down = BrowserDirection::Down;
        const auto up = BrowserDirection::Up;
        // clang-format off
        QTest::newRow("start, up") << DeptNumber() << up << DeptNumber(1) << "1";
        QTest::newRow("start, down wraps") << DeptNumber() << down << DeptNumber(97) << "97";
        QTest::newRow("1, down wraps") << DeptNumber(1) << down << DeptNumber(97) << "97";
        QTest::newRow("97, up wraps") << DeptNumber(97) << up << DeptNumber(1) << "1";
        QTest::newRow("95, up") << DeptNumber(95) << up << DeptNumber(96) << "96";
        QTest::newRow("96, up") << DeptNumber(96) << up << DeptNumber(97) << "97";
        QTest::newRow("text 75, up") << text("75") << up << DeptNumber(76.0) << "76";
        QTest::newRow("text 75, down") << text("75") << down << DeptNumber(74.0) << "74";
        QTest::newRow("text 97, up wraps") << text("97") << up << DeptNumber(1) << "1";
        QTest::newRow("text 1, down wraps") << text("1") << down << DeptNumber(97) << "97";
        QTest::newRow("text 0, up") << text("0") << up << DeptNumber(1.0) << "1";
        QTest::newRow("number 76, up") << DeptNumber(76.0) << up << DeptNumber(77.0) << "77";
        QTest::newRow("number 97, up wraps") << DeptNumber(97.0) << up << DeptNumber(1) << "1";
        QTest::newRow("no number, up") << text("x") << up << DeptNumber(1.0) << "1";
        QTest::newRow("no number, down") << text("x") << down << DeptNumber(97) << "97";
        // clang-format on
    }

    void steps()
    {
        QFETCH(DeptNumber, from);
        QFETCH(BrowserDirection, direction);
        QFETCH(DeptNumber, expected);
        QFETCH(QString, shown);

        const DeptNumber next = direction == BrowserDirection::Up ? stepUp(from) : stepDown(from);
        QCOMPARE(next.toText(), shown);
        // An integer stays an integer; a text read as a number does not.
        QCOMPARE(next.value().index(), expected.value().index());
        QVERIFY(next == expected);
    }

    void storedTextShowsAsItIs()
    {
        QCOMPARE(text("75").toText(), QStringLiteral("75"));
        QCOMPARE(DeptNumber().toText(), QStringLiteral("0"));
    }

    void presses_data()
    {
        QTest::addColumn<DeptNumber>("from");
        QTest::addColumn<BrowserDirection>("direction");
        QTest::addColumn<QString>("label5");
        QTest::addColumn<QString>("label20");
        QTest::addColumn<QPointF>("seed");

        const auto down = BrowserDirection::Down;
        const auto up = BrowserDirection::Up;
        // clang-format off
        QTest::newRow("start, >>") << DeptNumber() << up << "1" << "AIN" << QPointF(190, 142);
        QTest::newRow("start, <<") << DeptNumber() << down << "97" << "D.O.M" << QPointF(5, 5);
        QTest::newRow("1, <<") << DeptNumber(1) << down << "97" << "D.O.M" << QPointF(5, 5);
        QTest::newRow("97, >>") << DeptNumber(97) << up << "1" << "AIN" << QPointF(190, 142);
        QTest::newRow("95, >>") << DeptNumber(95) << up << "96" << "D.O.M" << QPointF(5, 5);
        QTest::newRow("96, <<") << DeptNumber(96) << down << "95" << "VAL-D'OISE"
                                << QPointF(142, 78);
        QTest::newRow("text 75, >>") << text("75") << up << "76" << "SEINE-MARITIME"
                                     << QPointF(124, 66);
        QTest::newRow("text 75, <<") << text("75") << down << "74" << "HAUTE-SAVOIE"
                                     << QPointF(211, 143);
        QTest::newRow("text 97, >>") << text("97") << up << "1" << "AIN" << QPointF(190, 142);
        QTest::newRow("text 19, >>") << text("19") << up << "20" << "CORSE" << QPointF(221, 244);
        QTest::newRow("text 56, <<") << text("56") << down << "55" << "MEUSE" << QPointF(190, 79);
        // clang-format on
    }

    void presses()
    {
        QFETCH(DeptNumber, from);
        QFETCH(BrowserDirection, direction);
        QFETCH(QString, label5);
        QFETCH(QString, label20);
        QFETCH(QPointF, seed);

        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        FillColorGenerator reference;
        BrowserState state{from, QPointF(12, 34), QStringLiteral("EARLIER")};

        const BrowserCaptions shown = browserPress(direction, state, map, colors);
        QCOMPARE(shown.label5, label5);
        QCOMPARE(shown.label20, label20);
        QCOMPARE(state.deptName, label20);
        QCOMPARE(state.seed, seed);
        QCOMPARE(state.deptNumber.toText(), label5);

        const QRgb fill = reference.nextColor();
        QCOMPARE(map.fillColor(), fill);
        QCOMPARE(map.pixel(seed.toPoint()), fill & 0xffffff);
    }

    void eachPressClearsThePrevious()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        BrowserState state;
        browserPress(BrowserDirection::Up, state, map, colors);
        const BrowserCaptions second = browserPress(BrowserDirection::Up, state, map, colors);
        QCOMPARE(second.label5, QStringLiteral("2"));
        QCOMPARE(map.pixel(QPoint(190, 142)), 0xffffffu);
        QCOMPARE(countPixels(map.image(), map.fillColor()), 9);
        QCOMPARE(identifyDepartement(map).number, QStringLiteral("2"));
    }

    void pressesRunThroughEveryNumberAndWrap()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        FillColorGenerator reference;
        BrowserState state;
        for (int n = 1; n <= 98; ++n) {
            const int expected = n == 98 ? 1 : n;
            const BrowserCaptions shown = browserPress(BrowserDirection::Up, state, map, colors);
            QCOMPARE(shown.label5, QString::number(expected));
            QCOMPARE(map.fillColor(), reference.nextColor()); // three draws a press
            const QString named = identifyDepartement(map).number;
            QCOMPARE(named, expected <= 95 ? QString::number(expected) : QString());
        }
    }

    // Cannot come from the window's own numbers; the point and the name of
    // the last match stay, and the map is filled there again.
    void numberWithoutRowKeepsPointAndName()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        BrowserState state{DeptNumber(0.5), QPointF(190, 142), QStringLiteral("AIN")};
        const BrowserCaptions shown = browserPress(BrowserDirection::Up, state, map, colors);
        QCOMPARE(shown.label5, QStringLiteral("1.5"));
        QCOMPARE(shown.label20, QStringLiteral("AIN"));
        QCOMPARE(state.seed, QPointF(190, 142));
        QCOMPARE(map.pixel(QPoint(190, 142)), map.fillColor() & 0xffffff);
    }

    // --- the real map

    void firstPressesOnTheRealMap()
    {
        MapPicture map;
        FillColorGenerator colors;

        BrowserState up;
        const BrowserCaptions first = browserPress(BrowserDirection::Up, up, map, colors);
        QCOMPARE(first.label20, QStringLiteral("AIN"));
        QCOMPARE(identifyDepartement(map).number, QStringLiteral("1"));

        BrowserState down;
        const BrowserCaptions shown = browserPress(BrowserDirection::Down, down, map, colors);
        QCOMPARE(shown.label5, QStringLiteral("97"));
        QCOMPARE(shown.label20, QStringLiteral("D.O.M"));
        QCOMPARE(map.pixel(QPoint(49, 216)), map.fillColor() & 0xffffff);
        QVERIFY(identifyDepartement(map).number.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDepartementBrowser)
#include "test_departement_browser.moc"
