#include "EngineTestSupport.h"
#include "TestPaths.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/JetDatabase.h"

#include <QDateTime>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtEndian>
#include <QtTest>

#include <bit>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <unistd.h>

namespace {

QString inseeFixture(const QString &name)
{
    return fixturePath("insee-mdb/" + name);
}
QString accessSample(const QString &name)
{
    return fixturePath("access-samples/" + name);
}

// A number as written in the source data, read without regard to any locale.
double number(const char *text)
{
    double value = 0;
    const auto end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, value);
    Q_ASSERT(result.ec == std::errc() && result.ptr == end);
    return value;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

using Rows = std::vector<std::vector<QVariant>>;

// Every row from the current record on, as the navigation sees them.
Rows readAll(Recordset recordset, const QStringList &fields)
{
    Rows rows;
    for (; !recordset.isEof(); recordset.moveNext()) {
        std::vector<QVariant> row;
        for (const QString &field : fields)
            row.push_back(recordset.field(field));
        rows.push_back(std::move(row));
    }
    return rows;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// The first page of a Jet 4 file as far as its signature and version.
QByteArray jetHeader(char version)
{
    QByteArray head(0x15, '\0');
    head[1] = 1;
    head.replace(4, 16, QByteArrayLiteral("Standard Jet DB\0"));
    head[0x14] = version;
    return head;
}

// Makes the C library write numbers the French way, as a Qt program under a
// French session does; the locale is generated when the system lacks it.
bool useFrenchNumbers(const QTemporaryDir &scratch)
{
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        return true;
    const QString localedef = QStandardPaths::findExecutable("localedef");
    if (localedef.isEmpty())
        return false;
    QProcess::execute(localedef, {"-i", "fr_FR", "-f", "UTF-8", scratch.filePath("fr_FR.UTF-8")});
    qputenv("LOCPATH", QFile::encodeName(scratch.path()));
    return std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
}

// insee-nulls.mdb with its commune column made a memo column: the first
// twelve bytes of each stored name are then read as a memo header. The first
// row's header becomes `header`; every other says that the text follows it in
// the row. The rows a header points to are on a page added at the end of the
// file, `rows` in order from row 0; a row place is the page number times 256
// plus the row number.
QByteArray withCommuneMemos(const QByteArray &original, const QStringList &names, const QByteArray &header,
                            const QList<QByteArray> &rows)
{
    constexpr qsizetype PageSize = 4096;
    QByteArray content = original;
    // The definition of insee1: the first column entry (25 bytes, the type
    // first) after the table's fixed part, the names of the columns after the entries.
    qsizetype definition = 0;
    while (
        definition < content.size()
        && !(content.at(definition) == 2
             && content.mid(definition, PageSize).contains(QByteArray(reinterpret_cast<const char *>(u"commune"), 14))))
        definition += PageSize;
    if (definition >= content.size() || qFromLittleEndian<quint32>(content.constData() + definition + 51) != 0)
        return {};
    const qsizetype firstColumn = definition + 63;
    constexpr char MemoType = 0x0c;
    content[firstColumn] = MemoType;

    for (const QString &name : names) {
        const QByteArray stored(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
        const qsizetype at = content.indexOf(stored);
        if (at < 0 || stored.size() < 12)
            return {};
        const QByteArray replacement = name == names.first() ? header : QByteArray::fromHex("00000080");
        content.replace(at, replacement.size(), replacement);
    }

    QByteArray page(PageSize, '\0');
    page[0] = 1;
    page.replace(4, 4, "LVAL");
    qToLittleEndian<quint16>(quint16(rows.size()), page.data() + 12);
    qsizetype end = PageSize;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        end -= rows[row].size();
        page.replace(end, rows[row].size(), rows[row]);
        qToLittleEndian<quint16>(quint16(end), page.data() + 14 + 2 * row);
    }
    return content + page;
}

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

enum class Damage {
    Truncate,
    DropLastPage,
    DropLastByte,
    Half,
    RandomAfterFirstPage,
    RandomCatalogPage,
    RandomDefinitionHeads
};

// What a call writes to the standard error, caught at its file descriptor,
// where a library's own fprintf lands too.
template <typename Call>
QByteArray standardErrorOf(Call call)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "no capture";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    call();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

class TestJetDatabase : public QObject
{
    Q_OBJECT

private slots:
    void opensAccessFilesWithTheJetBackend();
    void sampleRowsInOrder_data();
    void sampleRowsInOrder();
    void tableByNameOrQuery_data();
    void tableByNameOrQuery();
    void navigationPastBothEnds();
    void fieldNamesIgnoreCase();
    void fieldTypes();
    void fullFileRowsAndOrder();
    void fullFileCoordinatesExact_data();
    void fullFileCoordinatesExact();
    void fullFileCoordinatesAreFiveDecimalNumbers();
    void frenchLocaleLeavesValuesAlone();
    void nullFields_data();
    void nullFields();
    void emptyTextIsNotNull();
    void emptyTable();
    void memoTexts_data();
    void memoTexts();
    void missingTableNamed();
    void textCoordinates();
    void accessSamples_data();
    void accessSamples();
    void accessSampleValues();
    void movedRowsReadOnce();
    void closedDatabase();
    void missingFile();
    void badFiles_data();
    void badFiles();
    void damagedCopies_data();
    void damagedCopies();
    void everyPageTruncationRefused();
};

void TestJetDatabase::opensAccessFilesWithTheJetBackend()
{
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);
    QCOMPARE(sniffDatabaseFile(path), DatabaseKind::Jet);
    const std::unique_ptr<Database> db = openDatabase(path);
    QVERIFY(dynamic_cast<JetDatabase *>(db.get()));
    QCOMPARE(db->path(), path);
}

void TestJetDatabase::sampleRowsInOrder_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("commune");
    QTest::addColumn<QByteArray>("longitude");
    QTest::addColumn<QByteArray>("latitude");
    QTest::addColumn<QString>("codepos");
    QTest::addColumn<QString>("departement");
    // clang-format off
    QTest::newRow("first") << 0 << "L ABERGEMENT CLEMENCIAT" << QByteArray("4.92582") << QByteArray("46.15359")
                           << "01400" << "AIN";
    QTest::newRow("second") << 1 << "L ABERGEMENT DE VAREY" << QByteArray("5.42799") << QByteArray("46.00958")
                            << "01640" << "AIN";
    QTest::newRow("BREST") << 150 << "BREST" << QByteArray("-4.50259") << QByteArray("48.40031") << "29200"
                           << "FINISTERE";
    QTest::newRow("AJACCIO") << 151 << "AJACCIO" << QByteArray("8.70064") << QByteArray("41.93461") << "20000"
                             << "CORSE-DU-SUD";
    QTest::newRow("BASTIA") << 152 << "BASTIA" << QByteArray("9.42503") << QByteArray("42.68641") << "20200"
                            << "HAUTE-CORSE";
    QTest::newRow("PARIS") << 153 << "PARIS" << QByteArray("2.3428") << QByteArray("48.85661") << "75001"
                           << "PARIS";
    QTest::newRow("first of 95") << 154 << "ABLEIGES" << QByteArray("1.97467") << QByteArray("49.08531")
                                 << "95450" << "VAL-D'OISE";
    QTest::newRow("last") << 164 << "ENTRE DEUX" << QByteArray("55.49239") << QByteArray("-21.20419") << "97414"
                          << "LA REUNION";
    // clang-format on
}

