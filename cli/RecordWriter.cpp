#include "cli/RecordWriter.h"

#include "cli/BatchInput.h"
#include "history/HistorySteps.h"

#include <QLocale>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>

namespace {

QString csvField(const QString &text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += QLatin1Char('\\');
        out += c; // cleanField has left no control character
    }
    out += QLatin1Char('"');
    return out;
}

// Whether a text is a number as JSON writes one: -?(0|[1-9][0-9]*), then
// optionally a fraction and an exponent, each with at least one digit.
bool isJsonNumber(QStringView text)
{
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        return i - from;
    };
    if (i < text.size() && text[i] == u'-')
        ++i;
    const qsizetype integer = digits();
    if (integer == 0 || (integer > 1 && text[i - integer] == u'0'))
        return false;
    if (i < text.size() && text[i] == u'.' && (++i, digits() == 0))
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == text.size();
}

// A number is written as JSON writes it: as it is when it already reads so,
// in its shortest form when it reads as a number another way (« 1. »,
// « 01 », a blank before it), as a text otherwise (beyond a double's range too), so that an odd value in a
// store never makes the JSON invalid.
QString jsonNumber(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("null");
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) // 1e400 reads as JSON but no parser keeps it
        return jsonString(text);
    return isJsonNumber(text) ? text : QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The steps as an array of objects, oldest first; [] for none.
QString jsonSteps(const QString &stored)
{
    QStringList objects;
    for (const HistoryStep &step : parseHistorySteps(stored)) {
        objects << QStringLiteral("{\"nature\":%1,\"date\":%2,\"commune\":%3,\"code_insee\":%4}")
                       .arg(jsonString(step.kind), jsonString(step.date), jsonString(step.name), jsonString(step.code));
    }
    return QLatin1Char('[') + objects.join(QLatin1Char(',')) + QLatin1Char(']');
}

// Why a write failed, in French.
QString writeFailure(int code)
{
    switch (code) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("la sortie ne peut pas être écrite : plus de place sur le disque");
    case EPIPE:
        return QStringLiteral("la sortie ne peut pas être écrite : le programme qui la lisait s'est arrêté");
    case EBADF:
        return QStringLiteral("la sortie ne peut pas être écrite : elle est fermée");
    case EFBIG:
        return QStringLiteral("la sortie ne peut pas être écrite : fichier trop grand");
    default:
        return QStringLiteral("la sortie ne peut pas être écrite (erreur système %1)").arg(code);
    }
}

} // namespace

namespace {

bool needsCleaning(char16_t u)
{
    return u < 0x20 || (u >= 0x7f && u < 0xa0) || u == 0x2028 || u == 0x2029;
}

bool isClean(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return needsCleaning(c.unicode()); });
}

// Appends the text cleaned: most fields need nothing, and are copied whole.
void appendClean(QString &out, QStringView text)
{
    if (isClean(text)) {
        out += text;
        return;
    }
    out += cleanField(text);
}

// Writes the text as UTF-8 at `out`, which has room for three bytes a
// character; returns the end. Plain ASCII, nearly every field, is copied.
char *writeUtf8(char *out, QStringView text)
{
    const char16_t *chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    for (; i < size && chars[i] < 0x80; ++i)
        out[i] = char(chars[i]);
    if (i == size)
        return out + size;
    return QStringEncoder(QStringEncoder::Utf8).appendToBuffer(out + i, text.sliced(i));
}

// UTF-8 written at the end of the buffer, without a copy of its own.
void appendUtf8(QByteArray &buffer, QStringView text)
{
    const qsizetype at = buffer.size();
    buffer.resize(at + 3 * text.size());
    buffer.resize(writeUtf8(buffer.data() + at, text) - buffer.constData());
}

// Copies a field to `out` and returns its end when each of its characters
// goes out as it is (`asIs`: printable ASCII but the separator and the
// quote); nothing otherwise, and it must be written the long way.
char *copyAsIs(char *out, QStringView text, const std::array<bool, 128> &asIs)
{
    const char16_t *chars = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = chars[i];
        if (c >= 0x80 || !asIs[c])
            return nullptr;
        out[i] = char(c);
    }
    return out + text.size();
}

} // namespace

