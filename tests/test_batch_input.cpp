#include "CommandLineRun.h"
#include "StreamText.h"
#include "TestStore.h"
#include "cli/BatchInput.h"
#include "cli/BatchLookup.h"
#include "cli/RecordWriter.h"
#include "store/SystemError.h"

#include <QtTest>
#include <cstdio>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// The pieces of the batch mode's reading and writing that a spreadsheet's
// odd file could trip: encodings, separators, RFC 4180 quoting, long lines,
// and the cleaning every written field goes through.
class TestBatchInput : public QObject
{
    Q_OBJECT
private slots:
    void decoding_data();
    void decoding();
    void csvRecords_data();
    void csvRecords();
    void recordsAcrossLines();
    void cleaning_data();
    void cleaning();
    void writtenFields_data();
    void writtenFields();
    void batches_data();
    void batches();
    void answerBeforeWaiting();
    void readyInputNeverWaits();
    void uncaughtOutOfMemory();

private:
    QTemporaryDir m_dir;
};

void TestBatchInput::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    // clang-format off
    QTest::newRow("UTF-8") << QByteArray("\xC3\x89vreux") << "Évreux";
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFL'\xC3\x8Ele") << "L'Île";
    QTest::newRow("Windows-1252 letter") << QByteArray("\xC9vreux") << "Évreux";
    QTest::newRow("Windows-1252 ligature and quote") << QByteArray("\x8C" "uf \x92") << "Œuf ’";
    QTest::newRow("a lone byte of a UTF-8 sequence") << QByteArray("\xC3") << "Ã";
    // clang-format on
}

void TestBatchInput::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeLine(bytes), text);
}

void TestBatchInput::csvRecords_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("separator"); // the one detected
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("wellFormed");
    // clang-format off
    QTest::newRow("semicolons") << "a;b;;c" << ";" << QStringList{"a", "b", "", "c"} << true;
    QTest::newRow("commas outnumber a quoted semicolon") << "\"x;y\",b,c" << "," << QStringList{"x;y", "b", "c"} << true;
    QTest::newRow("separators inside quotes do not count") << "\"a;b;c\",d" << "," << QStringList{"a;b;c", "d"} << true;
    QTest::newRow("tabs") << "a\tb,c\td" << "\t" << QStringList{"a", "b,c", "d"} << true;
    QTest::newRow("one column") << "ville" << ";" << QStringList{"ville"} << true;
    QTest::newRow("doubled quotes") << "\"a \"\"b\"\"\";c" << ";" << QStringList{"a \"b\"", "c"} << true;
    QTest::newRow("empty quoted field at the end") << "a;\"\"" << ";" << QStringList{"a", ""} << true;
    QTest::newRow("quote inside a plain field") << "a\"b;c" << ";" << QStringList{"a\"b", "c"} << false;
    QTest::newRow("text after the closing quote") << "\"a\"b;c" << ";" << QStringList{"ab", "c"} << false;
    QTest::newRow("quote left open") << "\"a;b" << ";" << QStringList{"a;b"} << false;
    // clang-format on
}

void TestBatchInput::csvRecords()
{
    QFETCH(QString, line);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QFETCH(bool, wellFormed);
    QCOMPARE(QString(detectSeparator(line)), separator);
    const CsvRecord record = parseCsvRecord(line, separator[0]);
    QCOMPARE(record.fields, fields);
    QCOMPARE(record.wellFormed, wellFormed);
}

// A quoted field may span lines; the record keeps the number of its first
// line, and a line too long is cut without holding it all.
void TestBatchInput::recordsAcrossLines()
{
    QByteArray input = "a;\"b\r\nc\";d\r\nnext\n";
    input += QByteArray(LineReader::MaxLineBytes + 10, 'x') + "\nlast";
    std::FILE *in = fmemopen(input.data(), size_t(input.size()), "r");
    LineReader reader(in);
    QByteArray record;
    bool broken = true;
    QVERIFY(reader.nextRecord(&record, &broken));
    QCOMPARE(record, QByteArray("a;\"b\nc\";d"));
    QVERIFY(!broken);
    QVERIFY(reader.nextRecord(&record, &broken));
    QCOMPARE(record, QByteArray("next"));
    QCOMPARE(reader.lineNumber(), 3);
    QVERIFY(reader.next(&record, &broken));
    QVERIFY(broken);
    QCOMPARE(record.size(), LineReader::MaxLineBytes);
    QVERIFY(reader.next(&record, &broken));
    QCOMPARE(record, QByteArray("last"));
    QCOMPARE(reader.lineNumber(), 5);
    QVERIFY(!reader.next(&record, &broken));
    std::fclose(in);
}