void TestJetDatabase::sampleRowsInOrder()
{
    QFETCH(int, row);
    QFETCH(QString, commune);
    QFETCH(QByteArray, longitude);
    QFETCH(QByteArray, latitude);
    QFETCH(QString, codepos);
    QFETCH(QString, departement);
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);

    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");
    QCOMPARE(rows.recordCount(), 165);
    for (int i = 0; i < row; ++i)
        rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), commune);
    QVERIFY(sameBits(rows.field(u"longitude").toDouble(), number(longitude.constData())));
    QVERIFY(sameBits(rows.field(u"latitude").toDouble(), number(latitude.constData())));
    QCOMPARE(rows.fieldText(u"codepos"), codepos);
    QCOMPARE(rows.fieldText(u"departement"), departement);
}

void TestJetDatabase::tableByNameOrQuery_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isQuery");
    // clang-format off
    QTest::newRow("table insee1") << "insee1" << false;
    QTest::newRow("table INSEE1") << "INSEE1" << false;
    QTest::newRow("table Insee1") << "Insee1" << false;
    QTest::newRow("search query") << "SELECT * FROM INSEE1" << true;
    QTest::newRow("lower case, semicolon") << "select * from insee1;" << true;
    QTest::newRow("brackets") << "SELECT * FROM [insee1]" << true;
    // clang-format on
}

