#include "cli/BatchInput.h"

#include <QStringDecoder>
#include <array>

bool LineReader::next(QByteArray *line, bool *cut)
{
    line->clear();
    *cut = false;
    int c = getc_unlocked(m_in);
    if (c == EOF)
        return false;
    m_first = ++m_line;
    for (; c != EOF && c != '\n'; c = getc_unlocked(m_in)) {
        if (line->size() < MaxLineBytes)
            line->append(char(c));
        else
            *cut = true;
    }
    if (line->endsWith('\r'))
        line->chop(1);
    return true;
}

bool LineReader::nextRecord(QByteArray *record, bool *broken)
{
    bool cut = false;
    if (!next(record, &cut))
        return false;
    const qint64 first = m_first;
    *broken = cut;
    // A quote is ASCII in both encodings read: an odd count leaves one open.
    qsizetype quotes = record->count('"');
    QByteArray more;
    while (quotes % 2 == 1 && !*broken) {
        if (!next(&more, &cut)) {
            *broken = true; // left open at the end of the input
            break;
        }
        quotes += more.count('"');
        record->append('\n').append(more);
        *broken = cut || record->size() > MaxLineBytes;
    }
    m_first = first;
    return true;
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
    // Windows-1252: Latin-1 but for the printable characters of 0x80-0x9F.
    static constexpr std::array<char16_t, 32> high = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    text.resize(view.size());
    for (qsizetype i = 0; i < view.size(); ++i) {
        const auto byte = static_cast<unsigned char>(view[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t(byte));
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
