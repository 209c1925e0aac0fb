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
