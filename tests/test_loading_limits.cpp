#include "TestStore.h"
#include "store/CommuneDatabase.h"
#include "store/Database.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    void readAlongside();
    void abusedStores_data();
    void abusedStores();

private:
    QString exec(const QString &path, const QStringList &statements);
    QString refusalOf(const QString &path);
    void makeAbusedStore(const QString &abuse, const QString &path);

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

const QString Schema = TestStore().statements().first();

// Forgets the peak resident memory so far; returns the memory resident now, in MiB.
long restartPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong() / 1024;
    return 0;
}

// The peak resident memory since restartPeak(), in MiB.
long peakSinceRestart()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong() / 1024;
    return 0;
}

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
    // Opening a pipe to read blocks until a writer comes: a refusal must come
    // first. Should the pipe be opened, a writer comes after two seconds, and
    // again, so that the test fails then instead of blocking.
    std::atomic<bool> answered = false;
    std::thread writer([&answered, &path, kind] {
        for (int tick = 1; kind == QLatin1String("fifo") && !answered; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (tick % 40 != 0)
                continue;
            // Read-write never blocks on a pipe; closing it ends the reader's read.
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (fd >= 0)
                ::close(fd);
        }
    });
    const QString message = refusalOf(path);
    answered = true;
    writer.join();
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
                       "x || printf('%.*c', 60000, 'x') AS departement FROM c"}
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
    QTest::newRow("60,000 characters, second record") << 2 << 60000 << true;
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
    db->setRecordCheck("insee1", [](const TableData &, size_t) { throw std::bad_alloc(); });
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

void TestLoadingLimits::readAlongside()
{
    const QString path = m_dir->filePath("insee.sqlite");
    QCOMPARE(exec(path, {Schema, manyCommunes(3000),
                         "CREATE TABLE codes_postaux AS SELECT rowid AS commune, "
                         "'0' || (1000 + rowid) AS codepos FROM insee1"}),
             QString());
    const std::unique_ptr<Database> db = openCommuneDatabase(path);
    // A check set before the read is kept by the other connection too.
    db->setRecordCheck("codes_postaux", [](const TableData &, size_t row) {
        if (row == 2999)
            throw DatabaseError("la ligne 3000 est refusée");
    });
    db->readAlongside({"codes_postaux", "absente", "insee1"});
    QCOMPARE(db->openRecordset("insee1").recordCount(), 3000);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openRecordset("absente"));
    try {
        db->openRecordset("codes_postaux");
        QFAIL("a table read alongside passed over its check");
    } catch (const DatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("la ligne 3000 est refusée"));
    }

    // Read alongside, a table is the one read here: its rows, rowids and texts.
    const std::unique_ptr<Database> alongside = openCommuneDatabase(path);
    alongside->readAlongside({"CODES_POSTAUX"});
    const Recordset read = alongside->openRecordset("codes_postaux");
    const Recordset here = openCommuneDatabase(path)->openRecordset("codes_postaux");
    QCOMPARE(read.recordCount(), 3000);
    for (const int row : {0, 1499, 2999}) {
        QCOMPARE(read.rowidOf(row), here.rowidOf(row));
        QCOMPARE(read.column(1).value(size_t(row)), here.column(1).value(size_t(row)));
    }

    // Closed or destroyed while the other connection reads: it stops.
    const std::unique_ptr<Database> closing = openCommuneDatabase(path);
    closing->readAlongside({"insee1", "codes_postaux"});
    closing->close();
    QVERIFY_THROWS_EXCEPTION(DatabaseError, closing->openRecordset("codes_postaux"));
    openCommuneDatabase(path)->readAlongside({"insee1"});
}

void TestLoadingLimits::abusedStores_data()
{
    QTest::addColumn<QString>("abuse");
    QTest::addColumn<QString>("said");   // what the refusal says; empty when the store is read
    QTest::addColumn<QString>("unsaid"); // SQLite's English, or a wrong cause
    QTest::addColumn<int>("mostMiB");    // the memory the read may take, 0 when it is not measured
    // clang-format off
    QTest::newRow("hot rollback journal") << "hot journal" << "PRAGMA quick_check" << "UNCOMMITTED" << 0;
    QTest::newRow("view of malformed JSON") << "json" << "JSON qu'elle lit est mal formée" << "malformed" << 0;
    QTest::newRow("view of an integer overflow") << "overflow" << "dépasse leur taille" << "overflow" << 0;
    QTest::newRow("table of an unknown module") << "module" << "module inconnu" << "no such" << 0;
    QTest::newRow("schema format from the future") << "format" << "plus récent" << "unsupported" << 0;
    QTest::newRow("60 kB of zeros a record") << "zero blobs" << "plus de 64 Mo" << "" << 0;
    QTest::newRow("sparse table of a mebibyte a value")
        << "sparse blobs" << "enregistrement 2 : une valeur dépasse 64 Kio" << "" << 16;
    QTest::newRow("values past what the file holds")
        << "values past the file" << "plus que le fichier n'en occupe" << "" << 0;
    QTest::newRow("names of 60,000 letters after the first")
        << "long names" << "enregistrement 2 de" << "Mo de mémoire" << 16;
    QTest::newRow("symbolic link loop") << "link loop" << "boucle" << "introuvable" << 0;
    QTest::newRow("write-ahead log that is a folder") << "wal folder" << "fichier ordinaire" << "modifications" << 0;
    QTest::newRow("journal that is a folder") << "journal folder" << "fichier ordinaire" << "" << 0;
    QTest::newRow("200 emoji, 400 UTF-16 units") << "200 emoji" << "" << "" << 0;
    QTest::newRow("256 emoji") << "256 emoji" << "a 256 caractères" << "512" << 0;
    // clang-format on
}

