// Typed coordinates: each form the search box takes, and the refusals.
#include "geometry/CoordinateText.h"

#include <QtTest>

using Kind = TypedPosition::Kind;

class TestCoordinateText : public QObject
{
    Q_OBJECT
private slots:
    void positions_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        const double dmsLat = 48 + 51 / 60.0 + 24 / 3600.0;
        const double dmsLon = 2 + 21 / 60.0 + 8 / 3600.0;
        // clang-format off
        QTest::newRow("points, a blank") << "48.8566 2.3522" << 48.8566 << 2.3522;
        QTest::newRow("points, a comma") << "48.8566, 2.3522" << 48.8566 << 2.3522;
        QTest::newRow("points, a comma, no blank") << "48.8566,2.3522" << 48.8566 << 2.3522;
        QTest::newRow("decimal commas") << "48,8566 2,3522" << 48.8566 << 2.3522;
        QTest::newRow("decimal commas, a semicolon") << "48,8566;2,3522" << 48.8566 << 2.3522;
        QTest::newRow("signs") << "-21.1151 +55.5364" << -21.1151 << 55.5364;
        QTest::newRow("dms") << "48°51'24\"N 2°21'08\"E" << dmsLat << dmsLon;
        QTest::newRow("dms, longitude first") << "2°21'08\"E 48°51'24\"N" << dmsLat << dmsLon;
        QTest::newRow("dms, typographic marks") << "48°51′24″N 2°21’08”E" << dmsLat << dmsLon;
        QTest::newRow("dms, two apostrophes") << "48°51'24''N 2°21'08''E" << dmsLat << dmsLon;
        QTest::newRow("dms, lower case, blanks") << "48° 51' 24\" n, 2° 21' 08\" e" << dmsLat << dmsLon;
        QTest::newRow("letters first") << "N 48.8566 E 2.3522" << 48.8566 << 2.3522;
        QTest::newRow("south and west (O)") << "4°56'S 52°20'O" << -(4 + 56 / 60.0) << -(52 + 20 / 60.0);
        QTest::newRow("west as W") << "48.39N 4.49W" << 48.39 << -4.49;
        QTest::newRow("one letter decides") << "2.3522E 48.8566" << 48.8566 << 2.3522;
        QTest::newRow("decimal minutes") << "48°51.4'N 2°21.1'E" << 48 + 51.4 / 60 << 2 + 21.1 / 60;
        QTest::newRow("minutes, no letters") << "48°51' 2°21'" << 48 + 51 / 60.0 << 2 + 21 / 60.0;
        QTest::newRow("decimal minutes, no letters") << "48°51.4' 2°21.1'" << 48 + 51.4 / 60 << 2 + 21.1 / 60;
        // clang-format on
    }
    void positions()
    {
        QFETCH(QString, typed);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        const TypedPosition read = readPosition(typed);
        QCOMPARE(read.kind, Kind::Position);
        QCOMPARE(read.point.latitude, latitude);
        QCOMPARE(read.point.longitude, longitude);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        // clang-format off
        QTest::newRow("latitude too far") << "95 2" << "Latitude hors limites : 95° (de -90° à 90°).";
        QTest::newRow("longitude too far") << "45,5 -200,25" << "Longitude hors limites : -200,25° (de -180° à 180°).";
        QTest::newRow("longitude just past the limit") << "0 180.00001" << "Longitude hors limites : 180,00001° (de -180° à 180°).";
        QTest::newRow("south past the pole") << "90.5S 2E" << "Latitude hors limites : -90,5° (de -90° à 90°).";
        QTest::newRow("sixty minutes") << "48°60'N 2°E" << "« 48°60'N » : les minutes et les secondes vont de 0 à moins de 60.";
        QTest::newRow("two latitudes") << "48N 2S" << "Deux latitudes (N, S) : il faut une latitude et une longitude.";
        QTest::newRow("two longitudes") << "48E 2O" << "Deux longitudes (E, O) : il faut une latitude et une longitude.";
        QTest::newRow("sign and letter") << "-48N 2E" << "« -48N » : un signe ou une lettre (N, S, E, O), pas les deux.";
        QTest::newRow("decimals before minutes") << "48.5°30'N 2E" << "« 48.5°30'N » : seule la dernière partie peut avoir des décimales.";
        // clang-format on
    }
    void refusals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        const TypedPosition read = readPosition(typed);
        QCOMPARE(read.kind, Kind::Refused);
        QCOMPARE(read.refusal, refusal);
    }

    // Names, postal codes, locators and patterns are left to the other searches.
    void otherTexts_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char *text : {"PARIS", "75015", "JN18EU", "48", "48,2", "48.8566 2.3522 7", "ST 48 2", "48 NORD 2",
                                 "48* 2", "", "48..5 2", "48 2 E N"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void otherTexts()
    {
        QFETCH(QString, typed);
        QCOMPARE(readPosition(typed).kind, Kind::None);
    }
};

QTEST_APPLESS_MAIN(TestCoordinateText)
#include "test_coordinate_text.moc"