void TestBatchInput::cleaning_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("clean");
    // clang-format off
    QTest::newRow("plain") << "STE COLOMBE" << "STE COLOMBE";
    QTest::newRow("tab, CR, LF") << "a\tb\r\nc" << "a b  c";
    QTest::newRow("NUL") << QString::fromUtf16(u"AB\0CD", 5) << "AB\\0CD";
    QTest::newRow("escape and DEL") << "\x1b[31m\x7f" << "\\x1B[31m\\x7F";
    QTest::newRow("line separator") << QString::fromUtf16(u"a\u2028b") << "a b";
    // clang-format on
}

void TestBatchInput::cleaning()
{
    QFETCH(QString, field);
    QFETCH(QString, clean);
    QCOMPARE(cleanField(field), clean);
}

// A field between two others, as each form writes it: the plain ones are
// copied, the others cleaned, quoted or encoded.
void TestBatchInput::writtenFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("tsv");
    QTest::addColumn<QByteArray>("csv");     // separated by « ; »
    QTest::addColumn<QByteArray>("windows"); // CSV in Windows-1252
    // clang-format off
    QTest::newRow("plain") << "STE COLOMBE" << QByteArray("STE COLOMBE") << QByteArray("STE COLOMBE") << QByteArray("STE COLOMBE");
    QTest::newRow("empty") << "" << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("separator") << "A;B" << QByteArray("A;B") << QByteArray("\"A;B\"") << QByteArray("\"A;B\"");
    QTest::newRow("comma") << "A,B" << QByteArray("A,B") << QByteArray("A,B") << QByteArray("A,B");
    QTest::newRow("quote") << "A\"B" << QByteArray("A\"B") << QByteArray("\"A\"\"B\"") << QByteArray("\"A\"\"B\"");
    QTest::newRow("tab") << "A\tB" << QByteArray("A B") << QByteArray("A B") << QByteArray("A B");
    QTest::newRow("DEL") << "A\x7f" << QByteArray("A\\x7F") << QByteArray("A\\x7F") << QByteArray("A\\x7F");
    QTest::newRow("accent") << "Évry" << QByteArray("\xc3\x89vry") << QByteArray("\xc3\x89vry") << QByteArray("\xc9vry");
    QTest::newRow("accent and separator") << "É;\"" << QByteArray("\xc3\x89;\"") << QByteArray("\"\xc3\x89;\"\"\"") << QByteArray("\"\xc9;\"\"\"");
    QTest::newRow("accent and line break") << "é\n" << QByteArray("\xc3\xa9 ") << QByteArray("\xc3\xa9 ") << QByteArray("\xe9 ");
    QTest::newRow("beyond 1252") << "\u2603" << QByteArray("\xe2\x98\x83") << QByteArray("\xe2\x98\x83") << QByteArray("?");
    // clang-format on
}

void TestBatchInput::writtenFields()
{
    QFETCH(QString, field);
    const auto written = [&](RecordWriter::Kind kind, RecordWriter::Encoding encoding) {
        std::FILE *out = std::tmpfile();
        RecordWriter writer(out, kind, QLatin1Char(';'));
        writer.setEncoding(encoding);
        writer.setFields({"a", "b", "c"}, {}, false);
        writer.write({"x", field, "y"});
        writer.finish();
        const QByteArray bytes = readAll(out);
        std::fclose(out);
        return kind == RecordWriter::Kind::Csv ? bytes.mid(bytes.indexOf('\n') + 1) : bytes; // past CSV's header
    };
    QTEST(written(RecordWriter::Kind::Tsv, RecordWriter::Encoding::Utf8).chopped(3).mid(2), "tsv");
    QCOMPARE(written(RecordWriter::Kind::Tsv, RecordWriter::Encoding::Utf8).left(2), QByteArray("x\t"));
    QTEST(written(RecordWriter::Kind::Csv, RecordWriter::Encoding::Utf8).chopped(3).mid(2), "csv");
    QCOMPARE(written(RecordWriter::Kind::Csv, RecordWriter::Encoding::Utf8).right(3), QByteArray(";y\n"));
    QTEST(written(RecordWriter::Kind::Csv, RecordWriter::Encoding::Windows1252).chopped(3).mid(2), "windows");
}

namespace {

// A store of three communes, two of them homonyms told apart by département.
QString batchStore(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("batch.sqlite"));
    if (QFileInfo::exists(path))
        return path;
    const bool ok = writeCommuneStore(path, {commune("PARIS", 2.3428, 48.85661, "75001", "PARIS"),
                                             commune("LYON", 4.835, 45.758, "69001", "RHONE"),
                                             commune("STE COLOMBE", 5.0, 45.0, "05700", "HAUTES-ALPES"),
                                             commune("STE COLOMBE", -0.05, 44.88, "33350", "GIRONDE")});
    return ok ? path : QString();
}

} // namespace