void TestJetDatabase::tableByNameOrQuery()
{
    QFETCH(QString, name);
    QFETCH(bool, isQuery);
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);

    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = isQuery ? db->openQuery(name) : db->openRecordset(name);
    QCOMPARE(rows.recordCount(), 165);
    QCOMPARE(rows.position(), 0);
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    // Whatever the way in, the same rows in the same order.
    QVERIFY(readAll(rows, InseeFields) == readAll(db->openRecordset("insee1"), InseeFields));
}

void TestJetDatabase::navigationPastBothEnds()
{
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");

    QVERIFY(!rows.isBof() && !rows.isEof());
    rows.movePrevious();
    QVERIFY(rows.isBof() && !rows.isEof());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.field(u"commune"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.movePrevious());
    rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));

    for (int i = 1; i < 165; ++i)
        rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("ENTRE DEUX"));
    rows.moveNext();
    QVERIFY(rows.isEof() && !rows.isBof());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"commune"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveNext());
    rows.movePrevious();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("ENTRE DEUX"));
    rows.moveFirst();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
}

void TestJetDatabase::fieldNamesIgnoreCase()
{
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = db->openRecordset("insee1");

    QCOMPARE(rows.fieldText(u"Departement"), QStringLiteral("AIN"));
    QCOMPARE(rows.fieldText(u"departement"), QStringLiteral("AIN"));
    QCOMPARE(rows.fieldText(u"DEPARTEMENT"), QStringLiteral("AIN"));
    QCOMPARE(rows.fieldText(u"CodePos"), QStringLiteral("01400"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.field(u"departements"));
}

void TestJetDatabase::fieldTypes()
{
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = db->openRecordset("insee1");

    QCOMPARE(rows.field(u"commune").typeId(), QMetaType::QString);
    QCOMPARE(rows.field(u"longitude").typeId(), QMetaType::Double);
    QCOMPARE(rows.field(u"latitude").typeId(), QMetaType::Double);
    QCOMPARE(rows.field(u"codepos").typeId(), QMetaType::QString);
    QCOMPARE(rows.field(u"departement").typeId(), QMetaType::QString);
}

void TestJetDatabase::fullFileRowsAndOrder()
{
    const QString path = inseeFixture("insee-full.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openQuery("SELECT * FROM INSEE1");

    QCOMPARE(rows.recordCount(), 34868);
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    QCOMPARE(rows.fieldText(u"codepos"), QStringLiteral("01400"));
    int count = 0;
    for (; !rows.isEof(); rows.moveNext(), ++count)
        QVERIFY(!rows.fieldText(u"commune").isEmpty());
    QCOMPARE(count, 34868);
    rows.movePrevious();
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("TSINGONI"));
    QCOMPARE(rows.fieldText(u"departement"), QStringLiteral("MAYOTTE"));
}

void TestJetDatabase::fullFileCoordinatesExact_data()
{
    // Rows whose coordinates libmdb's text shows with binary noise
    // (0.9010899999999999); the stored numbers are those of the source text.
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("commune");
    QTest::addColumn<QByteArray>("longitude");
    QTest::addColumn<QByteArray>("latitude");
    // clang-format off
    QTest::newRow("ANTRAS") << 2819 << "ANTRAS" << QByteArray("0.90109") << QByteArray("42.8731");
    QTest::newRow("ASNIERES EN BESSIN") << 4417 << "ASNIERES EN BESSIN" << QByteArray("-0.93783")
                                        << QByteArray("49.36009");
    QTest::newRow("CASTILLON EN AUGE") << 4505 << "CASTILLON EN AUGE" << QByteArray("0.09287")
                                       << QByteArray("49.0352");
    QTest::newRow("TSINGONI") << 34867 << "TSINGONI" << QByteArray("45.13458") << QByteArray("-12.78269");
    // clang-format on
}

void TestJetDatabase::fullFileCoordinatesExact()
{
    QFETCH(int, row);
    QFETCH(QString, commune);
    QFETCH(QByteArray, longitude);
    QFETCH(QByteArray, latitude);
    const QString path = inseeFixture("insee-full.mdb");
    REQUIRE_SHARED_FILE(path);

    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");
    for (int i = 0; i < row; ++i)
        rows.moveNext();
    QCOMPARE(rows.fieldText(u"commune"), commune);
    QVERIFY(sameBits(rows.field(u"longitude").toDouble(), number(longitude.constData())));
    QVERIFY(sameBits(rows.field(u"latitude").toDouble(), number(latitude.constData())));
}

void TestJetDatabase::fullFileCoordinatesAreFiveDecimalNumbers()
{
    // The source gives every coordinate with five decimals: each stored double
    // is the one nearest such a number. A value read through rounded or
    // locale-mangled text would not be.
    const QString path = inseeFixture("insee-full.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);

    for (Recordset rows = db->openRecordset("insee1"); !rows.isEof(); rows.moveNext()) {
        for (const char16_t *field : {u"longitude", u"latitude"}) {
            const QVariant value = rows.field(field);
            QCOMPARE(value.typeId(), QMetaType::Double);
            char text[64];
            std::snprintf(text, sizeof text, "%.5f", value.toDouble());
            // The C library may write a decimal comma here; from_chars wants a dot.
            for (char &c : text)
                if (c == ',')
                    c = '.';
            QVERIFY2(sameBits(value.toDouble(), number(text)), qPrintable(rows.fieldText(u"commune")));
        }
    }
}

void TestJetDatabase::frenchLocaleLeavesValuesAlone()
{
    const QString sample = inseeFixture("insee-sample.mdb");
    const QString full = inseeFixture("insee-full.mdb");
    REQUIRE_SHARED_FILE(sample);
    REQUIRE_SHARED_FILE(full);
    const Rows sampleInC = readAll(openDatabase(sample)->openRecordset("insee1"), InseeFields);
    const Rows fullInC = readAll(openDatabase(full)->openRecordset("insee1"), InseeFields);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QByteArray saved = std::setlocale(LC_ALL, nullptr);
    const QByteArray savedLocPath = qgetenv("LOCPATH");
    const auto restore = qScopeGuard([&] {
        if (savedLocPath.isEmpty())
            qunsetenv("LOCPATH");
        else
            qputenv("LOCPATH", savedLocPath);
        std::setlocale(LC_ALL, saved.constData());
    });
    if (!useFrenchNumbers(scratch))
        QSKIP("No French locale here and none can be generated (localedef and the locales data are needed)");
    char written[32];
    std::snprintf(written, sizeof written, "%g", 4.92582);
    QCOMPARE(QByteArray(written), QByteArray("4,92582")); // what libmdb's own text would show

    // Fresh databases: each database reads its tables once.
    const Rows sampleInFrench = readAll(openDatabase(sample)->openRecordset("insee1"), InseeFields);
    const Rows fullInFrench = readAll(openDatabase(full)->openRecordset("insee1"), InseeFields);
    QCOMPARE(sampleInFrench.size(), size_t(165));
    QCOMPARE(fullInFrench.size(), size_t(34868));
    QVERIFY(sameBits(sampleInFrench[0][1].toDouble(), number("4.92582")));
    QVERIFY(sameBits(fullInFrench[2819][1].toDouble(), number("0.90109")));
    for (const auto &[inC, inFrench] : {std::pair{&sampleInC, &sampleInFrench}, std::pair{&fullInC, &fullInFrench}}) {
        QCOMPARE(inFrench->size(), inC->size());
        for (size_t row = 0; row < inC->size(); ++row) {
            QCOMPARE((*inFrench)[row][0], (*inC)[row][0]);
            QVERIFY(sameBits((*inFrench)[row][1].toDouble(), (*inC)[row][1].toDouble()));
            QVERIFY(sameBits((*inFrench)[row][2].toDouble(), (*inC)[row][2].toDouble()));
            QCOMPARE((*inFrench)[row][3], (*inC)[row][3]);
            QCOMPARE((*inFrench)[row][4], (*inC)[row][4]);
        }
    }
}

void TestJetDatabase::nullFields_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("nullField");
    // clang-format off
    QTest::newRow("codepos, row 3") << 2 << "codepos";
    QTest::newRow("latitude, row 5") << 4 << "latitude";
    QTest::newRow("commune, row 7") << 6 << "commune";
    // clang-format on
}

void TestJetDatabase::nullFields()
{
    QFETCH(int, row);
    QFETCH(QString, nullField);
    const QString path = inseeFixture("insee-nulls.mdb");
    REQUIRE_SHARED_FILE(path);

    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");
    QCOMPARE(rows.recordCount(), 10);
    for (int i = 0; i < row; ++i)
        rows.moveNext();
    for (const QString &field : InseeFields) {
        const QVariant value = rows.field(field);
        if (field == nullField) {
            QVERIFY(value.isNull());
            QVERIFY(!value.isValid());
            QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(field));
        } else {
            QVERIFY2(!value.isNull(), qPrintable(field));
            QVERIFY(!rows.fieldText(field).isEmpty());
        }
    }
}

