#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>

// The lines of the batch mode's input, read as they come so that an input of
// any size streams: one line at a time, without its end (\n or \r\n), with
// its number from 1.
class LineReader
{
public:
    // A longer line is cut there (the rest is read and dropped): no commune
    // query comes anywhere near it, and memory stays flat.
    static constexpr qsizetype MaxLineBytes = 1 << 20;

    explicit LineReader(std::FILE *in) : m_in(in) {}

    // The next line; false at the end of the input. *cut tells a line that
    // was longer than MaxLineBytes.
    bool next(QByteArray *line, bool *cut);
    // A CSV record: lines joined while a quoted field is open, up to
    // MaxLineBytes. *broken tells a record cut short or left open at the end.
    bool nextRecord(QByteArray *record, bool *broken);
    // The number of the first line of what next() or nextRecord() last gave.
    qint64 lineNumber() const { return m_first; }
    bool failed() const { return std::ferror(m_in) != 0; }

private:
    std::FILE *m_in;
    qint64 m_line = 0;
    qint64 m_first = 0;
};

// A line's text: UTF-8 when its bytes are valid UTF-8, otherwise
// Windows-1252, which every spreadsheet of France has written for years
// (each line decides, so a file that mixes both still reads). A UTF-8 byte
// order mark is dropped.
QString decodeLine(const QByteArray &bytes);

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
