#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// One step of a former commune's way to today's: the change (« fusion »,
// « commune nouvelle », « rétablissement »...), its date (AAAA-MM-JJ) and the
// commune it became or joined then, with that commune's INSEE code of the time.
struct HistoryStep
{
    QString kind;
    QString date;
    QString name;
    QString code;

    bool operator==(const HistoryStep &other) const
    {
        return kind == other.kind && date == other.date && name == other.name && code == other.code;
    }
};

// The steps as the store's column etapes holds them: « nature|date|commune|code »
// separated by « ; », the oldest first. A part that is not four fields (a
// damaged file) is passed over; an empty text has none.
std::vector<HistoryStep> parseHistorySteps(QStringView stored);

// The steps written as parseHistorySteps reads them.
QString storedHistorySteps(const std::vector<HistoryStep> &steps);

// A date of the history in French: « 28 février 2000 », « 1er janvier 2016 »;
// the text as it is when it is not a date AAAA-MM-JJ.
QString frenchDate(QStringView isoDate);

// « OCTEVILLE → CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN
// COTENTIN (commune nouvelle, 1er janvier 2016) »: the whole way from the
// former name to `current`, today's commune, named at the end when the last
// step does not name it already.
QString wayText(const QString &from, const std::vector<HistoryStep> &steps, const QString &current);

// The same way for a short line: the steps between the first and the last
// left out (« OCTEVILLE → … → CHERBOURG EN COTENTIN (fusion, 2000 ; commune
// nouvelle, 2016) »); the whole way when it has one step.
QString shortWayText(const QString &from, const std::vector<HistoryStep> &steps, const QString &current);
