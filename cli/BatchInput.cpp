#include "cli/BatchInput.h"

#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <poll.h>
#include <vector>

namespace {

// Whether a record's quotes leave a field open, followed as parseCsvRecord
// reads them: a quote opens a field only at its start (O"NEIL is a plain
// field, malformed, that ends with its line), and "" inside a quoted field
// is one quote.
class QuoteState
{
public:
    explicit QuoteState(char separator) : m_separator(separator) {}

    void feed(QByteArrayView bytes)
    {
        for (const char c : bytes) {
            switch (m_state) {
            case State::Start:
                m_state = c == '"' ? State::Quoted : c == m_separator ? State::Start : State::Plain;
                break;
            case State::Plain:
                if (c == m_separator)
                    m_state = State::Start;
                break;
            case State::Quoted:
                if (c == '"')
                    m_state = State::QuoteInQuoted;
                break;
            case State::QuoteInQuoted:
                // Text after a closing quote reads as plain text up to the separator.
                m_state = c == '"' ? State::Quoted : c == m_separator ? State::Start : State::Plain;
                break;
            }
        }
    }
    bool open() const { return m_state == State::Quoted; }

private:
    enum class State { Start, Plain, Quoted, QuoteInQuoted } m_state = State::Start;
    char m_separator;
};

} // namespace

bool LineReader::wouldWait() const
{
    if (!m_again.empty() || m_in->_IO_read_ptr < m_in->_IO_read_end) // glibc's read-ahead
        return false;
    const int descriptor = fileno(m_in);
    if (descriptor < 0) // a stream in memory
        return false;
    // A file, or an end of input, is always ready.
    pollfd ready{descriptor, POLLIN, 0};
    return poll(&ready, 1, 0) == 0;
}

bool LineReader::readLine(QByteArray *line, bool *cut)
{
    line->resize(0); // keeps its room: a batch reads a line at a time
    *cut = false;
    int c = getc_unlocked(m_in);
    if (c == EOF)
        return false;
    for (; c != EOF && c != '\n' && c != '\r'; c = getc_unlocked(m_in)) {
        if (line->size() < MaxLineBytes)
            line->append(char(c));
        else
            *cut = true;
    }
    const char *end = c == '\r' ? "\r" : "\n";
    if (c == '\r') {
        const int after = getc_unlocked(m_in);
        if (after == '\n')
            end = "\r\n";
        else if (after != EOF)
            std::ungetc(after, m_in);
        else
            end = "\n"; // a CR that ends the input ends no line
    }
    if (m_firstLineEnd.isEmpty())
        m_firstLineEnd = end;
    return true;
}

bool LineReader::next(QByteArray *line, bool *cut)
{
    if (!m_again.empty()) {
        Line &again = m_again.front();
        *line = std::move(again.bytes);
        *cut = again.cut;
        m_first = again.number;
        m_again.pop_front();
        return true;
    }
    if (!readLine(line, cut))
        return false;
    m_first = ++m_line;
    return true;
}

bool LineReader::nextRecord(QByteArray *record, bool *broken)
{
    bool cut = false;
    if (!next(record, &cut))
        return false;
    if (m_separator == 0)
        m_separator = detectSeparator(decodeLine(*record)).toLatin1();
    const qint64 first = m_first;
    *broken = cut;
    QuoteState quotes(m_separator);
    quotes.feed(*record);
    std::vector<Line> joined;
    qsizetype bytes = record->size();
    QByteArray more;
    while (quotes.open() && !*broken) {
        if (joined.size() + 1 >= size_t(MaxRecordLines) || !next(&more, &cut)) {
            *broken = true;
            break;
        }
        bytes += 1 + more.size();
        joined.push_back({more, m_first, cut});
        *broken = cut || bytes > MaxLineBytes;
        quotes.feed("\n");
        quotes.feed(more);
    }
    if (*broken) {
        // The lines taken after the first are read again, in their order.
        for (auto line = joined.rbegin(); line != joined.rend(); ++line)
            m_again.push_front(std::move(*line));
    } else {
        for (const Line &line : joined)
            record->append('\n').append(line.bytes);
    }
    m_first = first;
    return true;
}

