#include "EngineTestSupport.h"
#include "FileFingerprint.h"
#include "TestPaths.h"
#include "TestStore.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/SqliteDatabase.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

#include <sqlite3.h>

#include <bit>

namespace {

const QStringList InseeTable = TestStore()
                                   .rows({commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                          commune("BREST", -4.50259, 48.40031, "29200", "FINISTERE"),
                                          commune("L ABERGEMENT CLEMENCIAT", 4.92582, 46.15359, "01400", "AIN")})
                                   .statements();

// Writes an SQLite file from SQL statements, as the store's builder does.
bool createStore(const QString &path, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
              == SQLITE_OK;
    for (const QString &statement : statements) {
        if (!ok)
            break;
        char *error = nullptr;
        ok = sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &error) == SQLITE_OK;
        if (!ok)
            qWarning("%s: %s", qPrintable(statement), error);
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return ok;
}

// A store of many rows, so that its table spans many pages.
bool createLargeStore(const QString &path, int rows)
{
    QStringList statements = {InseeTable.first(), "BEGIN"};
    for (int i = 0; i < rows; ++i)
        statements << QStringLiteral("INSERT INTO insee1 VALUES ('COMMUNE %1', %2, %3, '%4', 'DEPARTEMENT')")
                          .arg(i)
                          .arg(i * 0.001)
                          .arg(45 + i * 0.0001)
                          .arg(10000 + i);
    statements << "COMMIT";
    return createStore(path, statements);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool sameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

// The communes from the current record on.
QStringList communes(Recordset rows)
{
    QStringList names;
    for (; !rows.isEof(); rows.moveNext())
        names << rows.fieldText(u"commune");
    return names;
}

} // namespace

class TestDatabaseEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void storeOpensWithTheSqliteBackend();
    void storeInAFolderWithUnusualCharacters();
    void rowsInStoredOrder();
    void valueTypes_data();
    void valueTypes();
    void nullIsNotEmptyText();
    void tableNameIgnoresCase_data();
    void tableNameIgnoresCase();
    void queryFormsAccepted_data();
    void queryFormsAccepted();
    void queryFormsRefused_data();
    void queryFormsRefused();
    void missingTableNamed();
    void navigationPastBothEnds();
    void emptyTable();
    void recordsetWithoutTable();
    void cursorsMoveIndependently();
    void closedDatabase();
    void missingStore();
    void unreadablePathSaysWhy_data();
    void unreadablePathSaysWhy();
    void notADatabase_data();
    void notADatabase();
    void computedTablesBounded_data();
    void computedTablesBounded();
    void truncatedStore_data();
    void truncatedStore();
    void filesLeftUntouched_data();
    void filesLeftUntouched();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_store;
};

void TestDatabaseEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_store = m_dir->filePath("insee.sqlite");
    QVERIFY(createStore(m_store, InseeTable));
}

