#pragma once

#include "store/Database.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <vector>

// The départements' names by code, as the store's table departements holds
// them, with those of the past: Seine, Seine-et-Oise and Corse while they
// were. A file without the table (a user's own insee.mdb) has none: every
// look-up is empty.
class DepartementNames
{
public:
    explicit DepartementNames(Database &db);

    // The département of an INSEE code on a day (AAAA-MM-JJ), upper-cased
    // as the table insee1 writes it; empty for an unknown number.
    QString nameOn(QStringView inseeCode, QStringView isoDate) const;
    // The same, written with its accents and capitals (« Seine-et-Oise »,
    // « Côtes-d'Armor »).
    QString labelOn(QStringView inseeCode, QStringView isoDate) const;
    // Today's département of the code's number, written so.
    QString label(QStringView inseeCode) const;
    // The région it is in today; empty for a département that is no more,
    // or an unknown number.
    QString regionOf(QStringView inseeCode) const;

private:
    struct Stored // a row of the store's table departements
    {
        QString code;
        QString name;
        QString label;
        QString region;
    };
    const Stored *find(QStringView inseeCode) const;

    std::vector<Stored> m_departements;
    // Views of the codes above: a batch asks for every line.
    QHash<QStringView, int> m_byCode;
};
