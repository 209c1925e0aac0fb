#pragma once

#include "history/DepartementNames.h"
#include "store/Database.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <unordered_set>

// A date as the command line takes it, AAAA, AAAA-MM or AAAA-MM-JJ, read as
// the days it spans: its first and its last, AAAA-MM-JJ.
struct DatePeriod
{
    QString first;
    QString last;
};

// None for a text that is no such date (« 1950-13 », « 1950-02-30 », « hier »).
std::optional<DatePeriod> parseDatePeriod(QStringView text);

// What the communes were, between two changes, as the store's table etats
// holds them: each commune, associée or déléguée of the history with its
// code and name of that time, the day it began (empty: before the history)
// and the day of the change that ended it (empty: it still is), and the
// insee1 rowid of the commune it leads to today. A current commune as it has been
// since before the history has no row. A file without the table (a user's
// own insee.mdb) has no states: available() is false.
class CommuneStates
{
public:
    explicit CommuneStates(Database &db);

    bool available() const { return m_rows.has_value(); }
    // The rows, for a search of their names (column commune).
    const Recordset &rows() const { return *m_rows; }
    // Whether the state of `row` held on a day of the period.
    bool heldDuring(int row, const DatePeriod &period) const;
    // The day it began (empty: before the history) and the day of the change
    // that ended it (empty: it still is).
    QString began(int row) const;
    QString ended(int row) const;
    QString code(int row) const;
    QString type(int row) const; // « commune », « commune associée », « commune déléguée »
    // Its name of the time as INSEE wrote it (« Octeville »); empty in a file without it.
    QString officialName(int row) const;
    qint64 target(int row) const;
    // Whether today's commune of this rowid has been as it is only since a
    // change (it has a row that still holds): its insee1 name and code are
    // then not those it bore before.
    bool changedSince1943(qint64 rowid) const { return m_changed.count(rowid) > 0; }
    // The départements' names, to say where a state was.
    const DepartementNames &departements() const { return m_departements; }

private:
    QString text(int column, int row) const;

    std::optional<Recordset> m_rows;
    int m_code = -1;
    int m_type = -1;
    int m_from = -1;
    int m_until = -1;
    int m_target = -1;
    int m_official = -1;
    std::unordered_set<qint64> m_changed;
    DepartementNames m_departements;
};

// « ce fichier de données ne dit pas l'histoire des communes »: what every
// question of history says of a file without it, each adding its own words.
QString noHistoryText();
// The same as a sentence of its own, as the window shows it.
QString noHistorySentence();
// What a search at a date says of such a file.
QString dateNeedsHistory();