// The store is opened through a file address: characters that mean something
// in an address must reach the file system unchanged.
void TestDatabaseEngine::storeInAFolderWithUnusualCharacters()
{
    const QString folder = m_dir->filePath(QStringLiteral("Mes données #1 ?x=1&y=%20"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/insee.sqlite");
    QVERIFY(QFile::copy(m_store, path));
    const std::unique_ptr<Database> db = openDatabase(path);
    QCOMPARE(db->openRecordset("insee1").recordCount(), 3);
}

void TestDatabaseEngine::storeOpensWithTheSqliteBackend()
{
    QCOMPARE(sniffDatabaseFile(m_store), DatabaseKind::Sqlite);
    const std::unique_ptr<Database> db = openDatabase(m_store);
    QVERIFY(dynamic_cast<SqliteDatabase *>(db.get()));
    QCOMPARE(db->path(), m_store);
    QVERIFY(db->isOpen());
}

void TestDatabaseEngine::rowsInStoredOrder()
{
    const std::unique_ptr<Database> db = openDatabase(m_store);
    const Recordset rows = db->openRecordset("insee1");
    QCOMPARE(rows.recordCount(), 3);
    QCOMPARE(rows.position(), 0);
    QCOMPARE(communes(rows), (QStringList{"PARIS", "BREST", "L ABERGEMENT CLEMENCIAT"}));
}

void TestDatabaseEngine::valueTypes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    // clang-format off
    QTest::newRow("text") << "name" << QVariant(QStringLiteral("PARIS"));
    QTest::newRow("text of digits keeps its zero") << "code" << QVariant(QStringLiteral("01400"));
    QTest::newRow("real") << "real" << QVariant(2.3428);
    QTest::newRow("negative real") << "negative" << QVariant(-4.50259);
    QTest::newRow("integer") << "whole" << QVariant(qlonglong(75056));
    QTest::newRow("big integer") << "big" << QVariant(qlonglong(9007199254740993));
    QTest::newRow("null") << "missing" << QVariant();
    QTest::newRow("empty text") << "empty" << QVariant(QStringLiteral(""));
    // clang-format on
}

void TestDatabaseEngine::valueTypes()
{
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const QString path = m_dir->filePath("types.sqlite");
    QVERIFY(createStore(path, {"CREATE TABLE kinds (name TEXT, code TEXT, real REAL, negative REAL, whole INTEGER, "
                               "big INTEGER, missing TEXT, empty TEXT)",
                               "INSERT INTO kinds VALUES ('PARIS', '01400', 2.3428, -4.50259, 75056, "
                               "9007199254740993, NULL, '')"}));

    const QVariant value = openDatabase(path)->openRecordset("kinds").field(field);
    QCOMPARE(value.typeId(), expected.typeId());
    QCOMPARE(value.isNull(), expected.isNull());
    if (expected.typeId() == QMetaType::Double)
        QVERIFY(sameBits(value.toDouble(), expected.toDouble()));
    else
        QCOMPARE(value, expected);
}

void TestDatabaseEngine::nullIsNotEmptyText()
{
    QVERIFY(createStore(m_store, {"INSERT INTO insee1 VALUES ('', NULL, 45.5, NULL, '')"}));
    const std::unique_ptr<Database> db = openDatabase(m_store);
    Recordset rows = db->openRecordset("insee1");
    for (int i = 0; i < 3; ++i)
        rows.moveNext();

    QVERIFY(!rows.field(u"commune").isNull());
    QCOMPARE(rows.fieldText(u"commune"), QString());
    QVERIFY(rows.field(u"codepos").isNull());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"codepos"));
    QVERIFY(rows.field(u"longitude").isNull());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"longitude"));
    QCOMPARE(rows.field(u"latitude"), QVariant(45.5));
}

void TestDatabaseEngine::tableNameIgnoresCase_data()
{
    QTest::addColumn<QString>("created");
    QTest::addColumn<QString>("asked");
    // clang-format off
    QTest::newRow("lower, asked upper") << "insee1" << "INSEE1";
    QTest::newRow("upper, asked lower") << "INSEE1" << "insee1";
    QTest::newRow("mixed") << "Communes" << "cOMMUNES";
    // clang-format on
}

void TestDatabaseEngine::tableNameIgnoresCase()
{
    QFETCH(QString, created);
    QFETCH(QString, asked);
    const QString path = m_dir->filePath("named.sqlite");
    QVERIFY(createStore(path, {QStringLiteral("CREATE TABLE %1 (commune TEXT)").arg(created),
                               QStringLiteral("INSERT INTO %1 VALUES ('PARIS')").arg(created)}));

    const std::unique_ptr<Database> db = openDatabase(path);
    QCOMPARE(communes(db->openRecordset(asked)), QStringList{"PARIS"});
    QCOMPARE(communes(db->openQuery(QStringLiteral("SELECT * FROM %1").arg(asked))), QStringList{"PARIS"});
}

void TestDatabaseEngine::queryFormsAccepted_data()
{
    QTest::addColumn<QString>("sql");
    // clang-format off
    QTest::newRow("search query") << "SELECT * FROM INSEE1";
    QTest::newRow("lower case") << "select * from insee1";
    QTest::newRow("brackets and semicolon") << "select * from [insee1];";
    QTest::newRow("spaces") << "  SELECT   *   FROM   insee1  ";
    QTest::newRow("space before semicolon") << "SeLeCt * FrOm insee1 ;";
    // clang-format on
}

