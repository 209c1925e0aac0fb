// Opens fuzzed bytes as a commune data file, the way the program opens
// insee.mdb or insee.sqlite: the backend is chosen from the file's first bytes,
// then the commune table and the names a user's file may give it are read
// whole, field by field, and their cursors are moved past both ends; the
// catalog of an Access file is never offered as a table. Last, a search that
// matches no current name goes on through the table of other names and the
// postal codes, as the window's does. Then the command line answers, in each
// of its formats, a search and a batch, and every line it writes must be
// whole: one record a line, as many fields as the header. A DatabaseError is
// the expected refusal of a damaged file; anything else is a finding.
//
// The bytes are written to one file per process, in $TMPDIR or /tmp. A file
// that starts like an Access file is cut to a whole number of its pages: such
// files are refused early otherwise, and the fuzzer's insertions and
// deletions would seldom reach the reader of pages.

#include "cli/BatchInput.h"
#include "cli/BatchLookup.h"
#include "cli/CommandLineSearch.h"
#include "search/FindCommunes.h"
#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"
#include "store/Recordset.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

const char *const TableNames[] = {"insee1", "communes", "MSysObjects"};
const char16_t *const FieldNames[] = {u"commune", u"longitude", u"latitude", u"codepos", u"departement"};

QString scratchPath()
{
    const QByteArray dir = qgetenv("TMPDIR");
    return QStringLiteral("%1/topovil-fuzz-%2.db")
        .arg(dir.isEmpty() ? QStringLiteral("/tmp") : QDir::cleanPath(QString::fromLocal8Bit(dir)))
        .arg(::getpid());
}

// The page size of an input that starts like an Access file, or 0.
std::size_t jetPageSize(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t VersionOffset = 0x14;
    if (size <= VersionOffset || data[0] != 0
        || (std::memcmp(data + 4, "Standard Jet DB", 16) != 0 && std::memcmp(data + 4, "Standard ACE DB", 16) != 0))
        return 0;
    return data[VersionOffset] == 0 ? 2048 : 4096;
}

QByteArray fileContent(const std::uint8_t *data, std::size_t size)
{
    if (const std::size_t pageSize = jetPageSize(data, size); pageSize != 0 && size > pageSize)
        size -= size % pageSize;
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// SQLite reads a store in write-ahead mode through files of its own next to it.
void removeScratchFiles(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

void removeScratchFilesAtExit()
{
    removeScratchFiles(scratchPath());
}

// Every field of every row as the program reads them, then the cursor moved
// past each end, as far as it lets itself be moved.
void readWhole(Recordset rows)
{
    for (; !rows.isEof(); rows.moveNext()) {
        for (const char16_t *field : FieldNames) {
            try {
                rows.fieldText(field);
            } catch (const DatabaseError &) {
            }
        }
    }
    try {
        rows.moveNext();
    } catch (const DatabaseError &) {
    }
    try {
        rows.moveFirst();
        rows.movePrevious();
        rows.movePrevious();
    } catch (const DatabaseError &) {
    }
}

// Every line of a TSV or CSV output has the header's count of fields, and
// JSON holds no raw control character and parses: a field of the store never
// cut a line nor made a number JSON cannot read.
void checkWholeLines(const QByteArray &output, RecordWriter::Kind kind, const char *what)
{
    const QList<QByteArray> lines = output.split('\n');
    const QChar separator = kind == RecordWriter::Kind::Csv ? u',' : u'\t';
    qsizetype headerFields = -1;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        bool whole = !line.contains(QChar(0));
        if (kind == RecordWriter::Kind::Json) {
            whole = whole && std::none_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x20; });
        } else {
            const qsizetype fields = parseCsvRecord(line, separator).fields.size();
            if (headerFields < 0)
                headerFields = fields;
            whole = whole && fields == headerFields;
        }
        if (!whole) {
            std::fprintf(stderr, "%s: line %lld is not whole: %s\n", what, static_cast<long long>(i + 1),
                         lines[i].constData());
            std::abort();
        }
    }
    // And the whole JSON reads, every number and key included; a command
    // that failed before its first record wrote nothing at all.
    QJsonParseError parsed{};
    if (kind == RecordWriter::Kind::Json && !output.isEmpty()
        && (QJsonDocument::fromJson(output, &parsed), parsed.error)) {
        std::fprintf(stderr, "%s: the JSON does not read: %s\n", what, qPrintable(parsed.errorString()));
        std::abort();
    }
}

// The command line's answers on the file, through its own output path.
CommandLine::Format formatOf(RecordWriter::Kind kind)
{
    return kind == RecordWriter::Kind::Json  ? CommandLine::Format::Json
           : kind == RecordWriter::Kind::Csv ? CommandLine::Format::Csv
                                             : CommandLine::Format::Tsv;
}

