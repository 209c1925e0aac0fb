// What the window shows of a commune, built from the table and the search's
// answer without a window: the postal code that matched or the commune's
// own, its other codes, the fallbacks of a field that cannot be read, the
// locator and the copy in any locale.
#include "TestStore.h"
#include "app/ShownCommune.h"
#include "geo/MaidenheadLocator.h"
#include "search/SearchMatches.h"
#include "store/CommuneDatabase.h"
#include "store/NumberText.h"
#include "store/PostalCodes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The rows of the test store, in table order, with an INSEE code each and
// the five postal codes of Aix.
enum Row { Aix, Brest, NoDepartement, OffGrid, Arles };

bool addCodes(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const char *sql = "ALTER TABLE insee1 ADD COLUMN code_insee TEXT;"
                      "UPDATE insee1 SET code_insee = printf('%05d', 13000 + rowid);"
                      "CREATE TABLE codes_postaux (commune INTEGER, codepos TEXT);"
                      "INSERT INTO codes_postaux VALUES (1, '13080'), (1, '13090'), (1, '13100'), (1, '13290'),"
                      " (1, '13540'), (5, '13200'), (5, '13280');";
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

Match postcodeMatch(int row, const QString &code)
{
    Match match;
    match.row = row;
    match.kind = MatchKind::Postcode;
    match.code = code;
    return match;
}

} // namespace

class TestShownCommune : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void codes_data();
    void codes();
    void aNullDepartementKeepsItsNameAndTakesTheCodesNumber();
    void pastTheEndEveryFieldKeepsItsValue();
    void aPositionOffTheGridShowsDashes();
    void aLocaleWithDirectionMarksReadsTheStoredNumbers_data();
    void aLocaleWithDirectionMarksReadsTheStoredNumbers();
    void theCopyWritesNumbersWithAPoint();
    void theStartingPointKeepsTheMapNumber();

private:
    ShownCommune at(int row, const SearchMatches *answer = nullptr, const ShownCommune &previous = {},
                    const QLocale &locale = QLocale::c());

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    Recordset m_communes;
    std::optional<PostalCodes> m_codes;
};

void TestShownCommune::initTestCase()
{
    const QString path =
        writeNumberedStore(m_dir, {commune("AIX EN PROVENCE", 5.4474, 43.5297, "13080", "BOUCHES-DU-RHONE"),
                                   commune("BREST", -4.48, 48.39, "29200", "FINISTERE"),
                                   commune("SANS DEPARTEMENT", 2.0, 48.0, "75001", QVariant()),
                                   commune("HORS GRILLE", 200.0, 95.0, "29000", "FINISTERE"),
                                   commune("ARLES", 4.6278, 43.6766, "13200", "BOUCHES-DU-RHONE")});
    QVERIFY(addCodes(path));
    m_db = openCommuneDatabase(path);
    m_communes = m_db->openRecordset(QStringLiteral("insee1"));
    m_codes.emplace(*m_db, m_communes);
}

ShownCommune TestShownCommune::at(int row, const SearchMatches *answer, const ShownCommune &previous,
                                  const QLocale &locale)
{
    Recordset records = m_communes;
    records.moveTo(row);
    return present(records, answer, &*m_codes, std::nullopt, previous, locale);
}

void TestShownCommune::codes_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("matched"); // the code the search matched; none for a step
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("all");
    QTest::addColumn<QString>("more");
    QTest::addColumn<QString>("mapNumber");
    QTest::newRow("its own code first") << int(Aix) << ""
                                        << "13080"
                                        << "13080 13090 13100 13290 13540"
                                        << "(+4)"
                                        << "13";
    QTest::newRow("the code that matched first") << int(Aix) << "13100"
                                                 << "13100"
                                                 << "13100 13080 13090 13290 13540"
                                                 << "(+4)"
                                                 << "13";
    QTest::newRow("the last code that matched") << int(Arles) << "13280"
                                                << "13280"
                                                << "13280 13200"
                                                << "(+1)"
                                                << "13";
    QTest::newRow("one code") << int(Brest) << ""
                              << "29200"
                              << "29200"
                              << ""
                              << "29";
}