void TestDatabaseEngine::queryFormsAccepted()
{
    QFETCH(QString, sql);
    const std::unique_ptr<Database> db = openDatabase(m_store);
    QCOMPARE(communes(db->openQuery(sql)), (QStringList{"PARIS", "BREST", "L ABERGEMENT CLEMENCIAT"}));
}

void TestDatabaseEngine::queryFormsRefused_data()
{
    QTest::addColumn<QString>("sql");
    // clang-format off
    QTest::newRow("some fields") << "SELECT commune FROM insee1";
    QTest::newRow("delete") << "DELETE FROM insee1";
    QTest::newRow("drop") << "DROP TABLE insee1";
    QTest::newRow("condition") << "SELECT * FROM insee1 WHERE commune = 'PARIS'";
    QTest::newRow("ordering") << "SELECT * FROM insee1 ORDER BY commune";
    QTest::newRow("two statements") << "SELECT * FROM insee1; DELETE FROM insee1";
    QTest::newRow("statement as a bracketed name") << "SELECT * FROM [insee1; DELETE FROM insee1]";
    QTest::newRow("no table") << "SELECT * FROM";
    QTest::newRow("empty") << "";
    // clang-format on
}

void TestDatabaseEngine::queryFormsRefused()
{
    QFETCH(QString, sql);
    const std::unique_ptr<Database> db = openDatabase(m_store);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openQuery(sql));
    // Nothing ran: a fresh look at the file finds every row.
    QCOMPARE(openDatabase(m_store)->openRecordset("insee1").recordCount(), 3);
}

void TestDatabaseEngine::missingTableNamed()
{
    const std::unique_ptr<Database> db = openDatabase(m_store);
    try {
        db->openRecordset("communes");
        QFAIL("a missing table was opened");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains("communes") && error.message().contains(m_store),
                 qPrintable(error.message()));
    }
}

void TestDatabaseEngine::navigationPastBothEnds()
{
    const std::unique_ptr<Database> db = openDatabase(m_store);
    Recordset rows = db->openRecordset("insee1");

    QVERIFY(rows.hasCurrentRecord());
    rows.movePrevious();
    QVERIFY(rows.isBof() && !rows.isEof());
    QCOMPARE(rows.position(), -1);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.field(u"commune"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.movePrevious());
    rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("PARIS"));

    rows.moveNext();
    rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    rows.moveNext();
    QVERIFY(rows.isEof() && !rows.isBof());
    QCOMPARE(rows.position(), 3);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"commune"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveNext());
    rows.movePrevious();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    rows.moveFirst();
    QCOMPARE(rows.position(), 0);
    QCOMPARE(rows.fieldText(u"Commune"), QStringLiteral("PARIS"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.field(u"communes"));
}

void TestDatabaseEngine::emptyTable()
{
    QVERIFY(createStore(m_store, {"DELETE FROM insee1"}));
    const std::unique_ptr<Database> db = openDatabase(m_store);
    Recordset rows = db->openRecordset("insee1");

    QCOMPARE(rows.recordCount(), 0);
    QVERIFY(rows.isEof() && rows.isBof());
    QVERIFY(!rows.hasCurrentRecord());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveFirst());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveNext());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.movePrevious());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"commune"));
}

void TestDatabaseEngine::recordsetWithoutTable()
{
    Recordset rows;
    QCOMPARE(rows.recordCount(), 0);
    QVERIFY(rows.isEof() && rows.isBof());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveFirst());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.field(u"commune"));
}

