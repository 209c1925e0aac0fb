#include "TestPaths.h"
#include "names/CommuneSearch.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/NameFolding.h"
#include "store/TableBuilder.h"

#include <QtTest>

// The scan behind the search button, over a table held in memory.
class TestCommuneSearch : public QObject
{
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void scanGoesOnFromTheCurrentRecord();
    void leadingStarTakesAnyFirstLetter_data();
    void leadingStarTakesAnyFirstLetter();
    void tableWithoutCommuneFieldIsRefused();
    void foldedNamesAreSharedOnlyWhenAlreadyFolded();
    void ownNamesAreSearchedFolded_data();
    void ownNamesAreSearchedFolded();
    void shippedNamesAreTheirOwnFoldedForm();
};

static std::shared_ptr<const TableData> names(std::initializer_list<QVariant> communes)
{
    TableBuilder table(QStringLiteral("insee1"), {QStringLiteral("Commune"), QStringLiteral("codepos")}, 1 << 20);
    for (const QVariant &name : communes) {
        table.append(0, name);
        table.append(1, QStringLiteral("01000"));
        table.endRow();
    }
    return std::make_shared<const TableData>(table.finish());
}

void TestCommuneSearch::scan_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("skipped");

    // clang-format off
    QTest::newRow("first record") << "AIN*" << 0 << true << false;
    QTest::newRow("after a NULL name") << "PARIS" << 2 << true << true;
    QTest::newRow("first of two matches") << "B*" << 3 << true << true;
    QTest::newRow("none: past the last record") << "ZZZ" << 6 << false << true;
    QTest::newRow("a number stored as a name") << "1789" << 4 << true << true;
    // clang-format on
}

void TestCommuneSearch::scan()
{
    QFETCH(QString, pattern);
    QFETCH(int, position);
    QFETCH(bool, found);
    QFETCH(bool, skipped);
    Recordset records(names({"AINAY", {}, "PARIS", "BREST", 1789, "BASTIA"}));
    const ScanResult result = scanForCommune(records, *NamePattern::compile(pattern));
    QCOMPARE(result.found, found);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(records.position(), position);
    QCOMPARE(records.isEof(), !found);
}

void TestCommuneSearch::leadingStarTakesAnyFirstLetter_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<std::vector<int>>("rows");
    // clang-format off
    QTest::newRow("star, then the letter of the second name") << "*VILLE" << std::vector<int>{0, 1};
    QTest::newRow("star and a question mark") << "*?ILLE" << std::vector<int>{0, 1};
    QTest::newRow("letter, then star") << "V*" << std::vector<int>{1};
    // clang-format on
}

// The first-letter shortcut of a scan holds only for a pattern that starts
// with that letter: after a leading star any name may match.
void TestCommuneSearch::leadingStarTakesAnyFirstLetter()
{
    QFETCH(QString, pattern);
    QFETCH(std::vector<int>, rows);
    const Recordset records(names({"ABBEVILLE", "VILLE"}));
    QCOMPARE(findAllCommunes(records, *NamePattern::compile(pattern)), rows);
}

void TestCommuneSearch::scanGoesOnFromTheCurrentRecord()
{
    Recordset records(names({"BREST", "PARIS", "BASTIA"}));
    records.moveNext();
    const ScanResult result = scanForCommune(records, *NamePattern::compile(u"B*"));
    QVERIFY(result.found);
    QCOMPARE(records.position(), 2);
}

void TestCommuneSearch::tableWithoutCommuneFieldIsRefused()
{
    TableBuilder table(QStringLiteral("communes"), {QStringLiteral("nom")}, 1 << 20);
    table.append(0, QStringLiteral("PARIS"));
    table.endRow();
    Recordset records(std::make_shared<const TableData>(table.finish()));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, scanForCommune(records, *NamePattern::compile(u"*")));
}

void TestCommuneSearch::foldedNamesAreSharedOnlyWhenAlreadyFolded()
{
    QVERIFY(Recordset(names({"PARIS", "ST ETIENNE", "L ILE D YEU"})).foldedNames()->sameAsNames());
    QVERIFY(!Recordset(names({"PARIS", "Paris"})).foldedNames()->sameAsNames());
    QVERIFY(!Recordset(names({"PARIS", "SAINTE MARIE"})).foldedNames()->sameAsNames());
    QVERIFY(!Recordset(names({"PARIS", {}})).foldedNames()->sameAsNames());
}

// A user's own table written the ordinary way, with a NULL and a number.
void TestCommuneSearch::ownNamesAreSearchedFolded_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");
    // clang-format off
    QTest::newRow("stored spelling") << "ST ETIENNE" << 0;
    QTest::newRow("natural spelling") << "SAINT-ÉTIENNE" << 0;
    QTest::newRow("accent left out") << "EVIAN" << 2;
    QTest::newRow("apostrophe and hyphen") << "L'ILE-D'YEU" << 3;
    QTest::newRow("typed with blanks") << "L ILE D YEU" << 3;
    QTest::newRow("number as a name") << "1789" << 4;
    QTest::newRow("empty text misses the NULL name") << "" << 5;
    QTest::newRow("SAINT* misses the folded ST") << "SAINT*" << 5;
    // clang-format on
}

void TestCommuneSearch::ownNamesAreSearchedFolded()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    Recordset records(names({"Saint-Étienne", {}, "Évian", "L'Île-d'Yeu", 1789}));
    const std::optional<NamePattern> pattern = NamePattern::compile(typed);
    QVERIFY(pattern);
    const ScanResult result = scanForCommune(records, *pattern);
    QCOMPARE(records.position(), position);
    QCOMPARE(result.found, position < 5);
}

// The shipped names need no copy, and every one of them, typed as it is
// stored, finds the same first row as it did before folding.
void TestCommuneSearch::shippedNamesAreTheirOwnFoldedForm()
{
    REQUIRE_SHARED_FILE(shippedStorePath());
    const std::unique_ptr<Database> db = openDatabase(shippedStorePath());
    Recordset records = db->openRecordset(QStringLiteral("insee1"));
    QVERIFY(records.foldedNames()->sameAsNames());
    const Column &names = records.column(records.fieldIndex(u"commune"));
    QHash<QString, int> firstRow;
    for (int row = int(names.size()) - 1; row >= 0; --row)
        firstRow[names.text(size_t(row)).toString()] = row;
    for (auto it = firstRow.cbegin(); it != firstRow.cend(); ++it) {
        QCOMPARE(foldName(it.key()), it.key());
        records.moveFirst();
        scanForCommune(records, *NamePattern::compile(it.key()));
        QCOMPARE(records.position(), it.value());
    }
}

QTEST_GUILESS_MAIN(TestCommuneSearch)
#include "test_commune_search.moc"
