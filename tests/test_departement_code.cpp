#include "map/DepartementCode.h"
#include "map/DepartementTable.h"

#include <QtTest>

// A département's two spellings, for every département: the map number the
// window shows and looks up, and the code the command line writes and the
// user types.
class TestDepartementCode : public QObject
{
    Q_OBJECT
private slots:
    void everyDepartement();
    void codesAndNumbersOfOddCommunes_data();
    void codesAndNumbersOfOddCommunes();
    void typedDepartements_data();
    void typedDepartements();
};

void TestDepartementCode::everyDepartement()
{
    for (const DepartementRow &row : DepartementTable()) {
        if (row.number == 0)
            continue; // overseas: below
        const QString number = QString::number(row.number);
        const QString code = number.rightJustified(2, QLatin1Char('0'));
        const QString postcode = code + QStringLiteral("100");
        const QByteArray where = row.name;
        QVERIFY2(departementMapNumber(postcode, row.displayName()) == number, where);
        QVERIFY2(departementCodeOfText(number) == code, where);
        QVERIFY2(departementCodeOfText(code) == code, where);
        QVERIFY2(departementCodesOfPostcode(postcode)
                     == (row.number == 20 ? QStringList{"2A", "2B"} : QStringList{code}),
                 where);
        if (row.number != 20) {
            QVERIFY2(departementCode(code + QStringLiteral("001"), postcode, row.displayName()) == code, where);
            QVERIFY2(departementCode({}, postcode, row.displayName()) == code, where);
        }
    }
    for (const char *code : {"971", "972", "973", "974", "976"}) {
        const QString overseas = QString::fromLatin1(code);
        QCOMPARE(departementCode(overseas + QStringLiteral("01"), overseas + QStringLiteral("00"), {}), overseas);
        QCOMPARE(departementCode({}, overseas + QStringLiteral("00"), {}), overseas);
        QCOMPARE(departementCodeOfText(overseas), overseas);
        QCOMPARE(departementCodesOfPostcode(overseas + QStringLiteral("00")), QStringList{overseas});
    }
}

void TestDepartementCode::codesAndNumbersOfOddCommunes_data()
{
    QTest::addColumn<QString>("insee");
    QTest::addColumn<QString>("codepos");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("mapNumber");
    // clang-format off
    QTest::newRow("Corsica, south, by its INSEE code") << "2A004" << "20000" << "CORSE-DU-SUD" << "2A" << "20";
    QTest::newRow("Corsica, north, without one") << "" << "20250" << "HAUTE-CORSE" << "2B" << "20";
    QTest::newRow("Corsica, the name says neither") << "" << "20250" << "CORSE" << "20" << "20";
    QTest::newRow("mail from a neighbour's post office") << "83107" << "13780" << "VAR" << "83" << "83";
    QTest::newRow("Ain, no leading zero on the map") << "01001" << "01400" << "AIN" << "01" << "1";
    QTest::newRow("an INSEE code in lower case") << "2b096" << "20250" << "HAUTE-CORSE" << "2B" << "20";
    QTest::newRow("a code too short") << "" << "7" << "" << "" << "7";
    // clang-format on
}

void TestDepartementCode::codesAndNumbersOfOddCommunes()
{
    QFETCH(QString, insee);
    QFETCH(QString, codepos);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, mapNumber);
    QCOMPARE(departementCode(insee, codepos, name), code);
    QCOMPARE(departementMapNumber(codepos, name), mapNumber);
}

void TestDepartementCode::typedDepartements_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code");
    // clang-format off
    QTest::newRow("one digit") << "8" << "08";
    QTest::newRow("blanks around") << " 74 " << "74";
    QTest::newRow("Corsica, lower case") << "2a" << "2A";
    QTest::newRow("overseas") << "974" << "974";
    QTest::newRow("three digits, not overseas") << "123" << "";
    QTest::newRow("a name") << "Yonne" << "";
    QTest::newRow("nothing") << "" << "";
    // clang-format on
}

void TestDepartementCode::typedDepartements()
{
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(departementCodeOfText(typed), code);
}

QTEST_GUILESS_MAIN(TestDepartementCode)
#include "test_departement_code.moc"