void TestDatabaseEngine::cursorsMoveIndependently()
{
    const std::unique_ptr<Database> db = openDatabase(m_store);
    Recordset first = db->openRecordset("insee1");
    first.moveNext();
    // A second opening starts again at the first record, as the search does.
    Recordset second = db->openQuery("SELECT * FROM INSEE1");
    QCOMPARE(second.fieldText(u"commune"), QStringLiteral("PARIS"));
    second.moveNext();
    second.moveNext();
    QCOMPARE(first.fieldText(u"commune"), QStringLiteral("BREST"));
    QCOMPARE(second.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
}

void TestDatabaseEngine::closedDatabase()
{
    const std::unique_ptr<Database> db = openDatabase(m_store);
    Recordset rows = db->openRecordset("insee1");
    db->close();
    QVERIFY(!db->isOpen());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openRecordset("insee1"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openQuery("SELECT * FROM insee1"));
    // A recordset already open keeps its rows.
    QCOMPARE(communes(rows).size(), 3);
    db->close();
}

void TestDatabaseEngine::missingStore()
{
    const QString path = m_dir->filePath("absent.sqlite");
    try {
        openDatabase(path);
        QFAIL("a missing file was opened");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains(path) && error.message().contains("introuvable"),
                 qPrintable(error.message()));
    }
    QVERIFY_THROWS_EXCEPTION(DatabaseError, SqliteDatabase{path});
    QVERIFY(!QFileInfo::exists(path));
}

void TestDatabaseEngine::unreadablePathSaysWhy_data()
{
    QTest::addColumn<QString>("where"); // under the test folder
    QTest::addColumn<QString>("why");
    // clang-format off
    QTest::newRow("a file where a folder should be") << "plain/insee.sqlite" << "n'est pas un dossier";
    QTest::newRow("a name too long") << QString(300, u'n') + "/insee.sqlite" << "trop long";
    QTest::newRow("a folder closed to its reader") << "closed/insee.sqlite" << "accès refusé";
    // clang-format on
}

