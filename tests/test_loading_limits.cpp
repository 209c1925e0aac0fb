#include "CommuneStore.h"
#include "store/CommuneDatabase.h"
#include "store/Database.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

// What a data file can ask of the program, and where the engine says no: a
// file that is no file, changes left in a write-ahead log, tables far larger
// in memory than their file, names long enough to slow every search, damage
// told in SQLite's words, memory running out. Each refusal is a French
// message naming the file, and nothing hangs.
class TestLoadingLimits : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void notARegularFile_data();
    void notARegularFile();
    void changesLeftInTheWriteAheadLog_data();
    void changesLeftInTheWriteAheadLog();
    void memoryHeldToTheFileSize_data();
    void memoryHeldToTheFileSize();
    void sqliteFailuresInFrench_data();
    void sqliteFailuresInFrench();
    void longCommuneNames_data();
    void longCommuneNames();
    void outOfMemoryIsAMessage();
    void backgroundRead();

private:
    QString exec(const QString &path, const QStringList &statements);
    QString refusalOf(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QByteArray fingerprint(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

#ifdef TOPOVIL_SANITIZED
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// The peak resident memory of this test process, in MiB.
long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

const QString Schema = "CREATE TABLE insee1 (commune TEXT, longitude REAL, latitude REAL, codepos TEXT, "
                       "departement TEXT)";

// COMMUNE 0, COMMUNE 1, ... in one statement.
QString manyCommunes(int count)
{
    return QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                          "INSERT INTO insee1 SELECT 'COMMUNE ' || x, 1, 2, '01000', 'AIN' FROM c")
        .arg(count - 1);
}

std::vector<std::vector<QVariant>> threeCommunes()
{
    return {commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
            commune("BREST", -4.50259, 48.40031, "29200", "FINISTERE"),
            commune("AJACCIO", 8.73812, 41.91886, "20000", "CORSE DU SUD")};
}

} // namespace

void TestLoadingLimits::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// Runs SQL on a new or existing file; the error text, empty when all went through.
QString TestLoadingLimits::exec(const QString &path, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return QStringLiteral("cannot open");
    QString failure;
    for (const QString &statement : statements) {
        char *error = nullptr;
        if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            failure = QString::fromUtf8(error);
            sqlite3_free(error);
            break;
        }
    }
    sqlite3_close(db);
    return failure;
}

// The message met while opening the file as the program does and reading
// the whole commune table; empty when it all went through.
QString TestLoadingLimits::refusalOf(const QString &path)
{
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(path);
        db->openRecordset(QStringLiteral("insee1"));
    } catch (const DatabaseError &error) {
        return error.message();
    }
    return {};
}

void TestLoadingLimits::notARegularFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    // clang-format off
    QTest::newRow("pipe named insee.sqlite") << "insee.sqlite" << "fifo";
    QTest::newRow("pipe named insee.mdb") << "insee.mdb" << "fifo";
    QTest::newRow("folder named insee.sqlite") << "insee.sqlite" << "folder";
    // clang-format on
}

void TestLoadingLimits::notARegularFile()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    const QString path = m_dir->filePath(name);
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else
        QVERIFY(QDir().mkpath(path));
    // Opening a pipe to read blocks until a writer comes: a refusal must come first.
    const QString message = refusalOf(path);
    QVERIFY2(message.contains(path) && message.contains(QStringLiteral("fichier ordinaire")), qPrintable(message));
}

void TestLoadingLimits::changesLeftInTheWriteAheadLog_data()
{
    QTest::addColumn<QStringList>("pending");
    // clang-format off
    QTest::newRow("rows added") << QStringList{"INSERT INTO insee1 VALUES ('NOUVELLE', 1, 2, '01000', 'AIN')"};
    QTest::newRow("table created") << QStringList{"DROP TABLE insee1", "CREATE TABLE insee1 (commune TEXT)"};
    // clang-format on
}