void TestJetDatabase::emptyTextIsNotNull()
{
    // A copy of the sample whose first commune is made an empty text: the end
    // of its text, in the row's table of text offsets, is moved back onto its start.
    const QString source = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(source);
    QByteArray content = readFile(source);
    constexpr qsizetype communeStart = 110587; // page 26, first row, first text offset
    QCOMPARE(content.mid(communeStart, 2), QByteArray("\x12\x00", 2));
    content[communeStart] = 0x40; // where the next text, codepos, starts
    QTemporaryDir dir;
    const QString path = dir.filePath("empty-commune.mdb");
    QVERIFY(writeFile(path, content));

    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = db->openRecordset("insee1");
    const QVariant commune = rows.field(u"commune");
    QVERIFY(!commune.isNull());
    QCOMPARE(commune.typeId(), QMetaType::QString);
    QCOMPARE(rows.fieldText(u"commune"), QString());
    QCOMPARE(rows.fieldText(u"codepos"), QStringLiteral("01400"));
    QCOMPARE(rows.fieldText(u"departement"), QStringLiteral("AIN"));
}

void TestJetDatabase::emptyTable()
{
    const QString path = inseeFixture("insee-empty.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");

    QCOMPARE(rows.recordCount(), 0);
    QVERIFY(rows.isEof() && rows.isBof());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveFirst());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.fieldText(u"commune"));
    QVERIFY_THROWS_EXCEPTION(DatabaseError, rows.moveNext());
}

