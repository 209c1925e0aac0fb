#pragma once

#include "store/Database.h"

#include <QStringList>
#include <optional>
#include <vector>

// Every postal code of each commune of table insee1, read once: those of
// table codes_postaux when the file has it (the shipped store: the insee1
// rowid in its column commune, the codes in its order; a few candidate rows
// of insee1 find theirs by their rowids too), else the commune's
// codepos alone (a user's own insee.mdb).
class PostalCodes
{
public:
    // `candidates`: the communes are a few rows of insee1, whose codes alone
    // are read when the store can select them.
    PostalCodes(Database &db, const Recordset &communes, bool candidates = false);

    // The codes of the commune at `row`; its codepos when the table lists none.
    QStringList of(int row) const;
    // Whether `code` is one of them, read in place: the batch asks it of
    // every commune a constraint may keep.
    bool has(int row, QStringView code) const;
    // The same, in one text, separated by blanks.
    QString joined(int row) const;
    // The codes with the commune's own codepos first, as the record shows it
    // when no code matched (and added when the table does not list it).
    QStringList codeposFirst(int row) const;

private:
    Recordset m_communes;
    int m_codepos;
    std::optional<Recordset> m_codes; // table codes_postaux
    int m_codeColumn = -1;
    // The rows of codes_postaux of each commune: those of commune i run from
    // m_first[i] to m_first[i + 1] in m_byCommune.
    std::vector<int> m_first;
    std::vector<int> m_byCommune;
};

// « 13080 (+4) »'s second part: how many more codes than the one shown,
// empty when there are none.
QString otherPostcodesText(const QStringList &codes);
