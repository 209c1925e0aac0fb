#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"

#include "SyntheticMaps.h"

#include <QtTest>

using namespace testmap;

namespace {

// The compiled picture counts as the real map once it has black borders; the
// blank stand-in used before the map was drawn has none.
} // namespace

class TestDepartementTable : public QObject
{
    Q_OBJECT

private slots:
    void rowsRunFromOneToNinetyFiveThenOverseas()
    {
        const auto &rows = DepartementTable();
        QCOMPARE(rows.size(), size_t(96));
        for (int i = 0; i < 95; ++i)
            QCOMPARE(rows[size_t(i)].number, i + 1);
        QCOMPARE(rows.back().displayName(), QStringLiteral("D.O.M"));
        QCOMPARE(rows.back().seed(), QPoint(5, 5));
    }

    void namesAreUpperCaseAscii()
    {
        for (const DepartementRow &row : DepartementTable()) {
            const QString name = row.displayName();
            QVERIFY2(!name.isEmpty(), qPrintable(QString::number(row.number)));
            for (const QChar c : name)
                QVERIFY2(c.unicode() < 128 && !c.isLower(), qPrintable(name));
        }
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("seed");

        // clang-format off
        QTest::newRow("1") << "1" << "AIN" << QPoint(190, 142);
        QTest::newRow("9 is not 95") << "9" << "ARIEGE" << QPoint(130, 214);
        QTest::newRow("95") << "95" << "VAL-D'OISE" << QPoint(142, 78);
        QTest::newRow("20 Corsica") << "20" << "CORSE" << QPoint(221, 244);
        QTest::newRow("56") << "56" << "MORBIHAN" << QPoint(68, 103);
        QTest::newRow("75 in the inset") << "75" << "PARIS" << QPoint(38, 38);
        QTest::newRow("92") << "92" << "HAUTS-DE-SEINE" << QPoint(23, 40);
        QTest::newRow("93") << "93" << "SEINE-SAINT-DENIS" << QPoint(52, 30);
        QTest::newRow("94") << "94" << "VAL-DE-MARNE" << QPoint(53, 53);
        QTest::newRow("76") << "76" << "SEINE-MARITIME" << QPoint(124, 66);
        QTest::newRow("74") << "74" << "HAUTE-SAVOIE" << QPoint(211, 143);
        QTest::newRow("81") << "81" << "TARNE" << QPoint(140, 194);
        QTest::newRow("82") << "82" << "TARNE-ET-GARONNE" << QPoint(125, 189);
        QTest::newRow("13 with blanks") << "13" << "BOUCHES DU RHONE" << QPoint(191, 199);
        QTest::newRow("17 with a blank") << "17" << "CHARENTE MARITIME" << QPoint(95, 147);
        QTest::newRow("22") << "22" << "COTE-D'ARMOR" << QPoint(61, 91);
        QTest::newRow("4") << "4" << "ALPES-DE-HTE-PROVENCE" << QPoint(207, 187);
        QTest::newRow("96") << "96" << "D.O.M" << QPoint(5, 5);
        QTest::newRow("97") << "97" << "D.O.M" << QPoint(5, 5);
        QTest::newRow("99") << "99" << "D.O.M" << QPoint(5, 5);
        QTest::newRow("950 sorts after 95") << "950" << "D.O.M" << QPoint(5, 5);
        QTest::newRow("A sorts after 95") << "A" << "D.O.M" << QPoint(5, 5);
        // clang-format on
    }

    void lookup()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QPoint, seed);

        const auto row = LookupDepartement(text);
        QVERIFY(row.has_value());
        QCOMPARE(row->displayName(), name);
        QCOMPARE(row->seed(), seed);
    }

    void lookupFindsNothing_data()
    {
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("empty") << "";
        QTest::newRow("0") << "0";
        QTest::newRow("01 has a leading zero") << "01";
        QTest::newRow("leading blank") << " 1";
        QTest::newRow("trailing blank") << "1 ";
        QTest::newRow("100 sorts before 95") << "100";
        QTest::newRow("9 and a blank sorts before 95") << "9 ";
        QTest::newRow("minus sign") << "-1";
        // clang-format on
    }

    void lookupFindsNothing()
    {
        QFETCH(QString, text);
        QVERIFY(!LookupDepartement(text).has_value());
    }

    void everyNumberTextFindsItsOwnRow()
    {
        for (int n = 1; n <= 95; ++n) {
            const auto row = LookupDepartement(QString::number(n));
            QVERIFY(row.has_value());
            QCOMPARE(row->number, n);
        }
    }

    // Every seed point lies in a white area of the real map, and a fill there
    // reaches no other seed point.
    void seedPointsHaveTheirOwnWhiteArea()
    {
        MapPicture map;
        FillColorGenerator colors;
        const auto &rows = DepartementTable();
        for (int i = 0; i < 95; ++i) {
            const DepartementRow &row = rows[size_t(i)];
            QVERIFY2(map.pixel(row.seed()) == 0xffffff, row.name);
            map.reset();
            map.fillAtPoint(row.seed(), colors);
            for (int j = 0; j < 95; ++j)
                if (j != i)
                    QVERIFY2(map.pixel(rows[size_t(j)].seed()) == 0xffffff,
                             qPrintable(QStringLiteral("%1 reaches %2").arg(row.name, rows[size_t(j)].name)));
        }
    }
};

QTEST_GUILESS_MAIN(TestDepartementTable)
#include "test_departement_table.moc"