void TestJetDatabase::memoTexts_data()
{
    // The added page is page 28 of insee-nulls.mdb: its rows are 28 * 256 + row.
    constexpr quint32 Row0 = 28 * 256, Row1 = Row0 + 1;
    const auto header = [](quint32 lengthAndFlags, quint32 place) {
        return littleEndian32(lengthAndFlags) + littleEndian32(place) + QByteArray(4, '\0');
    };
    const auto row = [](quint32 next, const char *text) { return littleEndian32(next) + utf16(text); };
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QList<QByteArray>>("rows");
    QTest::addColumn<QString>("expected"); // empty: the table is refused

    // clang-format off
    QTest::newRow("text in the row") << header(0x80000000, 0) << QList<QByteArray>{} << "GEMENT CLEMENCIAT";
    QTest::newRow("text in another row") << header(0x40000000 | 10, Row0) << QList<QByteArray>{utf16("PARIS")}
                                         << "PARIS";
    QTest::newRow("chain of two rows") << header(10, Row0) << QList<QByteArray>{row(Row1, "PAR"), row(0, "IS")}
                                       << "PARIS";
    QTest::newRow("row naming itself") << header(10, Row0) << QList<QByteArray>{row(Row0, "")} << "";
    QTest::newRow("two rows naming each other")
        << header(100, Row0) << QList<QByteArray>{row(Row1, "PA"), row(Row0, "RI")} << "";
    QTest::newRow("chain longer than its length") << header(6, Row0) << QList<QByteArray>{row(Row1, "PAR"), row(0, "IS")}
                                                  << "";
    QTest::newRow("chain shorter than its length")
        << header(20, Row0) << QList<QByteArray>{row(Row1, "PAR"), row(0, "IS")} << "";
    QTest::newRow("row past the end of the file") << header(0x40000000 | 10, 999 * 256) << QList<QByteArray>{} << "";
    QTest::newRow("unknown flags") << header(0x20000000 | 10, Row0) << QList<QByteArray>{utf16("PARIS")} << "";
    // clang-format on
}

