#include "history/HistorySteps.h"

#include <QDate>
#include <QStringList>
#include <array>

namespace {

const std::array<const char16_t *, 12> monthNames = {u"janvier",   u"février", u"mars",     u"avril",
                                                     u"mai",       u"juin",    u"juillet",  u"août",
                                                     u"septembre", u"octobre", u"novembre", u"décembre"};

QString stepNote(const HistoryStep &step)
{
    return QStringLiteral("%1, %2").arg(step.kind, frenchDate(step.date));
}

QString yearOf(const HistoryStep &step)
{
    return step.date.left(4);
}

} // namespace

std::vector<HistoryStep> parseHistorySteps(QStringView stored)
{
    std::vector<HistoryStep> steps;
    if (stored.isEmpty())
        return steps;
    for (const QStringView part : stored.split(u';')) {
        const QList<QStringView> fields = part.split(u'|');
        if (fields.size() != 4)
            continue;
        steps.push_back({fields[0].toString(), fields[1].toString(), fields[2].toString(), fields[3].toString()});
    }
    return steps;
}

QString storedHistorySteps(const std::vector<HistoryStep> &steps)
{
    QStringList parts;
    for (const HistoryStep &step : steps)
        parts << QStringList{step.kind, step.date, step.name, step.code}.join(u'|');
    return parts.join(u';');
}

QString frenchDate(QStringView isoDate)
{
    const QDate date = QDate::fromString(isoDate.toString(), Qt::ISODate);
    if (!date.isValid() || isoDate.size() != 10)
        return isoDate.toString();
    const QString day = date.day() == 1 ? QStringLiteral("1er") : QString::number(date.day());
    return QStringLiteral("%1 %2 %3")
        .arg(day, QString::fromUtf16(monthNames[size_t(date.month() - 1)]), QString::number(date.year()));
}

QString wayText(const QString &from, const std::vector<HistoryStep> &steps, const QString &current)
{
    QString text = from;
    for (const HistoryStep &step : steps)
        text += QStringLiteral(" → %1 (%2)").arg(step.name, stepNote(step));
    if (steps.empty() || steps.back().name != current)
        text += QStringLiteral(" → ") + current;
    return text;
}

QString shortWayText(const QString &from, const std::vector<HistoryStep> &steps, const QString &current)
{
    if (steps.size() < 2)
        return wayText(from, steps, current);
    const HistoryStep &first = steps.front();
    const HistoryStep &last = steps.back();
    return QStringLiteral("%1 → … → %2 (%3, %4 ; %5, %6)")
        .arg(from, current, first.kind, yearOf(first), last.kind, yearOf(last));
}
