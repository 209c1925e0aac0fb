#include "CommuneStore.h"
#include "TestPaths.h"
#include "geo/MaidenheadLocator.h"
#include "search/FindCommunes.h"
#include "search/LocatorSearch.h"
#include "search/NamePattern.h"
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
    QTest::newRow("eight characters") << "JN18EU12" << false;
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
    // clang-format on
}

// The centre lies in its own square, half a square from each edge.
void TestLocatorSearch::centres()
{
    QFETCH(QString, locator);
    const std::optional<QPointF> centre = locatorCentre(locator);
    QVERIFY(centre);
    QVERIFY(maidenheadLocator(centre->y(), centre->x()).startsWith(locator.toUpper()));
    const double halfLon = locator.size() == 4 ? 1.0 : 1.0 / 24;
    const double halfLat = locator.size() == 4 ? 0.5 : 1.0 / 48;
    QVERIFY(!maidenheadLocator(centre->y(), centre->x() - 1.01 * halfLon).startsWith(locator.toUpper())
            || centre->x() - 1.01 * halfLon < -180);
    QVERIFY(!maidenheadLocator(centre->y() + 1.01 * halfLat, centre->x()).startsWith(locator.toUpper())
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

void TestLocatorSearch::shippedStoreFindsParis()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    const SearchMatches found = findCommunes(*db, communes, *NamePattern::compile(u"JN18EU"), u"JN18EU");
    QVERIFY(found.count() >= 1);
    QCOMPARE(communes.column(communes.fieldIndex(u"commune")).text(size_t(found.row())), QStringLiteral("PARIS"));
}

QTEST_GUILESS_MAIN(TestLocatorSearch)
#include "test_locator_search.moc"