void TestJetDatabase::memoTexts()
{
    QFETCH(QByteArray, header);
    QFETCH(QList<QByteArray>, rows);
    QFETCH(QString, expected);
    const QString source = inseeFixture("insee-nulls.mdb");
    REQUIRE_SHARED_FILE(source);
    QStringList names;
    for (Recordset original = openDatabase(source)->openRecordset("insee1"); !original.isEof(); original.moveNext())
        if (!original.field(u"commune").isNull())
            names << original.fieldText(u"commune");
    QCOMPARE(names.size(), 9);
    const QByteArray content = withCommuneMemos(readFile(source), names, header, rows);
    QVERIFY(!content.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath("memos.mdb");
    QVERIFY(writeFile(path, content));

    // A chain of rows that loops back must end in a refusal, not in a
    // program that never answers.
    if (expected.isEmpty()) {
        const QString message = refusal(path);
        QVERIFY2(message.contains(path) && message.contains("mémo"), qPrintable(message));
        return;
    }
    Recordset memos = openDatabase(path)->openRecordset("insee1");
    QCOMPARE(memos.recordCount(), 10);
    QCOMPARE(memos.fieldText(u"commune"), expected);
    memos.moveNext();
    QCOMPARE(memos.fieldText(u"commune"), names[1].mid(6));
}

void TestJetDatabase::missingTableNamed()
{
    const QString path = inseeFixture("no-insee1.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);

    try {
        db->openRecordset("insee1");
        QFAIL("insee1 was found");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains("insee1") && error.message().contains(path), qPrintable(error.message()));
    }
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openQuery("SELECT * FROM INSEE1"));
    const Recordset communes = db->openRecordset("communes");
    QCOMPARE(communes.recordCount(), 5);
    QCOMPARE(communes.fieldText(u"commune"), QStringLiteral("L ABERGEMENT CLEMENCIAT"));
    // System tables are not offered.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openRecordset("MSysObjects"));
}

void TestJetDatabase::textCoordinates()
{
    const QString path = inseeFixture("insee-textcoords.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = db->openRecordset("insee1");

    QCOMPARE(rows.recordCount(), 165);
    QCOMPARE(rows.field(u"longitude"), QVariant(QStringLiteral("4.92582")));
    QCOMPARE(rows.field(u"latitude"), QVariant(QStringLiteral("46.15359")));
}

void TestJetDatabase::accessSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("first");
    // clang-format off
    QTest::newRow("Jet 3") << "nwind.mdb" << "Customers" << 91 << "CustomerID" << QVariant("ALFKI");
    QTest::newRow("Jet 3, table name in another case") << "nwind.mdb" << "CUSTOMERS" << 91 << "CompanyName"
                                                       << QVariant("Alfreds Futterkiste");
    QTest::newRow("Jet 3, accented table name") << "nwind.mdb" << "UMSÄTZE" << 830 << "OrderID"
                                                << QVariant(qlonglong(10330));
    QTest::newRow("Jet 4") << "DateTestDatabase.mdb" << "DateTest" << 6 << "IDCol" << QVariant(qlonglong(1));
    QTest::newRow("ACE") << "ASampleDatabase.accdb" << "Asset Items" << 65 << "Asset No" << QVariant("30050");
    // clang-format on
}

void TestJetDatabase::accessSamples()
{
    QFETCH(QString, file);
    QFETCH(QString, table);
    QFETCH(int, count);
    QFETCH(QString, field);
    QFETCH(QVariant, first);
    const QString path = accessSample(file);
    REQUIRE_SHARED_FILE(path);

    const std::unique_ptr<Database> db = openDatabase(path);
    const Recordset rows = db->openRecordset(table);
    QCOMPARE(rows.recordCount(), count);
    QCOMPARE(rows.field(field), first);
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openRecordset("insee1"));
}