void TestShownCommune::codes()
{
    QFETCH(int, row);
    QFETCH(QString, matched);
    QFETCH(QString, shown);
    QFETCH(QString, all);
    QFETCH(QString, more);
    QFETCH(QString, mapNumber);
    const SearchMatches answer({postcodeMatch(row, matched)});
    const ShownCommune commune = at(row, matched.isEmpty() ? nullptr : &answer);
    QCOMPARE(commune.postcode, shown);
    QCOMPARE(commune.postcodes.join(' '), all);
    QCOMPARE(otherPostcodesText(commune.postcodes), more);
    QCOMPARE(commune.mapNumber, mapNumber);
    QCOMPARE(commune.insee, std::optional<QString>(QStringLiteral("1300%1").arg(row + 1)));
    QVERIFY(commune.unreadableField.isEmpty());
}

void TestShownCommune::aNullDepartementKeepsItsNameAndTakesTheCodesNumber()
{
    const ShownCommune brest = at(Brest);
    const ShownCommune shown = at(NoDepartement, nullptr, brest);
    QCOMPARE(shown.name, QStringLiteral("SANS DEPARTEMENT"));
    QCOMPARE(shown.departement, QStringLiteral("FINISTERE")); // kept, as a failing statement leaves it
    QCOMPARE(shown.mapNumber, QStringLiteral("75"));
    QCOMPARE(shown.postcode, QStringLiteral("75001"));
    QCOMPARE(shown.unreadableField, QStringLiteral("Le champ departement est vide (Null)."));
    QCOMPARE(shown.locator, maidenheadLocator(48.0, 2.0));
}

void TestShownCommune::pastTheEndEveryFieldKeepsItsValue()
{
    const ShownCommune aix = at(Aix);
    ShownCommune shown = at(m_communes.recordCount(), nullptr, aix);
    QVERIFY(!shown.unreadableField.isEmpty());
    shown.unreadableField.clear();
    shown.row = aix.row;
    QCOMPARE(recordLine(shown), recordLine(aix));
    QCOMPARE(shown.postcodes, aix.postcodes);
    QCOMPARE(shown.mapNumber, aix.mapNumber);
}

void TestShownCommune::aPositionOffTheGridShowsDashes()
{
    const ShownCommune shown = at(OffGrid);
    QCOMPARE(shown.locator, QStringLiteral("------"));
    QVERIFY(shown.unreadablePosition.isEmpty());
    QVERIFY(!shown.position());
}

void TestShownCommune::aLocaleWithDirectionMarksReadsTheStoredNumbers_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("ar_EG") << QLocale(QLocale::Arabic, QLocale::Egypt);
    QTest::newRow("fa_IR") << QLocale(QLocale::Persian, QLocale::Iran);
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France);
}

// The labels show the numbers as the locale writes them, marks and digits
// of its own included; the locator is made of the stored numbers.
void TestShownCommune::aLocaleWithDirectionMarksReadsTheStoredNumbers()
{
    QFETCH(QLocale, locale);
    const ShownCommune shown = at(Brest, nullptr, {}, locale);
    QCOMPARE(shown.longitudeText, numberToText(-4.48, locale));
    QVERIFY(shown.unreadablePosition.isEmpty());
    QCOMPARE(shown.locator, maidenheadLocator(48.39, -4.48));
    QCOMPARE(shown.longitude, std::optional<double>(-4.48));
    QCOMPARE(copiedLongitude(shown), QStringLiteral("-4.48"));
}

void TestShownCommune::theCopyWritesNumbersWithAPoint()
{
    const ShownCommune shown = at(Brest, nullptr, {}, QLocale(QLocale::French, QLocale::France));
    QCOMPARE(shown.longitudeText, QStringLiteral("-4,48"));
    QCOMPARE(recordLine(shown),
             QStringLiteral("BREST\t29200\t13002\tFINISTERE\t-4.48\t48.39\t%1").arg(maidenheadLocator(48.39, -4.48)));
}

void TestShownCommune::theStartingPointKeepsTheMapNumber()
{
    const ShownCommune aix = at(Aix);
    const std::optional<StartingPoint> point = startingPointOf(aix, std::nullopt, QString());
    QVERIFY(point);
    QCOMPARE(point->mapNumber, QStringLiteral("13"));
    QCOMPARE(point->name, QStringLiteral("AIX EN PROVENCE"));
    const std::optional<StartingPoint> typed = startingPointOf(aix, GeoPoint{43.5, 5.4}, QStringLiteral(" JN23 "));
    QVERIFY(typed);
    QCOMPARE(typed->name, QStringLiteral("JN23"));
    QCOMPARE(typed->mapNumber, QStringLiteral("13"));
    QVERIFY(!startingPointOf(at(OffGrid), std::nullopt, QString()));
}

QTEST_GUILESS_MAIN(TestShownCommune)
#include "test_shown_commune.moc"
