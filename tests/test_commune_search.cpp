#include "communes/CommuneSearch.h"
#include "communes/DatabaseError.h"
#include "communes/TableBuilder.h"

#include <QtTest>

// The scan behind the search button, over a table held in memory.
class TestCommuneSearch : public QObject
{
    Q_OBJECT
private slots:
    void scan_data();
    void scan();
    void scanGoesOnFromTheCurrentRecord();
    void tableWithoutCommuneFieldIsRefused();
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
    const ScanResult result = scanForCommune(records, *LikePattern::compile(pattern));
    QCOMPARE(result.found, found);
    QCOMPARE(result.skipped, skipped);
    QCOMPARE(records.position(), position);
    QCOMPARE(records.isEof(), !found);
}

void TestCommuneSearch::scanGoesOnFromTheCurrentRecord()
{
    Recordset records(names({"BREST", "PARIS", "BASTIA"}));
    records.moveNext();
    const ScanResult result = scanForCommune(records, *LikePattern::compile(u"B*"));
    QVERIFY(result.found);
    QCOMPARE(records.position(), 2);
}

void TestCommuneSearch::tableWithoutCommuneFieldIsRefused()
{
    TableBuilder table(QStringLiteral("communes"), {QStringLiteral("nom")}, 1 << 20);
    table.append(0, QStringLiteral("PARIS"));
    table.endRow();
    Recordset records(std::make_shared<const TableData>(table.finish()));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, scanForCommune(records, *LikePattern::compile(u"*")));
}

QTEST_GUILESS_MAIN(TestCommuneSearch)
#include "test_commune_search.moc"
