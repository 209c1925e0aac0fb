#include "departements/Departement.h"
#include "departements/DepartementTable.h"

#include <QtTest>

using FormerNames = std::vector<Departement::FormerName>;

// A département read from each thing that tells it, for every département of
// the map's table: its code, which the command line writes and the user
// types, and its map number, which the window shows and looks up.
class TestDepartement : public QObject
{
    Q_OBJECT
private slots:
    void everyDepartement();
    void overseas();
    void typed_data();
    void typed();
    void communes_data();
    void communes();
    void formerNames();
};

void TestDepartement::everyDepartement()
{
    for (const DepartementRow &row : DepartementTable()) {
        if (row.isOverseas())
            continue; // below
        const QString number = QString::number(row.number);
        const QString code = number.rightJustified(2, QLatin1Char('0'));
        const QString postcode = code + QStringLiteral("100");
        const QByteArray where = row.name;
        for (const QString &typed : {number, code, row.displayName().toLower()}) {
            const Departement departement = Departement::fromText(typed);
            QVERIFY2(departement.code() == code && departement.mapNumber() == number, where + " " + typed.toLatin1());
            QVERIFY2(departement.mapName() == row.displayName() && !departement.isOverseas(), where);
        }
        QVERIFY2(Departement::ofInseeCode(code + QStringLiteral("001")).mapNumber() == number, where);
        QVERIFY2(Departement::ofPostcode(postcode, row.displayName()).mapNumber() == number, where);
        QVERIFY2(Departement::codesOfPostcode(postcode)
                     == (row.number == 20 ? QStringList{"2A", "2B"} : QStringList{code}),
                 where);
        if (row.number != 20)
            QVERIFY2(Departement::ofPostcode(postcode, row.displayName()).code() == code, where);
    }
}

void TestDepartement::overseas()
{
    for (const char *code : {"971", "972", "973", "974", "976"}) {
        const QString overseas = QString::fromLatin1(code);
        for (const Departement &departement :
             {Departement::fromText(overseas), Departement::ofInseeCode(overseas + QStringLiteral("01")),
              Departement::ofPostcode(overseas + QStringLiteral("00"), {})}) {
            QCOMPARE(departement.code(), overseas);
            QCOMPARE(departement.mapNumber(), QStringLiteral("97"));
            QCOMPARE(departement.mapName(), QStringLiteral("D.O.M"));
            QVERIFY(departement.isOverseas());
        }
        QCOMPARE(Departement::codesOfPostcode(overseas + QStringLiteral("00")), QStringList{overseas});
    }
    QVERIFY(!Departement::isOverseasMapNumber(95));
    QVERIFY(Departement::isOverseasMapNumber(95.5));
    QVERIFY(!Departement::isOverseasMapNumber(0));
}

void TestDepartement::typed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("mapNumber");
    // clang-format off
    QTest::newRow("one digit") << "8" << "08" << "8";
    QTest::newRow("01 is 1") << "01" << "01" << "1";
    QTest::newRow("blanks around") << " 74 " << "74" << "74";
    QTest::newRow("Corsica, south, lower case") << "2a" << "2A" << "20";
    QTest::newRow("Corsica, north") << "2B" << "2B" << "20";
    QTest::newRow("Corsica before 1976") << "20" << "20" << "20";
    QTest::newRow("last of the mainland") << "95" << "95" << "95";
    QTest::newRow("three digits, not overseas") << "123" << "" << "";
    QTest::newRow("an INSEE code is no département") << "75056" << "" << "";
    QTest::newRow("with its accents") << "Côte-d'Or" << "21" << "21";
    QTest::newRow("a former name") << "seine et oise" << "78" << "78";
    QTest::newRow("an unknown name") << "Atlantide" << "" << "";
    QTest::newRow("nothing") << "" << "" << "";
    // clang-format on
}

void TestDepartement::typed()
{
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QFETCH(QString, mapNumber);
    const Departement departement = Departement::fromText(typed);
    QCOMPARE(departement.code(), code);
    QCOMPARE(departement.mapNumber(), mapNumber);
    QCOMPARE(departement.isNull(), code.isEmpty());
    // Only a number or a code is a code typed.
    const bool asCode = !code.isEmpty() && !typed.at(0).isLetter();
    QCOMPARE(Departement::fromCodeText(typed).code(), asCode ? code : QString());
}

void TestDepartement::communes_data()
{
    QTest::addColumn<QString>("insee");
    QTest::addColumn<QString>("codepos");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("mapNumber");
    // clang-format off
    QTest::newRow("Corsica, south, by its INSEE code") << "2A004" << "20000" << "CORSE-DU-SUD" << "2A" << "20";
    QTest::newRow("Corsica, south, by its postal code") << "" << "20000" << "CORSE-DU-SUD" << "2A" << "20";
    QTest::newRow("Corsica, north, without one") << "" << "20200" << "HAUTE-CORSE" << "2B" << "20";
    QTest::newRow("Corsica, the name says neither") << "" << "20250" << "CORSE" << "20" << "20";
    QTest::newRow("mail from a neighbour's post office") << "83107" << "13780" << "VAR" << "83" << "83";
    QTest::newRow("the same, without its INSEE code") << "" << "13780" << "VAR" << "13" << "83";
    QTest::newRow("Saint-Barthélemy, by its INSEE code") << "97701" << "97133" << "" << "977" << "97";
    QTest::newRow("Saint-Barthélemy, by its postal code") << "" << "97133" << "" << "971" << "97";
    QTest::newRow("an INSEE code in lower case") << "2b096" << "20250" << "HAUTE-CORSE" << "2B" << "20";
    QTest::newRow("Paris") << "75056" << "75001" << "PARIS" << "75" << "75";
    QTest::newRow("a code too short") << "" << "7" << "" << "" << "7";
    QTest::newRow("letters") << "" << "AB123" << "" << "AB" << "0";
    // clang-format on
}

void TestDepartement::communes()
{
    QFETCH(QString, insee);
    QFETCH(QString, codepos);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QFETCH(QString, mapNumber);
    QCOMPARE(Departement::ofCommune(insee, codepos, name).code(), code);
    QCOMPARE(Departement::ofPostcode(codepos, name).mapNumber(), mapNumber);
    QCOMPARE(Departement::isInseeCode(insee), !insee.isEmpty());
}

void TestDepartement::formerNames()
{
    const Departement seineEtOise = Departement::fromText(u"Seine-et-Oise");
    QCOMPARE(seineEtOise.formerNames(), (FormerNames{{"Seine-et-Oise", "1968-01-01"}}));
    QCOMPARE(seineEtOise.formerNameOn(u"1967-12-31"), QStringLiteral("Seine-et-Oise"));
    QCOMPARE(seineEtOise.formerNameOn(u"1968-01-01"), QString());
    QCOMPARE(seineEtOise, Departement::fromText(u"Yvelines"));
    QCOMPARE(Departement::fromText(u"Paris").formerNames(), (FormerNames{{"Seine", "1968-01-01"}}));
    const Departement corse = Departement::ofInseeCode(u"20004");
    QCOMPARE(corse.formerNameOn(u"1975-12-31"), QStringLiteral("Corse"));
    QCOMPARE(corse.formerNameOn(u"1976-01-01"), QString());
    // Its halves were made in 1976: neither bore a name before.
    QCOMPARE(Departement::ofInseeCode(u"2A004").formerNameOn(u"1970-01-01"), QString());
    QCOMPARE(Departement::fromText(u"Essonne").formerNames(), FormerNames{});
}

QTEST_GUILESS_MAIN(TestDepartement)
#include "test_departement.moc"