bool LineReader::startsAsUtf16()
{
    QByteArray line;
    bool cut = false;
    if (m_line > 0 || !m_again.empty() || !readLine(&line, &cut))
        return false;
    const QByteArrayView bytes(line);
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
                       || (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0'));
    m_again.push_back({line, ++m_line, cut});
    return utf16;
}

namespace {

// Windows-1252: Latin-1 but for the printable characters of 0x80-0x9F.
constexpr std::array<char16_t, 32> windows1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes); // decoded only when made a QString
    return !utf8.hasError();
}

QByteArray toWindows1252(QStringView text, QString *unencodable)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        if (const auto at = std::find(windows1252High.begin(), windows1252High.end(), u); at != windows1252High.end()) {
            bytes += char(0x80 + (at - windows1252High.begin()));
            continue;
        }
        // One « ? » for a character, even one written in two UTF-16 units.
        const qsizetype units =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView character = text.mid(i, units);
        bytes += '?';
        if (!unencodable->contains(character))
            *unencodable += character;
        i += units - 1;
    }
    return bytes;
}

QString decodeLine(const QByteArray &bytes)
{
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    text.resize(view.size());
    for (qsizetype i = 0; i < view.size(); ++i) {
        const auto byte = static_cast<unsigned char>(view[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? windows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

QChar detectSeparator(QStringView header)
{
    int semicolons = 0;
    int commas = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : header) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        return QLatin1Char('\t');
    if (commas > semicolons)
        return QLatin1Char(',');
    return QLatin1Char(';');
}

CsvRecord parseCsvRecord(QStringView text, QChar separator)
{
    CsvRecord record;
    QString field;
    enum class State { Start, Plain, Quoted, QuoteInQuoted, AfterQuoted } state = State::Start;
    for (const QChar c : text) {
        switch (state) {
        case State::Start:
        case State::Plain:
            if (c == separator) {
                record.fields << field;
                field.clear();
                state = State::Start;
            } else if (c == u'"' && state == State::Start) {
                state = State::Quoted;
            } else {
                if (c == u'"')
                    record.wellFormed = false; // a quote inside an unquoted field
                field += c;
                state = State::Plain;
            }
            break;
        case State::Quoted:
            if (c == u'"')
                state = State::QuoteInQuoted;
            else
                field += c;
            break;
        case State::QuoteInQuoted:
            if (c == u'"') {
                field += c;
                state = State::Quoted;
                break;
            }
            state = State::AfterQuoted;
            [[fallthrough]];
        case State::AfterQuoted:
            if (c == separator) {
                record.fields << field;
                field.clear();
                state = State::Start;
            } else {
                record.wellFormed = false; // text after the closing quote
                field += c;
            }
            break;
        }
    }
    if (state == State::Quoted)
        record.wellFormed = false;
    record.fields << field;
    return record;
}

static QString columnKey(const QString &name)
{
    return name.trimmed().normalized(QString::NormalizationForm_C).toCaseFolded();
}

qsizetype findColumn(const QStringList &header, const QString &name)
{
    const qsizetype exact = header.indexOf(name);
    if (exact >= 0)
        return exact;
    const QString key = columnKey(name);
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (columnKey(header[i]) == key)
            return i;
    }
    return -1;
}

QString describeHeader(const QStringList &header)
{
    constexpr qsizetype shownColumns = 12;
    constexpr qsizetype shownLength = 40;
    QStringList shown;
    for (qsizetype i = 0; i < header.size() && i < shownColumns; ++i) {
        const QString name = header[i].simplified();
        shown << (name.size() > shownLength ? name.left(shownLength) + QStringLiteral("…") : name);
    }
    if (header.size() > shownColumns)
        shown << QStringLiteral("… %1 colonnes en tout").arg(header.size());
    return shown.join(QStringLiteral(", "));
}

QStringList uniqueInputNames(const QStringList &header, const QStringList &results, QStringList *renamed)
{
    QSet<QString> taken(results.begin(), results.end());
    QStringList names;
    for (const QString &name : header) {
        QString unique = name;
        for (int suffix = 2; taken.contains(unique); ++suffix)
            unique = QStringLiteral("%1_%2").arg(name).arg(suffix);
        if (unique != name)
            *renamed << QStringLiteral("« %1 » → « %2 »").arg(name, unique);
        taken.insert(unique);
        names << unique;
    }
    return names;
}

QString utf16Refusal(const QString &inputName)
{
    return QStringLiteral("« %1 » est écrit en UTF-16, que Topovil ne lit pas : enregistrez-le en UTF-8 "
                          "(« CSV UTF-8 » dans un tableur), puis relancez")
        .arg(inputName);
}
