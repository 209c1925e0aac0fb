#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapClick.h"
#include "map/MapPicture.h"
#include "store/NumberText.h"

#include "SyntheticMaps.h"

#include <QtTest>

using namespace testmap;

namespace {

} // namespace

class TestMapClick : public QObject
{
    Q_OBJECT

private slots:
    void clickOnEachDepartementNamesIt_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        const auto &rows = DepartementTable();
        for (int i = 0; i < 95; ++i) {
            const DepartementRow &row = rows[size_t(i)];
            const QString name = row.number == 56 ? QStringLiteral("MORBIHANT") : row.displayName();
            // clang-format off
            QTest::addRow("%d", row.number) << row.number << name;
            // clang-format on
        }
    }

    void clickOnEachDepartementNamesIt()
    {
        QFETCH(int, number);
        QFETCH(QString, name);

        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        // A corner of the box, not the seed point itself.
        const ClickResult shown = clickMap(map, colors, seedOf(number) + QPoint(1, -1));
        QCOMPARE(shown.number, QString::number(number));
        QCOMPARE(shown.name, name);
        QCOMPARE(map.pixel(seedOf(number)), nthColor(1) & 0xffffff);
    }

    void namesAsTheClickSpellsThem_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("1") << 1 << "AIN";
        QTest::newRow("56 with a final T") << 56 << "MORBIHANT";
        QTest::newRow("57") << 57 << "MOSELLE";
        QTest::newRow("75") << 75 << "PARIS";
        QTest::newRow("81") << 81 << "TARNE";
        QTest::newRow("92") << 92 << "HAUTS-DE-SEINE";
        QTest::newRow("95") << 95 << "VAL-D'OISE";
        // clang-format on
    }

    void namesAsTheClickSpellsThem()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        QCOMPARE(clickMap(map, colors, seedOf(number)).name, name);
    }

    void untouchedMapNamesNothing()
    {
        const MapPicture map(seedBoxes());
        const ClickResult shown = identifyDepartement(map);
        QVERIFY(shown.number.isEmpty());
        QVERIFY(shown.name.isEmpty());
    }

    void lowestNumberWins()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        map.fillAtPoint(seedOf(40), colors);
        map.fillAtPoint(seedOf(3), colors);
        map.fillAtPoint(seedOf(94), colors);
        const ClickResult shown = identifyDepartement(map);
        QCOMPARE(shown.number, QStringLiteral("3"));
        QCOMPARE(shown.name, QStringLiteral("ALLIER"));
    }

    void overseasPointIsNotLookedAt()
    {
        // The sea patch holds the overseas row's point (5, 5); colouring it
        // names nothing.
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        map.fillAtPoint(QPointF(5, 5), colors);
        QVERIFY(identifyDepartement(map).number.isEmpty());
    }

    void clickThatNamesNothing_data()
    {
        QTest::addColumn<QPointF>("click");
        // clang-format off
        QTest::newRow("border") << QPointF(100, 250);
        QTest::newRow("sea") << QPointF(5, 5);
        QTest::newRow("outside the picture") << QPointF(-4, 300);
        // clang-format on
    }

    void clickThatNamesNothing()
    {
        QFETCH(QPointF, click);
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        const ClickResult shown = clickMap(map, colors, click);
        QVERIFY(shown.number.isEmpty());
        QVERIFY(shown.name.isEmpty());
        // The fill used the first colour; the extra draw is the fill colour now.
        QCOMPARE(map.fillColor(), nthColor(2));
    }

    void clickThatNamesNothingShiftsLaterColours()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        clickMap(map, colors, QPointF(100, 250));
        clickMap(map, colors, seedOf(1));
        QCOMPARE(map.pixel(seedOf(1)), nthColor(3) & 0xffffff);

        MapPicture withoutMiss(seedBoxes());
        FillColorGenerator freshColors;
        clickMap(withoutMiss, freshColors, seedOf(1));
        QCOMPARE(withoutMiss.pixel(seedOf(1)), nthColor(1) & 0xffffff);
        QVERIFY(map.pixel(seedOf(1)) != withoutMiss.pixel(seedOf(1)));
    }

    void clickThatNamesADepartementDrawsNoMore()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        clickMap(map, colors, seedOf(10));
        QCOMPARE(map.fillColor(), nthColor(1));
        clickMap(map, colors, seedOf(20));
        QCOMPARE(map.fillColor(), nthColor(2));
    }

    void secondClickClearsTheFirst()
    {
        MapPicture map(seedBoxes());
        FillColorGenerator colors;
        clickMap(map, colors, seedOf(12));
        const ClickResult shown = clickMap(map, colors, seedOf(34));
        QCOMPARE(shown.number, QStringLiteral("34"));
        QCOMPARE(map.pixel(seedOf(12)), 0xffffffu);
        QCOMPARE(map.pixel(seedOf(34)), nthColor(2) & 0xffffff);
    }

    void coordinateTexts_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("190") << 190.0f << "190";
        QTest::newRow("142") << 142.0f << "142";
        QTest::newRow("0") << 0.0f << "0";
        QTest::newRow("264") << 264.0f << "264";
        QTest::newRow("12.5") << 12.5f << "12.5";
        QTest::newRow("0.1 as a single") << 0.1f << "0.1";
        QTest::newRow("negative") << -3.0f << "-3";
        QTest::newRow("quarter") << 49.25f << "49.25";
        // clang-format on
    }

    void coordinateTexts()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(shortestText(value), text);
    }

    // --- the real map

    void clicksOnTheRealMap_data()
    {
        QTest::addColumn<QPointF>("click");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("Ain") << QPointF(190, 142) << "1" << "AIN";
        QTest::newRow("open sea") << QPointF(49, 216) << "" << "";
        QTest::newRow("mainland Paris patch") << QPointF(144, 83) << "" << "";
        QTest::newRow("Paris in the inset") << QPointF(38, 38) << "75" << "PARIS";
        QTest::newRow("west of the Paris inset") << QPointF(23, 40) << "92" << "HAUTS-DE-SEINE";
        QTest::newRow("Paris inset sea") << QPointF(40, 20) << "" << "";
        QTest::newRow("Corsica") << QPointF(221, 244) << "20" << "CORSE";
        QTest::newRow("Morbihan") << QPointF(68, 103) << "56" << "MORBIHANT";
        // clang-format on
    }

    void clicksOnTheRealMap()
    {
        QFETCH(QPointF, click);
        QFETCH(QString, number);
        QFETCH(QString, name);

        MapPicture map;
        FillColorGenerator colors;
        const ClickResult shown = clickMap(map, colors, click);
        QCOMPARE(shown.number, number);
        QCOMPARE(shown.name, name);
        const QPoint at = MapPicture::toMapPoint(click);
        QVERIFY(map.pixel(at) != (map.stored().pixel(at) & 0xffffff));
    }

    void everySeedOfTheRealMapNamesItsOwnDepartement()
    {
        MapPicture map;
        FillColorGenerator colors;
        for (int n = 1; n <= 95; ++n)
            QCOMPARE(clickMap(map, colors, seedOf(n)).number, QString::number(n));
    }
};

QTEST_GUILESS_MAIN(TestMapClick)
#include "test_map_click.moc"