void TestJetDatabase::accessSampleValues()
{
    const QString nwind = accessSample("nwind.mdb");
    const QString dates = accessSample("DateTestDatabase.mdb");
    const QString ace = accessSample("ASampleDatabase.accdb");
    REQUIRE_SHARED_FILE(nwind);
    REQUIRE_SHARED_FILE(dates);
    REQUIRE_SHARED_FILE(ace);

    // Jet 3 text is in the file's code page.
    Recordset customers = openDatabase(nwind)->openRecordset("Customers");
    customers.moveNext();
    QCOMPARE(customers.fieldText(u"City"), QStringLiteral("México D.F."));
    QVERIFY(customers.field(u"Region").isNull());

    // Yes/No fields: Access counts Yes as -1.
    Recordset products = openDatabase(nwind)->openRecordset("Products");
    QCOMPARE(products.field(u"Discontinued"), QVariant(qlonglong(0)));
    for (int i = 0; i < 4; ++i)
        products.moveNext();
    QCOMPARE(products.fieldText(u"ProductName"), QStringLiteral("Chef Anton's Gumbo Mix"));
    QCOMPARE(products.field(u"Discontinued"), QVariant(qlonglong(-1)));
    QCOMPARE(products.field(u"UnitPrice").typeId(), QMetaType::Double); // currency

    // Dates, and a memo holding a line break.
    Recordset dateRows = openDatabase(dates)->openRecordset("DateTest");
    QCOMPARE(dateRows.field(u"DateTimeCol"), QVariant(QDateTime(QDate(2021, 12, 2), QTime(0, 0))));
    dateRows.moveNext();
    QCOMPARE(dateRows.field(u"DateCol"), QVariant(QDateTime(QDate(9999, 1, 1), QTime(0, 0))));
    for (int i = 1; i < 5; ++i)
        dateRows.moveNext();
    QCOMPARE(dateRows.fieldText(u"LongTextCol"), QStringLiteral("New line\r\nin field"));
    QCOMPARE(dateRows.fieldText(u"ShortTextCol"), QStringLiteral("No new line"));

    const Recordset assets = openDatabase(ace)->openRecordset("Asset Items");
    QCOMPARE(assets.field(u"Cost"), QVariant(1995.5));
    QCOMPARE(assets.field(u"Acquired"), QVariant(QDateTime(QDate(1997, 9, 2), QTime(0, 0))));
    QCOMPARE(assets.field(u"Warranty"), QVariant(qlonglong(12)));
}

void TestJetDatabase::movedRowsReadOnce()
{
    // Rows of nwind's Orders were updated after they were written and moved
    // to other pages: each order still comes exactly once.
    const QString path = accessSample("nwind.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    QSet<qlonglong> orders;
    int count = 0;
    for (Recordset rows = db->openRecordset("Orders"); !rows.isEof(); rows.moveNext(), ++count)
        orders.insert(rows.field(u"OrderID").toLongLong());
    QCOMPARE(count, 830);
    QCOMPARE(orders.size(), 830);
}

void TestJetDatabase::closedDatabase()
{
    const QString path = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(path);
    const std::unique_ptr<Database> db = openDatabase(path);
    Recordset rows = db->openRecordset("insee1");
    rows.moveNext();

    db->close();
    QVERIFY(!db->isOpen());
    QVERIFY_THROWS_EXCEPTION(DatabaseError, db->openRecordset("insee1"));
    // A recordset already open keeps its rows.
    QCOMPARE(rows.fieldText(u"commune"), QStringLiteral("L ABERGEMENT DE VAREY"));
    db->close();
}

void TestJetDatabase::missingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("insee.mdb");
    const QString message = refusal(path);
    QVERIFY2(message.contains(path) && message.contains("introuvable"), qPrintable(message));
    try {
        JetDatabase db(path);
        QFAIL("a missing file was opened");
    } catch (const DatabaseError &error) {
        QVERIFY2(error.message().contains(path) && error.message().contains("introuvable"),
                 qPrintable(error.message()));
    }
}

void TestJetDatabase::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    // clang-format off
    QTest::newRow("empty file") << QByteArray() << "ni une base Access";
    QTest::newRow("text file") << QByteArray("commune;longitude\nPARIS;2.3428\n") << "ni une base Access";
    QTest::newRow("signature only") << jetHeader(1) << "tronqué";
    QTest::newRow("unknown version") << jetHeader(9).leftJustified(3 * 4096, '\0') << "version";
    QTest::newRow("partial page") << jetHeader(1).leftJustified(3 * 4096 + 100, '\0') << "tronqué";
    QTest::newRow("header and zeros") << jetHeader(1).leftJustified(8 * 4096, '\0') << "catalogue";
    QTest::newRow("Jet 3 header and zeros") << jetHeader(0).leftJustified(8 * 2048, '\0') << "catalogue";
    // clang-format on
}

