#include "search/UsualForms.h"

#include <QRegularExpression>

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
