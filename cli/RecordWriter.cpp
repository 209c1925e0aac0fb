#include "cli/RecordWriter.h"

#include <cerrno>

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

// A number is written as one when it reads as one; otherwise as a text, so
// that an odd value in a store never makes the JSON invalid.
QString jsonNumber(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("null");
    bool ok = false;
    text.toDouble(&ok);
    const bool plain = ok && !text.contains(QLatin1String("inf"), Qt::CaseInsensitive)
                       && !text.contains(QLatin1String("nan"), Qt::CaseInsensitive)
                       && !text.startsWith(QLatin1Char('+')) && !text.startsWith(QLatin1Char('.'))
                       && !text.contains(QLatin1String("-."));
    return plain ? text : jsonString(text);
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

RecordWriter::RecordWriter(std::FILE *out, Kind kind, QChar separator)
    : m_out(out), m_kind(kind), m_separator(kind == Kind::Tsv ? QChar(u'\t') : separator)
{
}

void RecordWriter::setFields(const QStringList &names, std::vector<bool> numbers, bool headerLine)
{
    m_names.clear();
    for (const QString &name : names)
        m_names << cleanField(name);
    m_numbers = std::move(numbers);
    m_numbers.resize(size_t(m_names.size()), false);
    if (m_kind == Kind::Json)
        append(QStringLiteral("["));
    else if (m_kind == Kind::Csv || headerLine)
        write(names);
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
            line += jsonString(m_names[i]) + QLatin1Char(':')
                    + (m_numbers[size_t(i)] ? jsonNumber(text) : jsonString(text));
        }
        line += QLatin1Char('}');
    } else {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                line += m_separator;
            const QString text = cleanField(fields[i]);
            line += m_kind == Kind::Csv ? csvField(text, m_separator) : text;
        }
        line += QLatin1Char('\n');
    }
    ++m_records;
    append(line);
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
    m_buffer += text.toUtf8();
    if (m_buffer.size() >= 64 * 1024)
        flush();
}

void RecordWriter::flush()
{
    if (ok() && !m_buffer.isEmpty()
        && std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_out) != size_t(m_buffer.size()))
        m_error = writeFailure(errno);
    m_buffer.clear();
}
