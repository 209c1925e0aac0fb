#pragma once

#include "history/CommuneStates.h"

#include <QString>
#include <optional>
#include <vector>

// Today's commune as the window shows it: its insee1 rowid, its name as
// INSEE writes it and its INSEE code.
struct TodayCommune
{
    qint64 rowid = -1;
    QString name;
    QString code;
};

// A commune, associée or déléguée that today's commune was, was made of or
// was part of during a period: its name as INSEE wrote it then, its code and
// kind of then, the département of the period's first day. `began` and
// `ended` (the day of the change that ended it) are given only when they
// fall within the period: it was not so the whole time.
struct CommuneThen
{
    QString name;
    QString code;
    QString type;
    QString departement;
    QString began;
    QString ended;
};

// What today's commune was during the period, each as --date reads it: the
// states that lead to it and held on a day of the period, and the commune
// itself when it has been as it is since before the history; by code, then
// by the day each began. None for a file without the states.
std::optional<std::vector<CommuneThen>> communeOnDate(const CommuneStates &states, const TodayCommune &today,
                                                      const DatePeriod &period);