QString cleanField(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n' || u == u'\r' || u == u'\v' || u == u'\f' || u == 0x85 || u == 0x2028
            || u == 0x2029)
            out += QLatin1Char(' ');
        else if (u == 0)
            out += QLatin1String("\\0");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            out += QLatin1String("\\x") + QString::number(int(u), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString stepsField(QStringView stored)
{
    QStringList texts;
    for (const HistoryStep &step : parseHistorySteps(stored))
        texts << QStringList{step.kind, step.date, step.name, step.code}.join(QStringLiteral(", "));
    return texts.join(QStringLiteral(" ; "));
}

QString RecordWriter::readable(qsizetype field, const QString &text) const
{
    return size_t(field) < m_shapes.size() && m_shapes[size_t(field)] == JsonShape::Steps ? stepsField(text) : text;
}

RecordWriter::RecordWriter(std::FILE *out, Kind kind, QChar separator)
    : m_out(out), m_kind(kind), m_separator(kind == Kind::Tsv    ? QChar(u'\t')
                                            : separator == u'\t' ? QChar(u',')
                                                                 : separator)
{
    for (char16_t c = 0x20; c < 0x7f; ++c)
        m_asIs[c] = c != m_separator && c != u'"';
}

void RecordWriter::setFields(const QStringList &names, std::vector<JsonShape> shapes, bool headerLine)
{
    m_names.clear();
    for (const QString &name : names)
        m_names << cleanField(name);
    // The header line is written before the fields' shapes are known: it
    // writes the names as they are (a field of steps would read its own
    // name as steps).
    m_shapes.clear();
    if (m_kind == Kind::Json)
        append(QStringLiteral("["));
    else if (m_kind == Kind::Csv || headerLine)
        write(names);
    m_shapes = std::move(shapes);
    m_shapes.resize(size_t(m_names.size()), JsonShape::Text);
    m_records = 0;
}

void RecordWriter::write(const QStringList &fields)
{
    QString line;
    if (m_kind == Kind::Json) {
        line = m_records > 0 ? QStringLiteral(",\n{") : QStringLiteral("\n{");
        for (qsizetype i = 0; i < fields.size() && i < m_names.size(); ++i) {
            const QString text = cleanField(fields[i]);
            if (i > 0)
                line += QLatin1Char(',');
            line += jsonString(m_names[i]) + QLatin1Char(':');
            switch (m_shapes[size_t(i)]) {
            case JsonShape::Number:
                line += jsonNumber(text);
                break;
            case JsonShape::Steps:
                line += jsonSteps(text);
                break;
            case JsonShape::Text:
                line += jsonString(text);
                break;
            }
        }
        line += QLatin1Char('}');
    } else if (m_encoding == Encoding::Utf8) {
        appendUtf8Fields(fields);
    } else if (m_kind == Kind::Csv) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += m_separator;
            line += csvField(cleanField(readable(i, fields[i])), m_separator);
        }
    } else {
        line.reserve(256);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += m_separator;
            appendClean(line, readable(i, fields[i]));
        }
    }
    ++m_records;
    append(line);
    if (m_kind != Kind::Json)
        m_buffer += m_lineEnd;
    if (m_inputWouldWait && m_inputWouldWait()) {
        flush();
        if (ok() && std::fflush(m_out) != 0)
            m_error = writeFailure(errno);
    }
}

// A TSV or CSV line's fields written straight into the buffer: a batch
// writes millions of them, and nearly every field is printable ASCII.
void RecordWriter::appendUtf8Fields(const QStringList &fields)
{
    // Room for every field as UTF-8, and a separator after each.
    qsizetype room = 0;
    for (const QString &field : fields)
        room += 3 * (field.size() + 1);
    const qsizetype start = m_buffer.size();
    m_buffer.resize(start + room);
    char *end = m_buffer.data() + start;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            end = writeUtf8(end, QStringView(&m_separator, 1));
        const bool steps = size_t(i) < m_shapes.size() && m_shapes[size_t(i)] == JsonShape::Steps;
        if (char *copied = steps ? nullptr : copyAsIs(end, fields[i], m_asIs)) {
            end = copied;
            continue;
        }
        QString text = readable(i, fields[i]);
        if (!isClean(text))
            text = cleanField(text);
        if (m_kind == Kind::Csv)
            text = csvField(text, m_separator);
        // The long way may lengthen the field: its own room is made.
        const qsizetype at = end - m_buffer.constData();
        m_buffer.resize(m_buffer.size() + 3 * text.size());
        end = writeUtf8(m_buffer.data() + at, text);
    }
    m_buffer.resize(end - m_buffer.constData());
}

bool RecordWriter::finish()
{
    if (m_kind == Kind::Json)
        append(m_records > 0 ? QStringLiteral("\n]\n") : QStringLiteral("]\n"));
    flush();
    if (ok() && std::fflush(m_out) != 0)
        m_error = writeFailure(errno);
    return ok();
}

void RecordWriter::append(const QString &text)
{
    if (m_encoding == Encoding::Windows1252 && m_kind != Kind::Json)
        m_buffer += toWindows1252(text, &m_unencodable);
    else
        appendUtf8(m_buffer, text);
    if (m_buffer.size() >= 64 * 1024)
        flush();
}

void RecordWriter::flush()
{
    if (ok() && !m_buffer.isEmpty()
        && std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_out) != size_t(m_buffer.size()))
        m_error = writeFailure(errno);
    m_buffer.resize(0); // keeps its room for the next block
}
