#include "cli/BatchInput.h"
#include "cli/RecordWriter.h"

#include <QtTest>
#include <cstdio>

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

QTEST_GUILESS_MAIN(TestBatchInput)
#include "test_batch_input.moc"