// Whole batches run in this process: each input is read row for row, nothing
// lost or merged, and the output is what its format says.
void TestBatchInput::batches_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("statuses"); // the statut of each record, in order
    QTest::addColumn<QString>("out");          // a part of the output
    QTest::addColumn<QString>("err");          // a part of standard error, or of the message
    const QStringList csv{"--colonne", "ville"};
    const QString header = "recherche\tstatut\tcommune";
    // clang-format off
    QTest::newRow("stray quote inside a plain field")
        << csv << QByteArray("ville;cp\nO\"NEIL;00000\nPARIS;75001\nLYON;69001\n") << 0
        << QStringList{"illisible", "trouvée", "trouvée"} << "LYON;69001;LYON;trouvée" << "ligne 2 : guillemets mal placés";
    QTest::newRow("quote left open gives back the lines after it")
        << csv << QByteArray("ville\n\"PARIS\nLYON\nPARIS\n") << 0
        << QStringList{"illisible", "trouvée", "trouvée"} << "\nPARIS;PARIS;trouvée" << "ligne 2 : guillemet non fermé";
    QTest::newRow("quoted field over two lines stays one record")
        << csv << QByteArray("ville;note\nPARIS;\"a\nb\"\nLYON;c\n") << 0
        << QStringList{"trouvée", "trouvée"} << "PARIS;a b;" << "";
    QTest::newRow("CR line ends, plain")
        << QStringList{} << QByteArray("PARIS\rLYON\rPARIS\r") << 0
        << QStringList{"trouvée", "trouvée", "trouvée"} << header << "";
    QTest::newRow("CR line ends, CSV")
        << csv << QByteArray("ville;cp\rPARIS;75001\rLYON;69001") << 0
        << QStringList{"trouvée", "trouvée"} << "LYON;69001;LYON" << "";
    QTest::newRow("a lone CR among LF line ends")
        << QStringList{} << QByteArray("PARIS\rLYON\nNULLEPART\r\n") << 0
        << QStringList{"trouvée", "trouvée", "aucune"} << "" << "";
    QTest::newRow("--format csv of plain lines")
        << QStringList{"--format", "csv"} << QByteArray("PARIS\n") << 0
        << QStringList{"trouvée"} << "recherche,statut,commune" << "";
    QTest::newRow("--format csv of a tab-separated input")
        << QStringList{"--colonne", "ville", "--format", "csv"} << QByteArray("ville\tcp\nPARIS\t75001\n") << 0
        << QStringList{"trouvée"} << "ville,cp,recherche,statut" << "";
    QTest::newRow("input columns named as results, or twice")
        << QStringList{"--colonne", "commune", "--colonne-cp", "code_postal", "--format", "json"}
        << QByteArray("commune;code_postal;statut;statut\nSte Colombe;33350;x;y\n") << 0
        << QStringList{"trouvée"}
        << "\"commune_2\":\"Ste Colombe\",\"code_postal_2\":\"33350\",\"statut_2\":\"x\",\"statut_3\":\"y\""
        << "« statut » → « statut_3 »";
    QTest::newRow("UTF-16 with its byte order mark")
        << QStringList{} << QByteArray("\xFF\xFEP\0A\0R\0I\0S\0\n\0", 14) << 2
        << QStringList{} << "" << "UTF-16";
    QTest::newRow("UTF-16 without one, as a CSV")
        << csv << QByteArray("v\0i\0l\0l\0e\0\n\0", 12) << 2
        << QStringList{} << "" << "UTF-16";
    QTest::newRow("header with a quote left open")
        << QStringList{"--colonne", "ville"} << QByteArray("\"ville;cp\n") + QByteArray("PARIS;75001\n").repeated(5000) << 2
        << QStringList{} << "" << "la ligne d'en-tête de « - » a un guillemet non fermé";
    QTest::newRow("unknown column in a long header")
        << QStringList{"--colonne", "nom"} << QByteArray("ville;").repeated(500) + "\nPARIS\n" << 2
        << QStringList{} << "" << "… 501 colonnes en tout";
    QTest::newRow("département column named in decomposed form")
        << QStringList{"--colonne", "ville", "--colonne-dep", QString::fromUtf8("de\xCC\x81partement")}
        << QByteArray("ville;d\xC3\xA9partement\nSTE COLOMBE;33\n") << 0
        << QStringList{"trouvée"} << "GIRONDE" << "";
    // clang-format on
}

