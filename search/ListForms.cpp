#include "search/ListForms.h"

#include <QRegularExpression>
#include <QStringList>
#include <array>

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
    static const QRegularExpression fourDigits(QStringLiteral("^\\d{4}$"));
    if (fourDigits.match(code).hasMatch())
        return {QLatin1Char('0') + code, true};
    return {code, false};
}