void TestLoadingLimits::changesLeftInTheWriteAheadLog()
{
    QFETCH(QStringList, pending);
    const QString source = m_dir->filePath("source.sqlite");
    QVERIFY(writeCommuneStore(source, threeCommunes()));
    QCOMPARE(exec(source, {"PRAGMA journal_mode=WAL"}), QString());

    // A writer that has committed but not merged its log: the files as they
    // are at that moment are what a copy or a crash leaves behind.
    sqlite3 *writer = nullptr;
    QCOMPARE(sqlite3_open(source.toUtf8().constData(), &writer), SQLITE_OK);
    QCOMPARE(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr), SQLITE_OK);
    for (const QString &statement : pending)
        QCOMPARE(sqlite3_exec(writer, statement.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    const QString path = m_dir->filePath("insee.sqlite");
    QVERIFY(QFile::copy(source, path));
    QVERIFY(QFile::copy(source + "-wal", path + "-wal"));
    sqlite3_close(writer);
    QVERIFY(QFileInfo(path + "-wal").size() > 0);

    const QByteArray store = fingerprint(path);
    const QByteArray log = fingerprint(path + "-wal");
    const QString message = refusalOf(path);
    QVERIFY2(message.contains(path) && message.contains(path + "-wal") && message.contains("wal_checkpoint"),
             qPrintable(message));
    QCOMPARE(fingerprint(path), store);
    QCOMPARE(fingerprint(path + "-wal"), log);
    QVERIFY(!QFileInfo::exists(path + "-shm"));
}

void TestLoadingLimits::memoryHeldToTheFileSize_data()
{
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QString>("refusal"); // a word the refusal must hold; empty when either outcome will do
    // A view computes its rows: a few bytes of schema, a gigabyte of text.
    // clang-format off
    QTest::newRow("view of huge texts")
        << QStringList{"CREATE VIEW insee1 AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                       "WHERE x < 1000) SELECT 'A' AS commune, 1 AS longitude, 2 AS latitude, '01000' AS codepos, "
                       "x || printf('%.*c', 1000000, 'x') AS departement FROM c"}
        << QStringLiteral("mémoire");
    // clang-format on
    // Columns added after the rows were written cost the file nothing: the
    // rows read them as NULL. Nearly two thousand of them over 20 000 rows is a
    // table of forty million cells from a file of a few hundred kilobytes,
    // which may be read (its NULL columns cost nothing) or refused for the
    // work it takes, but never fill the memory.
    QStringList wide = {Schema, manyCommunes(20000), "BEGIN"};
    for (int i = 0; i < 1990; ++i)
        wide << QStringLiteral("ALTER TABLE insee1 ADD COLUMN extra%1 TEXT").arg(i);
    wide << "COMMIT";
    // clang-format off
    QTest::newRow("two thousand columns added later") << wide << QString();
    // clang-format on
}

void TestLoadingLimits::memoryHeldToTheFileSize()
{
    QFETCH(QStringList, statements);
    QFETCH(QString, refusal);
    const QString path = m_dir->filePath("insee.sqlite");
    QCOMPARE(exec(path, statements), QString());

    const QString message = refusalOf(path);
    if (!refusal.isEmpty())
        QVERIFY2(message.contains(path) && message.contains(refusal), qPrintable(message));
    // AddressSanitizer keeps freed memory aside and adds its own.
    if (!sanitized)
        QVERIFY2(peakMiB() < 400, qPrintable(QStringLiteral("peak %1 MiB").arg(peakMiB())));
}

void TestLoadingLimits::sqliteFailuresInFrench_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("french");
    // clang-format off
    QTest::newRow("pages overwritten") << "pages" << "endommagé";
    QTest::newRow("header of another page size") << "header" << "base SQLite valide";
    // clang-format on
}

void TestLoadingLimits::sqliteFailuresInFrench()
{
    QFETCH(QString, damage);
    QFETCH(QString, french);
    const QString path = m_dir->filePath("insee.sqlite");
    QCOMPARE(exec(path, {Schema, manyCommunes(5000)}), QString());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    if (damage == QLatin1String("pages")) {
        // Every page after the schema turns into noise.
        for (qsizetype i = 2 * 4096; i < content.size(); ++i)
            content[i] = char((i * 7919) & 0xff);
    } else {
        content[16] = 0x00; // a page size that is no power of two
        content[17] = 0x03;
    }
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(content), content.size());
    file.close();

    const QString message = refusalOf(path);
    QVERIFY2(message.contains(path) && message.contains(french) && message.contains("code SQLite"),
             qPrintable(message));
    QVERIFY2(!message.contains("malformed") && !message.contains("not a database"), qPrintable(message));
}