void answerOnTheCommandLine(const QString &path)
{
    for (const RecordWriter::Kind kind : {RecordWriter::Kind::Tsv, RecordWriter::Kind::Csv, RecordWriter::Kind::Json}) {
        for (const char *typed : {"*", "PARIS", "75*"}) {
            char *buffer = nullptr;
            std::size_t size = 0;
            std::FILE *out = open_memstream(&buffer, &size);
            CommandLine line;
            line.searchText = QString::fromLatin1(typed);
            line.header = true;
            line.format = formatOf(kind);
            const std::unique_ptr<Command> command = searchCommand(line);
            runCommand(*command, path, out);
            std::fclose(out);
            checkWholeLines(QByteArray(buffer, qsizetype(size)), kind, typed);
            std::free(buffer);
        }
        char input[] = "PARIS\nANCIEN*\n75*\n\n[a\n";
        std::FILE *in = fmemopen(input, sizeof input - 1, "r");
        char *buffer = nullptr;
        std::size_t size = 0;
        std::FILE *out = open_memstream(&buffer, &size);
        std::FILE *err = std::fopen("/dev/null", "w");
        CommandLine line;
        line.batchInput = QStringLiteral("-");
        line.format = formatOf(kind);
        runBatch(line, path, in, out, err);
        std::fclose(in);
        std::fclose(out);
        std::fclose(err);
        checkWholeLines(QByteArray(buffer, qsizetype(size)), kind, "--lot");
        std::free(buffer);
    }
}

} // namespace

// libmdb reports each damaged page on stderr, thousands of lines a minute.
// Unless told otherwise, libFuzzer is asked to close stderr for the code under
// test (-close_fd_mask=2): it keeps a copy for its own reports and the
// sanitizers', so findings still show. -close_fd_mask=0 shows libmdb's lines.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static std::vector<char *> arguments(*argv, *argv + *argc);
    const bool told = std::any_of(arguments.begin(), arguments.end(), [](const char *argument) {
        return std::strncmp(argument, "-close_fd_mask=", 15) == 0;
    });
    if (!told) {
        static char closeStderr[] = "-close_fd_mask=2";
        arguments.push_back(closeStderr);
        arguments.push_back(nullptr);
        *argc = int(arguments.size()) - 1;
        *argv = arguments.data();
    }
    return 0;
}

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t *data, std::size_t size, std::size_t maxSize);

// Most mutations of an Access file damage a few bytes of one page in place:
// the file keeps its length and its pages stay where they were, as in a
// copy damaged on disk, so the reader gets past the first checks. The rest
// are libFuzzer's own mutations of the whole input.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t *data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    const std::size_t pageSize = jetPageSize(data, size);
    std::minstd_rand random(seed);
    if (pageSize == 0 || size < 2 * pageSize || random() % 8 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);

    // The signature and version stay, or the file would no longer be one.
    constexpr std::size_t Kept = 0x15;
    const std::size_t page = random() % (size / pageSize);
    const std::size_t pageStart = std::max(page * pageSize, Kept);
    const std::size_t pageEnd = (page + 1) * pageSize;
    const std::size_t length = std::min<std::size_t>(1 + random() % 32, pageEnd - pageStart);
    const std::size_t start = pageStart + random() % (pageEnd - pageStart - length + 1);
    LLVMFuzzerMutate(data + start, length, length);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = [] {
        std::atexit(removeScratchFilesAtExit);
        return scratchPath();
    }();
    {
        QFile file(path);
        const QByteArray content = fileContent(data, size);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::abort();
        }
    }
    try {
        std::unique_ptr<Database> db = openDatabase(path);
        // As the window reads it: the first record at once, the rest on a
        // thread while this one goes on to the other tables.
        try {
            readWhole(db->openFirstRecord(QStringLiteral("insee1")));
            db->startLoading(QStringLiteral("insee1"));
        } catch (const DatabaseError &) {
        }
        for (const char *table : TableNames) {
            try {
                readWhole(db->openRecordset(QString::fromLatin1(table)));
            } catch (const DatabaseError &) {
            }
        }
        // The same table again is the rows already read, through a query.
        try {
            readWhole(db->openQuery(QStringLiteral("SELECT * FROM [insee1];")));
        } catch (const DatabaseError &) {
        }
        try {
            const Recordset communes = db->openRecordset(QStringLiteral("insee1"));
            SearchTables tables(*db, communes);
            for (const char16_t *typed : {u"ANCIEN*", u"75*"})
                findCommunes(tables, *Query::make(typed));
        } catch (const DatabaseError &) {
        }
        db->close();
    } catch (const DatabaseError &) {
    }
    answerOnTheCommandLine(path);
    removeScratchFiles(path);
    return 0;
}
