#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

// Every text a field carries is cleaned the same way in every format before
// it is written, so that a damaged store cannot cut a line or hide a
// character: tabs, line breaks and the other blanks of control read as one
// space, a NUL as « \0 », any other control character as « \xHH ».
QString cleanField(QStringView text);

// How JSON writes a field: as a text, as a number, or as the array of a
// former name's steps (the field's text then holds them as the store does,
// HistorySteps.h), which the other formats write as one readable text.
enum class JsonShape { Text, Number, Steps };

// The steps' text as TSV and CSV give it: « fusion, 2000-02-28, CHERBOURG
// OCTEVILLE, 50129 ; commune nouvelle, 2016-01-01, ... ».
QString stepsField(QStringView stored);

// Writes records as tab-separated lines, as CSV (RFC 4180 quoting, the given
// separator, or a comma for a tab: CSV is never tab-separated) or as a JSON array of objects, in UTF-8 (TSV and CSV
// in Windows-1252 when asked), to a stream. A failed
// write is kept: ok() turns false and error() says why, in French.
class RecordWriter
{
public:
    enum class Kind { Tsv, Csv, Json };
    enum class Encoding { Utf8, Windows1252 };

    RecordWriter(std::FILE *out, Kind kind, QChar separator = QLatin1Char(','));

    // The field names: the header line of TSV (when asked) and CSV, the keys of
    // JSON. `shapes` tells how JSON writes each field (a text when not told).
    void setFields(const QStringList &names, std::vector<JsonShape> shapes, bool headerLine);
    void write(const QStringList &fields);
    // Asked after each record: when the input would make the program wait,
    // what is written goes out, for a reader that waits for each answer
    // before it asks the next. A file or a pipe already full is written in
    // large blocks.
    void setFlushBeforeWaiting(std::function<bool()> inputWouldWait) { m_inputWouldWait = std::move(inputWouldWait); }
    // TSV and CSV only (JSON is UTF-8, its lines end with LF): how the lines
    // are written, for a spreadsheet that gets its own file back.
    void setEncoding(Encoding encoding) { m_encoding = encoding; }
    void setLineEnd(QByteArray end) { m_lineEnd = std::move(end); }
    // The characters of the records written since the last call that the
    // encoding cannot hold (written « ? »); empty for none.
    QString takeUnencodable() { return std::exchange(m_unencodable, QString()); }
    // Ends the output (JSON's closing bracket) and flushes it.
    bool finish();

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

private:
    QString readable(qsizetype field, const QString &text) const;
    void appendUtf8Fields(const QStringList &fields);
    void append(const QString &text);
    void flush();

    std::FILE *m_out;
    Kind m_kind;
    QChar m_separator;
    std::array<bool, 128> m_asIs{}; // the characters a TSV or CSV field writes as they are
    QStringList m_names;
    std::vector<JsonShape> m_shapes;
    QByteArray m_buffer;
    qint64 m_records = 0;
    std::function<bool()> m_inputWouldWait;
    Encoding m_encoding = Encoding::Utf8;
    QByteArray m_lineEnd = "\n";
    QString m_unencodable;
    QString m_error;
};
