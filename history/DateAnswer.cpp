#include "history/DateAnswer.h"

#include "history/CommuneEvents.h"
#include "history/CommuneStates.h"
#include "history/HistorySteps.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

const QString forms = QStringLiteral("AAAA, AAAA-MM ou AAAA-MM-JJ");

// The start of a date not yet whole: « 196 », « 1967- », « 1967-0 ».
bool partOfDate(QStringView typed)
{
    static const QRegularExpression part(
        QStringLiteral("^(\\d{0,3}|\\d{4}-|\\d{4}-\\d|\\d{4}-\\d{2}-|\\d{4}-\\d{2}-\\d)$"));
    return part.match(typed.toString()).hasMatch();
}

// « En 1967 », « En février 2000 », « Le 28 février 2000 ».
QString periodText(const DatePeriod &period)
{
    if (period.first == period.last)
        return QStringLiteral("Le %1").arg(frenchDate(period.first));
    if (period.first.left(7) == period.last.left(7))
        return QStringLiteral("En %1").arg(frenchDate(period.first).section(QLatin1Char(' '), 1));
    return QStringLiteral("En %1").arg(period.first.left(4));
}

struct Kind
{
    const char16_t *one;
    const char16_t *many;
};

const Kind kinds[] = {{u"commune", u"communes"},
                      {u"commune associée", u"communes associées"},
                      {u"commune déléguée", u"communes déléguées"}};

// « 6 communes », « une commune et 5 communes déléguées ».
QString countText(const std::vector<CommuneThen> &found)
{
    QStringList parts;
    for (const Kind &kind : kinds) {
        const auto count = std::count_if(found.begin(), found.end(),
                                         [&](const CommuneThen &then) { return then.type == QStringView(kind.one); });
        if (count == 1)
            parts << QStringLiteral("une %1").arg(QStringView(kind.one));
        else if (count > 1)
            parts << QStringLiteral("%1 %2").arg(count).arg(QStringView(kind.many));
    }
    const QString last = parts.isEmpty() ? QString() : parts.takeLast();
    return parts.isEmpty() ? last : parts.join(QStringLiteral(", ")) + QStringLiteral(" et ") + last;
}

} // namespace

QString communeThenText(const CommuneThen &then)
{
    QStringList parts{then.name, then.code};
    if (then.type != QStringLiteral("commune"))
        parts << then.type;
    parts << then.departement;
    // A change ends a state the day before it takes effect.
    if (!then.began.isEmpty() && !then.ended.isEmpty())
        parts << QStringLiteral("du %1 au %2").arg(frenchDate(then.began), frenchDate(dayBefore(then.ended)));
    else if (!then.began.isEmpty())
        parts << QStringLiteral("depuis le %1").arg(frenchDate(then.began));
    else if (!then.ended.isEmpty())
        parts << QStringLiteral("jusqu'au %1").arg(frenchDate(dayBefore(then.ended)));
    parts.removeAll(QString());
    return parts.join(QStringLiteral(", "));
}

QStringList dateAnswerLines(QStringView typed, const CommuneStates &states, const TodayCommune &today)
{
    if (typed.isEmpty())
        return {QStringLiteral("Tapez une date (%1) pour voir la commune à ce jour").arg(forms)};
    const std::optional<DatePeriod> period = parseDatePeriod(typed);
    if (!period && partOfDate(typed))
        return {QStringLiteral("Date : %1… (%2)").arg(typed, forms)};
    if (!period)
        return {QStringLiteral("« %1 » n'est pas une date : %2 ; Retour arrière efface").arg(typed, forms)};
    const std::optional<std::vector<CommuneThen>> found = communeOnDate(states, today, *period);
    if (!found)
        return {noHistorySentence()};
    const QString when = periodText(*period);
    QStringList lines;
    if (found->empty())
        lines << QStringLiteral("%1, %2 n'est pas encore une commune de l'histoire : elle y entre plus tard.")
                     .arg(when, today.name);
    else if (found->size() == 1)
        lines << QStringLiteral("%1 : %2").arg(when, communeThenText(found->front()));
    else
        lines << QStringLiteral("%1 : %2").arg(when, countText(*found));
    for (size_t i = 0; found->size() > 1 && i < found->size(); ++i)
        lines << communeThenText((*found)[i]);
    // The history starts in 1943: what was before reads as it stood then.
    if (period->first < QLatin1String("1943-01-01"))
        lines << QStringLiteral("L'histoire ne remonte qu'à 1943 : voici la commune telle qu'elle était alors.");
    return lines;
}