void TestJetDatabase::badFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("insee.mdb");
    QVERIFY(writeFile(path, content));

    const QString message = refusal(path);
    QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
    // The Jet backend refuses it as well when handed the file directly.
    QVERIFY_THROWS_EXCEPTION(DatabaseError, JetDatabase{path});
}

void TestJetDatabase::damagedCopies_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<qint64>("length");
    for (const char *file : {"insee-mdb/insee-sample.mdb", "insee-mdb/insee-full.mdb", "access-samples/nwind.mdb",
                             "access-samples/ASampleDatabase.accdb"}) {
        const QString name = QFileInfo(file).fileName();
        for (qint64 length : {0, 100, 2048, 4096, 5000})
            // clang-format off
            QTest::addRow("%s cut to %lld bytes", qPrintable(name), length) << file << Damage::Truncate << length;
        QTest::addRow("%s, half", qPrintable(name)) << file << Damage::Half << qint64(0);
        QTest::addRow("%s less its last page", qPrintable(name)) << file << Damage::DropLastPage << qint64(0);
        QTest::addRow("%s less its last byte", qPrintable(name)) << file << Damage::DropLastByte << qint64(0);
        QTest::addRow("%s, random bytes after the first page", qPrintable(name))
            << file << Damage::RandomAfterFirstPage << qint64(0);
        QTest::addRow("%s, random catalog page", qPrintable(name)) << file << Damage::RandomCatalogPage << qint64(0);
        QTest::addRow("%s, random heads of table definitions", qPrintable(name))
            << file << Damage::RandomDefinitionHeads << qint64(0);
        // clang-format on
    }
}

void TestJetDatabase::damagedCopies()
{
    QFETCH(QString, file);
    QFETCH(Damage, damage);
    QFETCH(qint64, length);
    QTemporaryDir dir;
    const QString path = dir.filePath("insee.mdb");

    const QString source = fixturePath(file);
    REQUIRE_SHARED_FILE(source);
    QByteArray content = readFile(source);
    const qsizetype pageSize = content.at(0x14) == 0 ? 2048 : 4096;
    QRandomGenerator random(1959);
    switch (damage) {
    case Damage::Truncate:
        content.truncate(length);
        break;
    case Damage::Half:
        content.truncate(content.size() / 2);
        break;
    case Damage::DropLastPage:
        content.chop(pageSize);
        break;
    case Damage::DropLastByte:
        content.chop(1);
        break;
    case Damage::RandomAfterFirstPage:
        random.fillRange(reinterpret_cast<quint32 *>(content.data() + pageSize),
                         (content.size() - pageSize) / sizeof(quint32));
        break;
    case Damage::RandomCatalogPage:
        random.fillRange(reinterpret_cast<quint32 *>(content.data() + 2 * pageSize), pageSize / sizeof(quint32));
        break;
    case Damage::RandomDefinitionHeads: // counts, usage maps and first columns of every table
        for (qsizetype page = 2 * pageSize; page < content.size(); page += pageSize)
            if (content.at(page) == 0x02)
                random.fillRange(reinterpret_cast<quint32 *>(content.data() + page + 8), 32);
        break;
    }
    QVERIFY(writeFile(path, content));

    QString message;
    // libmdb's English warnings stay unseen: the French message says it all.
    const QByteArray said = standardErrorOf([&] { message = refusal(path); });
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(said.isEmpty(), said.constData());
}

void TestJetDatabase::everyPageTruncationRefused()
{
    const QString source = inseeFixture("insee-sample.mdb");
    REQUIRE_SHARED_FILE(source);
    const QByteArray content = readFile(source);
    QTemporaryDir dir;
    const QString path = dir.filePath("insee.mdb");

    for (qsizetype length = 0; length < content.size(); length += 4096) {
        QVERIFY(writeFile(path, content.left(length)));
        const QString message = refusal(path);
        QVERIFY2(!message.isEmpty(), qPrintable(QStringLiteral("%1 bytes accepted").arg(length)));
    }
    QVERIFY(writeFile(path, content));
    QCOMPARE(refusal(path), QString());
}

QTEST_GUILESS_MAIN(TestJetDatabase)
#include "test_jet_database.moc"
