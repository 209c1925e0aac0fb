#include "geometry/CoordinateText.h"

#include <QLocale>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// One coordinate as written: its numbers with their marks, a sign, a letter.
struct Written
{
    double degrees = 0;
    std::optional<double> minutes;
    std::optional<double> seconds;
    bool negative = false;
    bool signed_ = false;
    QChar letter; // N, S, E, W, O, or none
    QString text;
};

bool isDegreeMark(QChar c)
{
    return c == u'°' || c == u'º' || c == u'˚';
}

bool isMinuteMark(QChar c)
{
    return c == u'\'' || c == u'′' || c == u'’';
}

bool isSecondMark(QChar c)
{
    return c == u'"' || c == u'″' || c == u'”';
}

bool isHemisphere(QChar c)
{
    return QStringView(u"NSEWO").contains(c.toUpper());
}

// Reads the text from left to right, one coordinate at a time.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd()
    {
        skipBlanks();
        return m_at >= m_text.size();
    }

    // Between the two coordinates: blanks, or a comma or semicolon.
    bool separator()
    {
        skipBlanks();
        if (m_at < m_text.size() && (m_text[m_at] == u',' || m_text[m_at] == u';'))
            ++m_at;
        return true;
    }

    std::optional<Written> coordinate()
    {
        Written w;
        skipBlanks();
        const qsizetype start = m_at;
        if (peek().isLetter()) {
            if (!isHemisphere(peek()))
                return std::nullopt;
            w.letter = take().toUpper();
            skipBlanks();
        }
        if (peek() == u'-' || peek() == u'+' || peek() == u'−') {
            w.negative = take() != u'+';
            w.signed_ = true;
            skipBlanks();
        }
        const std::optional<double> degrees = number();
        if (!degrees)
            return std::nullopt;
        w.degrees = *degrees;
        skipBlanks();
        if (isDegreeMark(peek())) {
            take();
            w.minutes = markedNumber(isMinuteMark);
            if (w.minutes)
                w.seconds = markedNumber(isSecondMark, true);
        }
        skipBlanks();
        if (w.letter.isNull() && peek().isLetter()) {
            if (!isHemisphere(peek()))
                return std::nullopt;
            w.letter = take().toUpper();
            // A letter ends the coordinate: « 48N2E » reads, « 48NORD » does not.
            if (peek().isLetter())
                return std::nullopt;
        }
        w.text = m_text.mid(start, m_at - start).trimmed().toString();
        return w;
    }

private:
    QChar peek() const { return m_at < m_text.size() ? m_text[m_at] : QChar(); }
    QChar take() { return m_text[m_at++]; }
    void skipBlanks()
    {
        while (m_at < m_text.size() && m_text[m_at].isSpace())
            ++m_at;
    }

    // Digits, with one decimal point or comma between digits: a comma that
    // follows a decimal part already separates the two coordinates.
    std::optional<double> number()
    {
        const qsizetype start = m_at;
        bool decimal = false;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at];
            if (c.isDigit() && c.unicode() < 128) {
                ++m_at;
            } else if ((c == u'.' || c == u',') && !decimal && m_at > start && m_at + 1 < m_text.size()
                       && m_text[m_at + 1].isDigit()) {
                decimal = true;
                ++m_at;
            } else {
                break;
            }
        }
        if (m_at == start)
            return std::nullopt;
        QString digits = m_text.mid(start, m_at - start).toString();
        digits.replace(u',', u'.');
        return QLocale::c().toDouble(digits);
    }

    // A number followed by its mark (minutes, seconds); the mark of the last
    // number may be left out. Nothing, and nothing read, without a number.
    std::optional<double> markedNumber(bool (*isMark)(QChar), bool markOptional = false)
    {
        const qsizetype start = m_at;
        skipBlanks();
        const std::optional<double> value = number();
        skipBlanks();
        if (value && isMark(peek())) {
            take();
            return value;
        }
        // Two apostrophes stand for the seconds' double quote.
        if (value && isMark == isSecondMark && isMinuteMark(peek()) && m_at + 1 < m_text.size()
            && isMinuteMark(m_text[m_at + 1])) {
            m_at += 2;
            return value;
        }
        // Unmarked, the last number is the seconds unless a degree mark
        // follows it: « 48°51' 2°21' » is two coordinates, not 2 seconds.
        if (value && markOptional && !isDegreeMark(peek()))
            return value;
        m_at = start;
        return std::nullopt;
    }

    QStringView m_text;
    qsizetype m_at = 0;
};

