#include "names/UsualForms.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>

QString arrondissementName(QStringView folded)
{
    static const QRegularExpression form(
        QStringLiteral("^(PARIS|MARSEILLE|LYON) 0?([1-9][0-9]?) ?(ER|RE|E|EME|ARR)?( ARRONDISSEMENT)?$"));
    const QRegularExpressionMatch match = form.match(folded);
    if (!match.hasMatch())
        return {};
    const int number = match.captured(2).toInt();
    return QStringLiteral("%1 %2%3 ARRONDISSEMENT")
        .arg(match.captured(1))
        .arg(number)
        .arg(number == 1 ? QStringLiteral("ER") : QStringLiteral("E"));
}

QString arrondissementOfInseeCode(QStringView typed)
{
    struct City
    {
        const char16_t *name;
        int first; // the INSEE code of its 1st arrondissement
        int count;
    };
    static const City cities[] = {{u"PARIS", 75101, 20}, {u"MARSEILLE", 13201, 16}, {u"LYON", 69381, 9}};
    bool isNumber = false;
    const int code = typed.trimmed().toInt(&isNumber);
    if (!isNumber || typed.trimmed().size() != 5)
        return {};
    for (const City &city : cities) {
        if (code >= city.first && code < city.first + city.count)
            return arrondissementName(QStringLiteral("%1 %2").arg(QStringView(city.name)).arg(code - city.first + 1));
    }
    return {};
}

QStringList articleVariants(QStringView folded)
{
    static const QStringList articles = {QStringLiteral("LES "), QStringLiteral("LE "), QStringLiteral("LA "),
                                         QStringLiteral("L ")};
    for (const QString &article : articles) {
        if (folded.startsWith(article) && folded.size() > article.size())
            return {folded.mid(article.size()).toString()};
    }
    if (folded.isEmpty())
        return {};
    QStringList variants;
    for (const QString &article : articles)
        variants << article + folded.toString();
    return variants;
}

QString cityOfWholeCityCode(QStringView typed)
{
    const QStringView code = typed.trimmed();
    if (code == u"75000")
        return QStringLiteral("PARIS");
    if (code == u"69000")
        return QStringLiteral("LYON");
    if (code == u"13000")
        return QStringLiteral("MARSEILLE");
    return {};
}

QString articleInFront(QStringView typed)
{
    static const QRegularExpression form(QStringLiteral("^(.*\\S)\\s*\\(\\s*(LA|LE|LES|L'|L’|L)\\s*\\)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return {};
    return match.captured(2) + QLatin1Char(' ') + match.captured(1);
}

std::optional<CedexLine> readCedexLine(QStringView typed)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(?:(\\d{5})\\s+)?(.*\\S)\\s+CEDEX(?:\\s+\\d{1,2})?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return std::nullopt;
    return CedexLine{match.captured(2), match.captured(1)};
}

namespace {

// Words La Poste leaves out of a name when it shortens it.
bool isShortWord(QStringView word)
{
    static const std::array<QStringView, 15> words = {u"A",  u"AU", u"AUX", u"D",  u"DE",  u"DES",  u"DU", u"EN",
                                                      u"ET", u"L",  u"LA",  u"LE", u"LES", u"SOUS", u"SUR"};
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Its short forms of the plural saints, which the folded names write out.
QStringView writtenOut(QStringView word)
{
    if (word == u"STES")
        return u"SAINTES";
    if (word == u"STS")
        return u"SAINTS";
    return word;
}

} // namespace

PosteSpelling posteSpelling(QStringView label, QStringView name)
{
    const QList<QStringView> labelWords = label.split(u' ', Qt::SkipEmptyParts);
    const QList<QStringView> nameWords = name.split(u' ', Qt::SkipEmptyParts);
    if (labelWords.isEmpty())
        return PosteSpelling::Other;
    qsizetype at = 0;
    bool lastShortened = false;
    for (QStringView word : labelWords) {
        // « N. DAME »: a dot ends a shortened word.
        while (word.endsWith(u'.'))
            word.chop(1);
        word = writtenOut(word);
        if (word.isEmpty())
            return PosteSpelling::Other;
        while (at < nameWords.size() && !nameWords[at].startsWith(word) && isShortWord(nameWords[at]))
            ++at;
        if (at == nameWords.size() || !nameWords[at].startsWith(word))
            return PosteSpelling::Other;
        lastShortened = word.size() < nameWords[at].size();
        ++at;
    }
    return at < nameWords.size() || lastShortened ? PosteSpelling::Cut : PosteSpelling::Abbreviated;
}

PostcodeText readPostcode(QStringView written)
{
    QString code;
    for (const QChar c : written) {
        if (!c.isSpace())
            code += c;
    }
    if (code.size() == 4 && std::all_of(code.cbegin(), code.cend(), [](QChar c) { return c.isDigit(); }))
        return {QLatin1Char('0') + code, true};
    return {code, false};
}
