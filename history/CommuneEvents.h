#pragma once

#include "store/Database.h"

#include <QString>
#include <optional>
#include <unordered_map>
#include <vector>

// One change of a commune's history since 1943, as the store's table
// evenements holds it: on that date (AAAA-MM-JJ), of that kind, the commune
// `before` (with its INSEE code of the time) became or joined `after`.
struct CommuneEvent
{
    QString date;
    QString kind;
    QString before;
    QString beforeCode;
    QString after;
    QString afterCode;
};

// The events of the commune whose insee1 rowid this is, oldest first: its
// renamings, the communes it absorbed or gave back, its changes of
// département or code. None for a file without the table (a user's own
// insee.mdb): such a file just has no history to tell.
std::optional<std::vector<CommuneEvent>> communeEvents(Database &db, qint64 rowid);
// The same for every commune at once, by rowid, the table read once: for
// the history of many communes.
std::optional<std::unordered_map<qint64, std::vector<CommuneEvent>>> allCommuneEvents(Database &db);

// The département a commune's INSEE code placed it in on a date of the
// history, when that département is no more: « Seine », « Seine-et-Oise »
// (before 1968), « Corse » (before 1976); empty for any other.
QString formerDepartement(QStringView inseeCode, QStringView isoDate);

// The day before an AAAA-MM-JJ date: the last day a commune was as it was
// before a change; the text as it is when it is no date.
QString dayBefore(const QString &isoDate);

// « 28 février 2000 · fusion · OCTEVILLE (50383) → CHERBOURG OCTEVILLE (50129) »:
// one line of a commune's history, a former département named beside its code.
QString eventText(const CommuneEvent &event);