bool isLatitudeLetter(QChar c)
{
    return c == u'N' || c == u'S';
}

TypedPosition refused(const QString &why)
{
    return {TypedPosition::Kind::Refused, {}, why};
}

// The value in degrees, or a refusal.
std::optional<double> valueOf(const Written &w, QString *why)
{
    if (w.signed_ && !w.letter.isNull()) {
        *why = QStringLiteral("« %1 » : un signe ou une lettre (N, S, E, O), pas les deux.").arg(w.text);
        return std::nullopt;
    }
    if ((w.minutes && *w.minutes >= 60) || (w.seconds && *w.seconds >= 60)) {
        *why = QStringLiteral("« %1 » : les minutes et les secondes vont de 0 à moins de 60.").arg(w.text);
        return std::nullopt;
    }
    if ((w.minutes && w.degrees != std::floor(w.degrees)) || (w.seconds && *w.minutes != std::floor(*w.minutes))) {
        *why = QStringLiteral("« %1 » : seule la dernière partie peut avoir des décimales.").arg(w.text);
        return std::nullopt;
    }
    const double value = w.degrees + w.minutes.value_or(0) / 60 + w.seconds.value_or(0) / 3600;
    const bool negative = w.negative || w.letter == u'S' || w.letter == u'W' || w.letter == u'O';
    return negative ? -value : value;
}

} // namespace

TypedPosition readPosition(QStringView text)
{
    Reader reader(text);
    const std::optional<Written> first = reader.coordinate();
    if (!first || !reader.separator())
        return {};
    const std::optional<Written> second = reader.coordinate();
    if (!second || !reader.atEnd())
        return {};

    // Letters decide which is which; without them, latitude comes first.
    bool firstIsLatitude = true;
    if (!first->letter.isNull() && !second->letter.isNull()) {
        if (isLatitudeLetter(first->letter) == isLatitudeLetter(second->letter))
            return refused(isLatitudeLetter(first->letter)
                               ? QStringLiteral("Deux latitudes (N, S) : il faut une latitude et une longitude.")
                               : QStringLiteral("Deux longitudes (E, O) : il faut une latitude et une longitude."));
        firstIsLatitude = isLatitudeLetter(first->letter);
    } else if (!first->letter.isNull()) {
        firstIsLatitude = isLatitudeLetter(first->letter);
    } else if (!second->letter.isNull()) {
        firstIsLatitude = !isLatitudeLetter(second->letter);
    }
    QString why;
    const std::optional<double> a = valueOf(*first, &why);
    const std::optional<double> b = a ? valueOf(*second, &why) : std::nullopt;
    if (!a || !b)
        return refused(why);
    const GeoPoint point = firstIsLatitude ? GeoPoint{*a, *b} : GeoPoint{*b, *a};
    const QLocale french(QLocale::French);
    if (!(std::abs(point.latitude) <= 90))
        return refused(QStringLiteral("Latitude hors limites : %1° (de -90° à 90°).")
                           .arg(french.toString(point.latitude, 'g', QLocale::FloatingPointShortest)));
    if (!(std::abs(point.longitude) <= 180))
        return refused(QStringLiteral("Longitude hors limites : %1° (de -180° à 180°).")
                           .arg(french.toString(point.longitude, 'g', QLocale::FloatingPointShortest)));
    return {TypedPosition::Kind::Position, point, {}};
}
