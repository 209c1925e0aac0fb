#include "TestPaths.h"
#include "TestStore.h"
#include "geo/MaidenheadLocator.h"
#include "names/NamePattern.h"
#include "search/FindCommunes.h"
#include "search/LocatorSearch.h"
#include "search/PostcodeSearch.h"
#include "search/SearchMatches.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

// Search by grid locator: which texts are locators, the centre of their
// square, and the communes found, nearest to the centre first.
class TestLocatorSearch : public QObject
{
    Q_OBJECT
private slots:
    void locatorTexts_data();
    void locatorTexts();
    void centres_data();
    void centres();
    void communesOfTheSquare_data();
    void communesOfTheSquare();
    void iaruTestVector();
    void shippedCommunesRoundTrip();
    void shippedStoreFindsParis();

private:
    QTemporaryDir m_dir;
};

void TestLocatorSearch::locatorTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("locator");
    // clang-format off
    QTest::newRow("six characters") << "JN18EU" << true;
    QTest::newRow("four characters") << "JN18" << true;
    QTest::newRow("lower case") << "jn18eu" << true;
    QTest::newRow("last field letter R") << "RR99XX" << true;
    QTest::newRow("field letter S") << "JS18" << false;
    QTest::newRow("subsquare letter Y") << "JN18EY" << false;
    QTest::newRow("five characters") << "JN18E" << false;
    QTest::newRow("eight characters") << "JN18EU12" << true;
    QTest::newRow("eight, a letter last") << "JN18EU1A" << false;
    QTest::newRow("seven characters") << "JN18EU1" << false;
    QTest::newRow("ten characters") << "JN18EU12AB" << false;
    QTest::newRow("digits first") << "18JN" << false;
    QTest::newRow("a name") << "PARI" << false;
    // clang-format on
}

void TestLocatorSearch::locatorTexts()
{
    QFETCH(QString, typed);
    QFETCH(bool, locator);
    QCOMPARE(isLocatorText(typed), locator);
}

void TestLocatorSearch::centres_data()
{
    QTest::addColumn<QString>("locator");
    // clang-format off
    QTest::newRow("JN18EU") << "JN18EU";
    QTest::newRow("JN18") << "JN18";
    QTest::newRow("IN78RJ") << "IN78RJ";
    QTest::newRow("AA00AA") << "AA00AA";
    QTest::newRow("RR99XX") << "RR99XX";
    QTest::newRow("FK94ls") << "FK94ls";
    QTest::newRow("JN18EU47") << "JN18EU47";
    QTest::newRow("RR99XX99") << "RR99XX99";
    // clang-format on
}

// The centre lies in its own square, half a square from each edge.
void TestLocatorSearch::centres()
{
    QFETCH(QString, locator);
    const std::optional<QPointF> centre = locatorCentre(locator);
    QVERIFY(centre);
    QVERIFY(maidenheadLocator8(centre->y(), centre->x()).startsWith(locator.toUpper()));
    const double halfLon = locator.size() == 4 ? 1.0 : locator.size() == 6 ? 1.0 / 24 : 1.0 / 240;
    const double halfLat = halfLon / 2;
    QVERIFY(!maidenheadLocator8(centre->y(), centre->x() - 1.01 * halfLon).startsWith(locator.toUpper())
            || centre->x() - 1.01 * halfLon < -180);
    QVERIFY(!maidenheadLocator8(centre->y() + 1.01 * halfLat, centre->x()).startsWith(locator.toUpper())
            || centre->y() + 1.01 * halfLat >= 90);
}

void TestLocatorSearch::communesOfTheSquare_data()
{
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QStringList>("names");
    // JN18 spans longitudes 2 to 4 and latitudes 48 to 49: centre (3, 48.5).
    // clang-format off
    QTest::newRow("nearest first") << "JN18" << QStringList{"CENTRE", "PRES", "LOIN", "BORD", "PARIS"};
    QTest::newRow("one subsquare") << "jn18eu" << QStringList{"PARIS"};
    QTest::newRow("empty square: the nearest commune") << "JN19" << QStringList{"BORD"};
    QTest::newRow("far away: the nearest commune") << "AA00" << QStringList{"AILLEURS"};
    QTest::newRow("extended square") << "JN18EU15" << QStringList{"PARIS"};
    QTest::newRow("empty extended square: the nearest") << "JN18ML19" << QStringList{"CENTRE"};
    // clang-format on
}

void TestLocatorSearch::communesOfTheSquare()
{
    QFETCH(QString, locator);
    QFETCH(QStringList, names);
    static const QString store = writeNumberedStore(m_dir, {
                                                               commune("BORD", 2.9, 48.99, "75001", "A"),
                                                               commune("AILLEURS", -60.0, -40.0, "75001", "A"),
                                                               commune("LOIN", 2.5, 48.3, "75001", "A"),
                                                               commune("PARIS", 2.3428, 48.85661, "75001", "A"),
                                                               commune("SANS POSITION", {}, {}, "75001", "A"),
                                                               commune("CENTRE", 3.0, 48.5, "75001", "A"),
                                                               commune("PRES", 3.2, 48.6, "75001", "A"),
                                                           });
    const std::unique_ptr<Database> db = openDatabase(store);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    const Column &column = communes.column(communes.fieldIndex(u"commune"));
    QStringList found;
    for (const int row : findCommunesByLocator(communes, locator))
        found << column.text(size_t(row)).toString();
    QCOMPARE(found, names);
}

// The IARU's own example: IO91WM is centred on 51.52° N, 0.125° W.
void TestLocatorSearch::iaruTestVector()
{
    const std::optional<QPointF> centre = locatorCentre(u"IO91wm");
    QVERIFY(centre);
    QCOMPARE(qRound(centre->y() * 100), 5152);
    QCOMPARE(centre->x(), -0.125);
}

// Each shipped commune's 8-character locator finds the communes of that
// extended square, itself among them; it comes first when it is the
// nearest of them to the square's centre.
void TestLocatorSearch::shippedCommunesRoundTrip()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    const int latitude = communes.fieldIndex(u"latitude");
    const int longitude = communes.fieldIndex(u"longitude");
    int backToItself = 0;
    for (int row = 0; row < communes.recordCount(); ++row) {
        const QString square = maidenheadLocator8(communes.column(latitude).value(size_t(row)).toDouble(),
                                                  communes.column(longitude).value(size_t(row)).toDouble());
        const std::vector<int> found = findCommunesByLocator(communes, square);
        QVERIFY2(std::find(found.begin(), found.end(), row) != found.end(), qPrintable(square));
        backToItself += found.front() == row;
    }
    qInfo("%d of %d communes come back to themselves through their 8-character locator", backToItself,
          communes.recordCount());
    QVERIFY(backToItself > communes.recordCount() / 2);
}

void TestLocatorSearch::shippedStoreFindsParis()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    SearchTables tables(*db, communes);
    const SearchMatches found = findCommunes(tables, *Query::make(u"JN18EU"));
    QVERIFY(found.count() >= 1);
    QCOMPARE(communes.column(communes.fieldIndex(u"commune")).text(size_t(found.row())), QStringLiteral("PARIS"));
}

QTEST_GUILESS_MAIN(TestLocatorSearch)
#include "test_locator_search.moc"