void TestBatchInput::batches()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QStringList, statuses);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString store = batchStore(m_dir);
    QVERIFY(!store.isEmpty());
    const CommandLineRun run = runCommandLine(QStringList{"--lot", "-"} + options + QStringList{store}, input);
    const QString &written = run.out;
    const QString &told = run.err;
    QCOMPARE(run.status, status);
    QVERIFY2(written.contains(out), qPrintable(written));
    QVERIFY2(err.isEmpty() ? told.isEmpty() : told.contains(err), qPrintable(told));
    QStringList found;
    for (const QString known : {"trouvée", "homonymes", "aucune", "illisible", "vide", "refusée"}) {
        for (qsizetype at = written.indexOf(known); at >= 0; at = written.indexOf(known, at + 1))
            found << QStringLiteral("%1@%2").arg(at, 8, 10, QLatin1Char('0')).arg(known);
    }
    found.sort();
    for (QString &entry : found)
        entry = entry.section(u'@', 1);
    QCOMPARE(found, statuses);
}

// A reader that waits for each answer gets it before it writes the next
// line: the batch sends out what it has written before it waits for input.
// Without that, both sides would wait for ever: the thread gives up after
// ten seconds and closes the input, and the test fails.
void TestBatchInput::answerBeforeWaiting()
{
    const QString store = batchStore(m_dir);
    QVERIFY(!store.isEmpty());
    int input[2];
    int output[2];
    QCOMPARE(pipe(input), 0);
    QCOMPARE(pipe(output), 0);
    std::FILE *in = fdopen(input[0], "r");
    std::FILE *out = fdopen(output[1], "w");
    std::FILE *errors = std::tmpfile();
    QByteArray firstAnswer;
    std::thread reader([&] {
        if (write(input[1], "PARIS\n", 6) != 6)
            return void(close(input[1]));
        pollfd answer{output[0], POLLIN, 0};
        if (poll(&answer, 1, 10000) == 1) {
            char bytes[4096];
            const ssize_t got = read(output[0], bytes, sizeof bytes);
            firstAnswer = QByteArray(bytes, int(std::max<ssize_t>(got, 0)));
            if (write(input[1], "LYON\n", 5) != 5)
                firstAnswer.clear();
        }
        close(input[1]);
    });
    const CommandLine line = CommandLine::parse({"--lot", "-", store});
    const CommandResult result = runBatch(line, store, in, out, errors);
    reader.join();
    std::fclose(in);
    std::fclose(out);
    std::fclose(errors);
    close(output[0]);
    QCOMPARE(result.status(), 0);
    QVERIFY2(firstAnswer.contains("\nPARIS\ttrouvée\t"), firstAnswer.constData());
    QVERIFY2(!firstAnswer.contains("LYON"), firstAnswer.constData());
}

// A file, or lines the input already holds, never make the batch wait: its
// answers go out in large blocks, not one write a line.
void TestBatchInput::readyInputNeverWaits()
{
    int fds[2];
    QCOMPARE(pipe(fds), 0);
    QVERIFY(write(fds[1], "A\nB\n", 4) == 4);
    std::FILE *piped = fdopen(fds[0], "r");
    LineReader fromPipe(piped);
    QByteArray text;
    bool cut = false;
    QVERIFY(fromPipe.next(&text, &cut));
    QVERIFY2(!fromPipe.wouldWait(), "a second line is read ahead");
    QVERIFY(fromPipe.next(&text, &cut));
    QVERIFY2(fromPipe.wouldWait(), "nothing more yet, and the writer still there");
    close(fds[1]);
    QVERIFY2(!fromPipe.wouldWait(), "the end of the input is there at once");
    std::fclose(piped);

    std::FILE *file = std::tmpfile();
    std::fputs("A\n", file);
    std::rewind(file);
    LineReader fromFile(file);
    QVERIFY(fromFile.next(&text, &cut));
    QVERIFY(!fromFile.wouldWait());
    std::fclose(file);
}

// Memory that runs out inside code that lets no exception through (Qt's
// hash tables) ends with status 2 and a French message, not an abort. The
// fault is in the process, so a child of this one meets it.
void TestBatchInput::uncaughtOutOfMemory()
{
    int fds[2];
    QCOMPARE(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDERR_FILENO);
        exitOnUncaughtOutOfMemory("topovil : mémoire insuffisante\n", 2);
        static void (*volatile thrower)() = [] { throw std::bad_alloc(); };
        // As Qt's code meets it: inside a function that lets nothing through.
        const auto noThrow = []() noexcept { thrower(); };
        noThrow();
        _exit(0);
    }
    close(fds[1]);
    char told[256] = {};
    const ssize_t bytes = read(fds[0], told, sizeof told - 1);
    close(fds[0]);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 2);
    QVERIFY(bytes > 0);
    QVERIFY2(QString::fromUtf8(told).startsWith("topovil : mémoire insuffisante"), told);
}

QTEST_GUILESS_MAIN(TestBatchInput)
#include "test_batch_input.moc"
