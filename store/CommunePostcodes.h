#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;
class Recordset;

// Every postal code of each commune of table insee1: those of table
// codes_postaux when the file has it (the shipped store: the insee1 rowid in
// its column commune, the codes in its order), else the commune's codepos
// alone (a user's own insee.mdb). Read once, for the whole table.
class CommunePostcodes
{
public:
    CommunePostcodes() = default;
    static CommunePostcodes read(Database &db, int communeCount);

    // The codes of the commune at `row` (from 0), its codepos first when
    // the table lists it among them; `codepos` alone when the table has none.
    QStringList of(int row, const QString &codepos) const;

private:
    std::vector<QStringList> m_codes;
};

// « 13080 (+4) »'s second part: how many more codes than the one shown,
// empty when there are none.
QString otherPostcodesText(const QStringList &codes);