void TestLoadingLimits::makeAbusedStore(const QString &abuse, const QString &path)
{
    const auto view = [](const QString &commune, const QString &departement, int rows) {
        return QStringLiteral("CREATE VIEW insee1 AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                              "WHERE x < %3) SELECT %1 AS commune, 1 AS longitude, 2 AS latitude, '01000' AS "
                              "codepos, %2 AS departement FROM c")
            .arg(commune, departement)
            .arg(rows);
    };
    if (abuse == "hot journal") {
        // A writer that spills its change into the file before its COMMIT,
        // stopped there: the files are copied as it leaves them.
        const QString source = m_dir->filePath("source.sqlite");
        QCOMPARE(exec(source, {Schema, manyCommunes(5000)}), QString());
        sqlite3 *writer = nullptr;
        QCOMPARE(sqlite3_open(source.toUtf8().constData(), &writer), SQLITE_OK);
        QCOMPARE(sqlite3_exec(writer, "PRAGMA cache_size=1; BEGIN; UPDATE insee1 SET commune = 'UNCOMMITTED ' || rowid",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY(QFile::copy(source, path));
        QVERIFY(QFile::copy(source + "-journal", path + "-journal"));
        sqlite3_close(writer);
    } else if (abuse == "json") {
        QCOMPARE(exec(path, {view("json_extract('{bad', '$')", "'AIN'", 1)}), QString());
    } else if (abuse == "overflow") {
        QCOMPARE(
            exec(path, {view("'A'", "(SELECT sum(v) FROM (SELECT 9223372036854775807 AS v UNION ALL SELECT 1))", 1)}),
            QString());
    } else if (abuse == "module") {
        QCOMPARE(exec(path, {Schema, "PRAGMA writable_schema=ON",
                             "UPDATE sqlite_master SET sql = 'CREATE VIRTUAL TABLE insee1 USING nosuchmodule(x)', "
                             "rootpage = 0 WHERE name = 'insee1'"}),
                 QString());
    } else if (abuse == "format") {
        QVERIFY(writeCommuneStore(path, threeCommunes()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(44 + 3));
        QVERIFY(file.putChar(9)); // schema format number 9: SQLite knows up to 4
    } else if (abuse == "zero blobs") {
        QCOMPARE(exec(path, {view("'A'", "zeroblob(60000)", 2000)}), QString());
    } else if (abuse == "values past the file") {
        // 60 kB of three-byte letters a record, 72 MB in all from a file of
        // a few kilobytes: less memory than bytes, so only their count stops it.
        QCOMPARE(exec(path, {view("'A'", "replace(hex(zeroblob(10000)), '0', '€')", 1200)}), QString());
    } else if (abuse == "sparse blobs") {
        // Large pages: the zeros of each value would be holes on disk.
        QCOMPARE(exec(path, {"PRAGMA page_size = 65536", Schema,
                             "INSERT INTO insee1 VALUES ('PARIS', 2.35, 48.85, '75001', 'PARIS')",
                             "INSERT INTO insee1 SELECT 'A', 1, 1, '01000', zeroblob(1000000) FROM "
                             "(WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 20) "
                             "SELECT x FROM n)"}),
                 QString());
    } else if (abuse == "long names") {
        QCOMPARE(exec(path, {view("CASE x WHEN 1 THEN 'PARIS' ELSE printf('%.*c', 60000, 'A') END", "'AIN'", 150)}),
                 QString());
    } else if (abuse == "link loop") {
        QVERIFY(QFile::link(path, path));
    } else if (abuse == "wal folder" || abuse == "journal folder") {
        QVERIFY(writeCommuneStore(path, threeCommunes()));
        QVERIFY(QDir().mkpath(path + (abuse == "wal folder" ? "-wal" : "-journal")));
    } else if (abuse.endsWith(" emoji")) {
        std::vector<std::vector<QVariant>> rows = threeCommunes();
        rows[1][0] = QString(QStringLiteral("😀")).repeated(abuse.split(' ').front().toInt());
        QVERIFY(writeCommuneStore(path, rows));
    }
}

// Each store is refused for its true cause, in French, with none of SQLite's
// words, or read; the memory a refused read takes stays in its bounds.
void TestLoadingLimits::abusedStores()
{
    QFETCH(QString, abuse);
    QFETCH(QString, said);
    QFETCH(QString, unsaid);
    QFETCH(int, mostMiB);
    const QString path = m_dir->filePath("insee.sqlite");
    makeAbusedStore(abuse, path);
    if (QTest::currentTestFailed())
        return;
    QStringList files = QDir(m_dir->path()).entryList(QDir::Files);
    QList<QByteArray> before;
    for (const QString &file : files)
        before << fingerprint(m_dir->filePath(file));

    const long resident = restartPeak();
    const QString message = refusalOf(path);
    if (mostMiB > 0 && !sanitized)
        QVERIFY2(peakSinceRestart() - resident <= mostMiB,
                 qPrintable(QStringLiteral("%1 MiB over %2").arg(peakSinceRestart() - resident).arg(resident)));
    if (said.isEmpty()) {
        QCOMPARE(message, QString());
    } else {
        QVERIFY2(message.contains(path) && message.contains(said), qPrintable(message));
        if (!unsaid.isEmpty())
            QVERIFY2(!message.contains(unsaid), qPrintable(message));
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), files);
    for (qsizetype i = 0; i < files.size(); ++i)
        QCOMPARE(fingerprint(m_dir->filePath(files[i])), before[i]);
}

QTEST_GUILESS_MAIN(TestLoadingLimits)
#include "test_loading_limits.moc"
