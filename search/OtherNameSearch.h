#pragma once

#include "search/Match.h"
#include "search/NameIndex.h"
#include "search/Query.h"
#include "store/Database.h"

#include <optional>
#include <vector>

// A table of other names of the store, read once: autres_noms (the names of
// communes déléguées and associées, of former communes, of arrondissements,
// each with its kind in `nature`, the insee1 rowid in `actuelle` and, for an
// arrondissement, its postal code in `codepos`), or historique (every name a
// commune bore since 1943 and lost by a merger, an association, a commune
// nouvelle or a renaming, the same columns but codepos; the kind reads
// « fusion, 1943 »; only names that no current commune bears); each may
// tell its way to the commune in `etapes` (HistorySteps.h). The names are
// folded as insee1's are. A file without the table has no other names.
class OtherNameTable
{
public:
    OtherNameTable(Database &db, const QString &table);

    // Every name that matches the query, leading to its commune of `communes`
    // (the whole insee1), in the order of the communes; a row that leads to no
    // commune of the table is passed over.
    std::vector<Match> find(const Recordset &communes, const Query &query) const;

    // Whether any name of the table matches, wherever it leads.
    bool anyMatches(const Query &query) const;

    // For many searches: a plain name is then a look-up instead of a scan.
    void buildIndex();

private:
    std::optional<Recordset> m_rows;
    int m_names = -1;
    int m_kinds = -1;
    int m_targets = -1;
    int m_codes = -1; // -1: the table names no postal code
    int m_steps = -1; // -1: the table tells no steps (a user's own file)
    std::optional<NameIndex> m_index;

    std::vector<int> matchingRows(const Query &query) const;
};
