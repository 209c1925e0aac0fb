#include "CommandLineRun.h"
#include "TestStore.h"

#include <QJsonDocument>
#include <QtTest>
#include <cstdio>
#include <sqlite3.h>

// Stores that a user edited, or that another program is writing: the links
// of the other tables follow rowids, a writer is waited for and never read
// half-way, a view is judged whole, and stored numbers come out as valid
// JSON. Each search runs in this process on a store made here.
Q_DECLARE_METATYPE(TestStore)

class TestStoreLinks : public QObject
{
    Q_OBJECT
private slots:
    void stores_data();
    void stores();
};

namespace {

// Three communes whose other tables link them by rowid, as the shipped store does.
TestStore linkedStore()
{
    return TestStore({"commune", "longitude", "latitude", "codepos", "departement", "code_insee"})
        .rows({{"ABBEVILLE", 1.83, 50.1, "80100", "SOMME", "80001"},
               {"PARIS", 2.3428, 48.85661, "75001", "PARIS", "75056"},
               {"STE COLOMBE", -0.05, 44.88, "33350", "GIRONDE", "33390"},
               {"STE COLOMBE", 5.0, 45.0, "05700", "HAUTES-ALPES", "05140"}})
        .table("codes_postaux", {{1, "80100"}, {2, "75001"}, {2, "75015"}, {3, "33350"}, {4, "05700"}})
        .table("autres_noms", {{"VIEUX BOURG", "commune déléguée", 3}})
        .table("historique", {{"LUTECE", "changement de nom, 1943", 2}})
        .table("anciens_codes", {{"33999", "VIEUX BOURG", "fusion, 1973", 3}});
}

bool exec(sqlite3 *db, const QString &sql)
{
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

void TestStoreLinks::stores_data()
{
    QTest::addColumn<TestStore>("store");
    QTest::addColumn<QString>("writer");    // SQL of a writer left open meanwhile, if any
    QTest::addColumn<QString>("search");    // --chercher's text, or --lot's input
    QTest::addColumn<QStringList>("batch"); // --lot's options; none for --chercher
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const TestStore linked = linkedStore();
    const TestStore firstDeleted = linkedStore().sql("DELETE FROM insee1 WHERE rowid = 1;");
    const TestStore shuffled =
        linkedStore().sql("CREATE TABLE c AS SELECT rowid AS r, * FROM insee1; DELETE FROM insee1;"
                          "INSERT INTO insee1(rowid, commune, longitude, latitude, codepos, departement, "
                          "code_insee) SELECT r * 7 % 11, commune, longitude, latitude, codepos, "
                          "departement, code_insee FROM c ORDER BY r DESC;"
                          "UPDATE codes_postaux SET commune = commune * 7 % 11;"
                          "UPDATE autres_noms SET actuelle = actuelle * 7 % 11;"
                          "UPDATE historique SET actuelle = actuelle * 7 % 11;"
                          "UPDATE anciens_codes SET actuelle = actuelle * 7 % 11;");
    // Stores that lie: numbers stored as odd texts, a view of a table crossed with itself.
    const TestStore texts = TestStore({"commune", "longitude TEXT", "latitude TEXT", "codepos", "departement"})
                                .rows({{"A", "1.", "01", "80100", "SOMME"},
                                       {"A", "00.5", " 45", "75001", "PARIS"},
                                       {"A", "-.5", "+3", "75001", "PARIS"},
                                       {"A", "1e400", "NaN", "75001", "PARIS"}});
    const TestStore crossed = TestStore()
                                  .named("t")
                                  .row(commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"))
                                  .sql("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 4000) "
                                       "INSERT INTO t SELECT 'A' || x, 1, 1, '01000', 'AIN' FROM n;"
                                       "CREATE VIEW insee1 AS SELECT a.* FROM t a, t b;");
    // clang-format off
    QTest::newRow("first row deleted: other name") << firstDeleted << "" << "vieux bourg" << QStringList{} << 0 << "STE COLOMBE\t33350" << "";
    QTest::newRow("first row deleted: history") << firstDeleted << "" << "lutece" << QStringList{} << 0 << "PARIS\t75001" << "";
    QTest::newRow("first row deleted: postal code") << firstDeleted << "" << "75015" << QStringList{} << 0 << "PARIS\t75015" << "";
    QTest::newRow("first row deleted: former INSEE code") << firstDeleted << "" << "33999" << QStringList{} << 0 << "STE COLOMBE\t33350" << "";
    QTest::newRow("first row deleted: postal codes of a batch") << firstDeleted << "" << "ville;cp\nste colombe;33350" << QStringList{"--colonne", "ville", "--colonne-cp", "cp"} << 0 << ";trouvée;STE COLOMBE;33350" << "";
    QTest::newRow("rowids with gaps, rows inserted out of order: other name") << shuffled << "" << "vieux bourg" << QStringList{} << 0 << "STE COLOMBE\t33350" << "";
    QTest::newRow("rowids with gaps, rows inserted out of order: postal code") << shuffled << "" << "75015" << QStringList{} << 0 << "PARIS\t75015" << "";
    QTest::newRow("a writer holding the file") << linked << "BEGIN EXCLUSIVE; UPDATE insee1 SET commune = 'PQRIS' WHERE commune = 'PARIS';" << "paris" << QStringList{} << 2 << "" << "un autre programme est en train d'y écrire";
    QTest::newRow("a writer whose change is not written yet") << linked << "BEGIN; UPDATE insee1 SET commune = 'PQRIS' WHERE commune = 'PARIS';" << "paris" << QStringList{} << 0 << "PARIS\t75001" << "";
    QTest::newRow("view of a table crossed with itself") << crossed << "" << "paris" << QStringList{} << 2 << "" << "bien plus";
    QTest::newRow("numbers stored as odd texts, JSON") << texts << "" << "json:a" << QStringList{} << 0 << "\"longitude\":1,\"latitude\":1," << "";
    QTest::newRow("numbers stored as odd texts, JSON batch") << texts << "" << "a" << QStringList{"--format", "json"} << 0 << "\"longitude\":1,\"latitude\":1," << "";
    // clang-format on
}

void TestStoreLinks::stores()
{
    QFETCH(TestStore, store);
    QFETCH(QString, writer);
    QFETCH(QString, search);
    QFETCH(QStringList, batch);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString path = dir.filePath("insee.sqlite");
    QVERIFY(store.write(path));
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    if (!writer.isEmpty())
        QVERIFY(exec(db, writer)); // held open until the search is done
    const bool json = search.startsWith("json:") || batch.contains("json");
    const CommandLineRun run =
        batch.isEmpty()
            ? runCommandLine({"--chercher", search.section(':', -1), "--format", json ? "json" : "tsv", path})
            : runCommandLine(QStringList{"--lot", "-"} + batch + QStringList{path}, search.toUtf8() + '\n');
    const int result = run.status;
    const QString message = run.err;
    const QByteArray written = run.out.toUtf8();
    sqlite3_close(db);
    QCOMPARE(result, status);
    QVERIFY2(QString::fromUtf8(written).contains(out), written.constData());
    QVERIFY2(err.isEmpty() ? message.isEmpty() : message.contains(err), qPrintable(message));
    if (json) {
        QJsonParseError parsed;
        QJsonDocument::fromJson(written, &parsed);
        QVERIFY2(parsed.error == QJsonParseError::NoError, qPrintable(parsed.errorString()));
    }
}

QTEST_GUILESS_MAIN(TestStoreLinks)
#include "test_store_links.moc"
