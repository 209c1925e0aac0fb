#include "TestPaths.h"
#include "TestStore.h"
#include "names/NamePattern.h"
#include "search/FindCommunes.h"
#include "search/PostcodeSearch.h"
#include "search/SearchMatches.h"
#include "store/DatabaseFile.h"

#include <QTemporaryDir>
#include <QtTest>

// Search by postal code: which texts ask for one, and the communes found in
// a store with every code of each commune, or in the codepos field alone.
class TestPostcodeSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void postcodeTexts_data();
    void postcodeTexts();
    void searchByCode_data();
    void searchByCode();
    void namesComeFirst();
    void shippedStore_data();
    void shippedStore();

private:
    QTemporaryDir m_dir;
    QString m_withCodes;
    QString m_codeposOnly;
};

void TestPostcodeSearch::initTestCase()
{
    const TestStore communes = TestStore().rows({
        commune("LAJOUX", 6.0, 46.4, "39310", "JURA"),
        commune("MIJOUX", 6.0, 46.36, "01410", "AIN"),
        commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
        commune("ROUTE 66", 1.0, 45.0, "66000", "PYRENEES-ORIENTALES"),
    });
    m_codeposOnly = communes.writeIn(m_dir);
    m_withCodes = TestStore(communes)
                      .table("codes_postaux", {{1, "01410"},
                                               {1, "39310"},
                                               {2, "01410"},
                                               {3, "75001"},
                                               {3, "75015"},
                                               {3, "75116"},
                                               {9, "75015"},
                                               {4, "66000"}})
                      .writeIn(m_dir);
}

void TestPostcodeSearch::postcodeTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("postcode");
    // clang-format off
    QTest::newRow("five digits") << "75015" << true;
    QTest::newRow("two digits and a star") << "75*" << true;
    QTest::newRow("digit wildcards") << "13##8" << true;
    QTest::newRow("list of digits") << "7501[0-5]" << true;
    QTest::newRow("one digit only") << "7*" << false;
    QTest::newRow("letters") << "PARIS 15" << false;
    QTest::newRow("blank") << "75 015" << false;
    QTest::newRow("only wildcards") << "*" << false;
    QTest::newRow("empty") << "" << false;
    // clang-format on
}

void TestPostcodeSearch::postcodeTexts()
{
    QFETCH(QString, typed);
    QFETCH(bool, postcode);
    QCOMPARE(isPostcodeText(typed), postcode);
}

void TestPostcodeSearch::searchByCode_data()
{
    QTest::addColumn<bool>("everyCode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found"); // row:code, ...
    // clang-format off
    QTest::newRow("every code: a second code") << true << "39310" << "0:39310";
    QTest::newRow("every code: shared code") << true << "01410" << "0:01410 1:01410";
    QTest::newRow("every code: the first that matches") << true << "751*" << "2:75116";
    QTest::newRow("every code: rowid out of the table") << true << "75015" << "2:75015";
    QTest::newRow("every code: none") << true << "99999" << "";
    QTest::newRow("codepos: chosen code only") << false << "01410" << "1:01410";
    QTest::newRow("codepos: second code unknown") << false << "75015" << "";
    QTest::newRow("codepos: wildcards") << false << "[0-3]*" << "0:39310 1:01410";
    // clang-format on
}

void TestPostcodeSearch::searchByCode()
{
    QFETCH(bool, everyCode);
    QFETCH(QString, typed);
    QFETCH(QString, found);
    const std::unique_ptr<Database> db = openDatabase(everyCode ? m_withCodes : m_codeposOnly);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    QStringList shown;
    const PostalCodes codes(*db, communes);
    for (const Match &match : findCommunesByPostcode(communes, codes, *LikePattern::compile(typed)))
        shown << QStringLiteral("%1:%2").arg(match.row).arg(match.code);
    QCOMPARE(shown.join(u' '), found);
}

// A name that matches makes a name search, digits or not.
void TestPostcodeSearch::namesComeFirst()
{
    const std::unique_ptr<Database> db = openDatabase(m_withCodes);
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    SearchTables tables(*db, communes);
    const SearchMatches byName = findCommunes(tables, *Query::make(u"*66"));
    QCOMPARE(byName.rows(), std::vector<int>{3});
    QCOMPARE(byName.code(), QString());
    const SearchMatches byCode = findCommunes(tables, *Query::make(u"66*"));
    QCOMPARE(byCode.rows(), std::vector<int>{3});
    QCOMPARE(byCode.code(), QStringLiteral("66000"));
}

void TestPostcodeSearch::shippedStore_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    // clang-format off
    // Each is also the INSEE code of one commune, counted after them.
    QTest::newRow("Paris, 15th") << "75015" << "PARIS" << 2;
    QTest::newRow("Marseille, 8th") << "13008" << "MARSEILLE" << 2;
    QTest::newRow("Lyon, 3rd") << "69003" << "LYON" << 2;
    QTest::newRow("Lajoux's second code") << "01410" << "CHAMPFROMIER" << 6;
    // clang-format on
}

void TestPostcodeSearch::shippedStore()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(int, count);
    REQUIRE_SHARED_FILE(shippedStorePath());
    const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
    const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
    SearchTables tables(*db, communes);
    const SearchMatches found = findCommunes(tables, *Query::make(typed));
    QCOMPARE(found.count(), count);
    QCOMPARE(communes.column(communes.fieldIndex(u"commune")).text(size_t(found.row())), name);
    QCOMPARE(found.code(), typed);
}

QTEST_GUILESS_MAIN(TestPostcodeSearch)
#include "test_postcode_search.moc"
