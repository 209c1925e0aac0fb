#pragma once

#include "search/NamePattern.h"
#include "search/SearchMatches.h"
#include "store/Database.h"

#include <vector>

// A current commune found by another name (SearchMatches.h).
struct OtherNameMatch
{
    int row; // in table insee1
    OtherName other;
    QString code; // an arrondissement's own postal code; empty for the other kinds
};

// Every name of table autres_noms that matches, leading to its commune of
// `communes` (the whole insee1), in table order. The table is the shipped
// store's: the other name in `commune`, folded as insee1 names are, its kind
// in `nature`, the insee1 rowid in `actuelle`, a postal code in `codepos`.
// A file without it (a user's own insee.mdb) has no other names, and a row
// that leads to no commune of the table is passed over.
//
// Another table of the same columns may be named instead (the history of
// HistorySearch.h); without a codepos column, no match carries a code.
std::vector<OtherNameMatch> findCommunesByOtherName(Database &db, const Recordset &communes, const NamePattern &pattern,
                                                    const QString &table = QStringLiteral("autres_noms"));
