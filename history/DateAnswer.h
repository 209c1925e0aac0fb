#pragma once

#include "history/CommuneOnDate.h"

#include <QStringList>

// The lines by which the history list answers a date typed in it (AAAA,
// AAAA-MM or AAAA-MM-JJ), as far as it is typed: the first tells the date
// and what today's commune was then, its one state on that line, or how
// many, with one line each under it. Before it is a date, the first line
// says what to type; a text that can become no date says so.
QStringList dateAnswerLines(QStringView typed, const CommuneStates &states, const TodayCommune &today);

// « Octeville, 50383, Manche, jusqu'au 27 février 2000 », « Bay, 08051,
// commune associée, Ardennes »: one state, its kind told when not a commune.
QString communeThenText(const CommuneThen &then);
