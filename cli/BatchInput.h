#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <deque>

// The lines of the batch mode's input, read as they come so that an input of
// any size streams: one line at a time, without its end (\n, \r\n, or a lone
// \r as old Mac exports write), with its number from 1.
class LineReader
{
public:
    // A longer line is cut there (the rest is read and dropped): no commune
    // query comes anywhere near it, and memory stays flat.
    static constexpr qsizetype MaxLineBytes = 1 << 20;
    // A quoted field may hold line breaks, but no field of an address list
    // holds this many: a quote still open after them is a stray one.
    static constexpr int MaxRecordLines = 64;

    explicit LineReader(std::FILE *in) : m_in(in) {}

    // The next line; false at the end of the input. *cut tells a line that
    // was longer than MaxLineBytes.
    bool next(QByteArray *line, bool *cut);
    // A CSV record: lines joined while a quoted field is open, up to
    // MaxRecordLines lines and MaxLineBytes. A quote left open at the end of
    // the input or past those bounds gives its first line alone, *broken,
    // and the lines after it are read again as records of their own.
    bool nextRecord(QByteArray *record, bool *broken);
    // The separator nextRecord follows quotes by: the one detected on the
    // first record unless set before.
    char separator() const { return m_separator; }
    void setSeparator(char separator) { m_separator = separator; }
    // The number of the first line of what next() or nextRecord() last gave.
    qint64 lineNumber() const { return m_first; }
    bool failed() const { return std::ferror(m_in) != 0; }
    // Whether reading the next line would wait for the input's writer:
    // nothing read ahead, nothing ready on the descriptor.
    bool wouldWait() const;
    // Whether the input starts as UTF-16 text does: a UTF-16 byte order mark,
    // or NUL bytes in its first line. Reads that line ahead.
    bool startsAsUtf16();
    // How the first line read ended: "\n", "\r\n", "\r", or "\n" when it
    // ended with the input.
    QByteArray firstLineEnd() const { return m_firstLineEnd; }

private:
    struct Line
    {
        QByteArray bytes;
        qint64 number;
        bool cut;
    };
    bool readLine(QByteArray *line, bool *cut);

    std::FILE *m_in;
    qint64 m_line = 0;
    qint64 m_first = 0;
    char m_separator = 0;
    QByteArray m_firstLineEnd;
    std::deque<Line> m_again; // lines to give again, in order
};

// A line's text: UTF-8 when its bytes are valid UTF-8, otherwise
// Windows-1252, which every spreadsheet of France has written for years
// (each line decides, so a file that mixes both still reads). A UTF-8 byte
// order mark is dropped.
QString decodeLine(const QByteArray &bytes);

// Whether the bytes are valid UTF-8 (a line that decodeLine reads as such).
bool isUtf8(QByteArrayView bytes);

// The text in Windows-1252, for a spreadsheet that reads nothing else. A
// character it cannot hold is written « ? » and added to *unencodable.
QByteArray toWindows1252(QStringView text, QString *unencodable);

// The separator of a CSV header line: the most frequent of « ; », « , » and
// tab outside quotes; « ; » when it has none of them (a single column).
QChar detectSeparator(QStringView header);

// One CSV record split into its fields by RFC 4180: a field in double quotes
// may hold the separator, line breaks and doubled quotes. A stray quote in an
// unquoted field, text after a closing quote or a quote left open make the
// record malformed; its fields are then kept as well as they can be read.
struct CsvRecord
{
    QStringList fields;
    bool wellFormed = true;
};
CsvRecord parseCsvRecord(QStringView text, QChar separator);

// The index of the header's column that a command line names: the same
// text, or else the same once blanks around it, case and the Unicode form
// are set aside (a name typed on macOS comes decomposed, « é » as e and an
// accent); -1 for none.
qsizetype findColumn(const QStringList &header, const QString &name);

// The header's columns for a message: the first few, each cut short, so
// that a header gone wrong (a quote left open) cannot fill the screen.
QString describeHeader(const QStringList &header);

// The input's column names as the output gives them: a name that one of
// `results` bears, or that an earlier column bears, is followed by « _2 »,
// « _3 »… until it is free, so that no JSON key is given twice and the
// user's own column keeps its values. `renamed` receives « old → new » notes.
QStringList uniqueInputNames(const QStringList &header, const QStringList &results, QStringList *renamed);

// Why an input in UTF-16 is refused, in French: its lines cannot be told
// apart without reading it whole as such, and spreadsheets save UTF-8 too.
QString utf16Refusal(const QString &inputName);