void TestLoadingLimits::longCommuneNames_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("refused");
    // clang-format off
    QTest::newRow("255 characters") << 3 << 255 << false;
    QTest::newRow("256 characters, third record") << 3 << 256 << true;
    QTest::newRow("a mebibyte, second record") << 2 << (1 << 20) - 16 << true;
    QTest::newRow("256 characters, first record") << 1 << 256 << true;
    // clang-format on
}

void TestLoadingLimits::longCommuneNames()
{
    QFETCH(int, row);
    QFETCH(int, length);
    QFETCH(bool, refused);
    std::vector<std::vector<QVariant>> rows = threeCommunes();
    rows[size_t(row - 1)][0] = QString(length, u'A');
    const QString path = m_dir->filePath("insee.sqlite");
    QVERIFY(writeCommuneStore(path, rows));

    const QString message = refusalOf(path);
    if (!refused) {
        QCOMPARE(message, QString());
        return;
    }
    QVERIFY2(message.contains(path) && message.contains(QString::number(length)), qPrintable(message));
    if (row == 1) { // refused at opening, before it is shown
        QVERIFY_THROWS_EXCEPTION(DatabaseError, openCommuneDatabase(path));
        QVERIFY2(message.contains(QStringLiteral("premier enregistrement")), qPrintable(message));
    } else {
        QVERIFY2(message.contains(QStringLiteral("enregistrement %1 ").arg(row)), qPrintable(message));
    }
}

void TestLoadingLimits::outOfMemoryIsAMessage()
{
    const QString path = m_dir->filePath("insee.sqlite");
    QVERIFY(writeCommuneStore(path, threeCommunes()));
    const std::unique_ptr<Database> db = openDatabase(path);
    db->setTableCheck("insee1", [](const TableData &) { throw std::bad_alloc(); });
    try {
        db->openRecordset("insee1");
        QFAIL("the table was taken up");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains("mémoire insuffisante") && error.message().contains(path),
                 qPrintable(error.message()));
    }
}

void TestLoadingLimits::backgroundRead()
{
    const QString path = m_dir->filePath("insee.sqlite");
    const QString good = m_dir->filePath("good.sqlite");
    QCOMPARE(exec(good, {Schema, manyCommunes(20000)}), QString());
    QVERIFY(QFile::copy(good, path));
    QCOMPARE(exec(path, {"INSERT INTO insee1 VALUES (printf('%.*c', 300, 'Z'), 1, 2, '01000', 'AIN')"}), QString());

    // A table that fails its check in the background fails every open after.
    std::atomic<int> done = 0;
    const std::unique_ptr<Database> failing = openCommuneDatabase(path);
    QCOMPARE(failing->openFirstRecord("insee1").fieldText(u"commune"), QStringLiteral("COMMUNE 0"));
    failing->startLoading("insee1", [&done] { ++done; });
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            failing->openRecordset("insee1");
            QFAIL("a table refused in the background was opened");
        } catch (const DatabaseError &error) {
            QVERIFY2(error.message().contains("enregistrement 20001 "), qPrintable(error.message()));
        }
    }
    QCOMPARE(done.load(), 1);

    // Without the long name the whole table arrives; closing in the middle
    // of a read stops it.
    const std::unique_ptr<Database> whole = openCommuneDatabase(good);
    whole->startLoading("insee1");
    QCOMPARE(whole->openRecordset("insee1").recordCount(), 20000);
    const std::unique_ptr<Database> closing = openCommuneDatabase(good);
    closing->startLoading("insee1");
    closing->close();
    QVERIFY(!closing->isLoading());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, closing->openRecordset("insee1"));
}

QTEST_GUILESS_MAIN(TestLoadingLimits)
#include "test_loading_limits.moc"