void TestDatabaseEngine::unreadablePathSaysWhy()
{
    QFETCH(QString, where);
    QFETCH(QString, why);
    QVERIFY(QFile::copy(m_store, m_dir->filePath("plain")));
    QVERIFY(QDir(m_dir->path()).mkdir("closed"));
    QVERIFY(QFile::copy(m_store, m_dir->filePath("closed/insee.sqlite")));
    QVERIFY(QFile::setPermissions(m_dir->filePath("closed"), {}));
    const auto reopen = qScopeGuard([this] {
        QFile::setPermissions(m_dir->filePath("closed"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (where.startsWith("closed") && geteuid() == 0)
        QSKIP("the superuser reads any folder");
    const QString path = m_dir->filePath(where);
    try {
        openDatabase(path);
        QFAIL("an unreadable path was opened");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains(path) && error.message().contains(why), qPrintable(error.message()));
    }
}

void TestDatabaseEngine::notADatabase_data()
{
    QTest::addColumn<QByteArray>("content");
    // clang-format off
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("text") << QByteArray("commune;longitude;latitude\nPARIS;2.3428;48.85661\n");
    QTest::newRow("SQLite signature and nothing else") << QByteArray("SQLite format 3\0", 16);
    QTest::newRow("SQLite signature and zeros")
        << QByteArray("SQLite format 3\0", 16).leftJustified(8192, '\0');
    // clang-format on
}

void TestDatabaseEngine::notADatabase()
{
    QFETCH(QByteArray, content);
    const QString path = m_dir->filePath("insee.dat");
    QVERIFY(writeFile(path, content));

    const QString message = refusal(path);
    QVERIFY2(message.contains(path), qPrintable(message));
    // Handed straight to the SQLite backend, it fails no later than the table.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, SqliteDatabase(path).openRecordset("insee1"));
}

void TestDatabaseEngine::computedTablesBounded_data()
{
    // A view runs a query and a generated column an expression each time the
    // table is read: a few kilobytes of schema can ask for endless work or
    // memory, which must end in a refusal.
    const QString endless = "CREATE VIEW insee1 AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
                            "SELECT x AS commune, x AS longitude, x AS latitude, x AS codepos, x AS departement "
                            "FROM c";
    const QString generated = "CREATE TABLE insee1 (commune TEXT, longitude REAL, latitude REAL, codepos TEXT, "
                              "departement BLOB AS (zeroblob(%1)))";
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<bool>("refused");
    // clang-format off
    QTest::newRow("view over a table")
        << QStringList{"CREATE TABLE communes (commune TEXT, longitude REAL, latitude REAL, codepos TEXT, "
                       "departement TEXT)",
                       "INSERT INTO communes VALUES ('PARIS', 2.3428, 48.85661, '75001', 'PARIS')",
                       "CREATE VIEW insee1 AS SELECT * FROM communes"}
        << false;
    QTest::newRow("view that never ends") << QStringList{endless + " WHERE x < 0"} << true;
    QTest::newRow("view of endless rows") << QStringList{endless} << true;
    QTest::newRow("value longer than any store holds")
        << QStringList{generated.arg(900'000'000),
                       "INSERT INTO insee1 (commune, longitude, latitude, codepos) VALUES ('A', 1, 2, '3')"}
        << true;
    QTest::newRow("values far larger than the file")
        << QStringList{generated.arg(500'000),
                       "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
                       "INSERT INTO insee1 (commune, longitude, latitude, codepos) SELECT 'A', 1, 2, '3' FROM c"}
        << true;
    // clang-format on
}

void TestDatabaseEngine::computedTablesBounded()
{
    QFETCH(QStringList, statements);
    QFETCH(bool, refused);
    const QString path = m_dir->filePath("computed.sqlite");
    QVERIFY(createStore(path, statements));

    const QString message = refusal(path);
    if (refused)
        QVERIFY2(message.contains(path) && message.contains("insee1"), qPrintable(message));
    else
        QCOMPARE(message, QString());
}

void TestDatabaseEngine::truncatedStore_data()
{
    QTest::addColumn<double>("kept");
    // clang-format off
    QTest::newRow("100 bytes") << -100.0;
    QTest::newRow("one page") << -4096.0;
    QTest::newRow("a tenth") << 0.1;
    QTest::newRow("half") << 0.5;
    QTest::newRow("all but a page") << 0.99;
    // clang-format on
}

void TestDatabaseEngine::truncatedStore()
{
    QFETCH(double, kept);
    const QString path = m_dir->filePath("large.sqlite");
    QVERIFY(createLargeStore(path, 5000));
    QByteArray content = readFile(path);
    QVERIFY(content.size() > 20 * 4096);
    const qsizetype length = kept < 0 ? qsizetype(-kept) : qsizetype(content.size() * kept) / 4096 * 4096;
    QVERIFY(length < content.size());
    content.truncate(length);
    QVERIFY(writeFile(path, content));

    const QString message = refusal(path);
    QVERIFY2(message.contains(path), qPrintable(message));
}

void TestDatabaseEngine::filesLeftUntouched_data()
{
    QTest::addColumn<QString>("source");
    // clang-format off
    QTest::newRow("SQLite store") << QString();
    QTest::newRow("SQLite store in write-ahead mode") << QStringLiteral("wal");
    QTest::newRow("Access file") << fixturePath("insee-mdb/insee-sample.mdb");
    // clang-format on
}

void TestDatabaseEngine::filesLeftUntouched()
{
    QFETCH(QString, source);
    QString path = m_store;
    if (source == QLatin1String("wal")) {
        // Read-only SQLite still makes a shared-memory file beside such a store.
        path = m_dir->filePath("wal.sqlite");
        QVERIFY(createStore(path, QStringList{"PRAGMA journal_mode=WAL"} + InseeTable));
    } else if (!source.isEmpty()) {
        REQUIRE_SHARED_FILE(source);
        path = m_dir->filePath("insee.mdb");
        QVERIFY(QFile::copy(source, path));
    }
    // An old modification time, so that any write would show.
    const QDateTime old(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const QByteArray before = fileFingerprint(path);
    const QStringList filesBefore = QDir(m_dir->path()).entryList(QDir::Files);

    {
        const std::unique_ptr<Database> db = openDatabase(path);
        Recordset rows = db->openRecordset("insee1");
        QVERIFY(rows.recordCount() > 0);
        QVERIFY(!communes(rows).isEmpty());
        QVERIFY(!communes(db->openQuery("SELECT * FROM INSEE1")).isEmpty());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openQuery("DELETE FROM insee1"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), filesBefore); // no journal beside it
        db->close();
    }

    QCOMPARE(fileFingerprint(path), before);
    QCOMPARE(QFileInfo(path).lastModified().toUTC(), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), filesBefore);
}

QTEST_GUILESS_MAIN(TestDatabaseEngine)
#include "test_database_engine.moc"
