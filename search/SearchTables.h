#pragma once

#include "history/CommuneStates.h"
#include "history/DepartementNames.h"
#include "names/Suggestions.h"
#include "search/OtherNameSearch.h"
#include "search/Query.h"
#include "search/SearchMatches.h"
#include "store/Database.h"
#include "store/PostalCodes.h"

#include <functional>
#include <memory>
#include <optional>

// What the searches read: the store, its communes, and what a run of many
// searches keeps between them (the other names, the postal codes, the
// indexes of names).
class SearchTables
{
public:
    // The whole table insee1 of the store, already read.
    SearchTables(Database &db, const Recordset &communes);
    // The store alone: a plain name is first looked for among the rows that
    // may hold it (openCommuneCandidates), and the whole table is read only
    // when that is not enough. communes() then says which table the matches'
    // rows are of.
    explicit SearchTables(Database &db);

    Database &db() const { return m_db; }
    // The table the rows of the last search's matches index.
    const Recordset &communes();
    // Whether the matches' rows are of the whole table, not of a few candidates.
    bool hasWholeTable() const { return m_whole != nullptr; }

    // For a batch: a plain name, current or other, becomes a look-up.
    void indexNames();

    // The parts that finders read, made when first asked.
    const NameIndex *nameIndex() const { return m_names ? &*m_names : nullptr; }
    const OtherNameTable &otherNames();
    const OtherNameTable &history();
    const OtherNameTable &postOffices();
    const PostalCodes &postalCodes();
    // What the communes were between two changes, for a search at a date.
    const CommuneStates &states();
    // The départements' names of today and of the past, for the places written out.
    const DepartementNames &departements();
    // The code of a commune's département (« 74 », « 2A »), and its name folded.
    QString departementCode(int row);
    QString departementName(int row);

    // The names proposed after a search that found nothing: from the index
    // the caller lends (the window makes its own while the user types), else
    // from one made when first asked; none when the lender has none.
    const SuggestionIndex *suggestions();
    void lendSuggestions(std::function<const SuggestionIndex *()> lender) { m_lender = std::move(lender); }

    // A plain name found among the candidate rows, when they are enough.
    std::optional<SearchMatches> fromCandidates(const Query &query);

private:
    const Recordset &whole();
    QString departementCodeOfRow(const Recordset &communes, int row);
    bool otherNamesMayMatch(const Query &query);

    Database &m_db;
    std::optional<Recordset> m_read;       // insee1, when this object read it
    const Recordset *m_whole = nullptr;    // the whole insee1
    std::optional<Recordset> m_candidates; // the few rows a plain name was found in
    std::optional<NameIndex> m_names;
    std::optional<OtherNameTable> m_otherNames;
    std::optional<OtherNameTable> m_history;
    std::optional<OtherNameTable> m_postOffices;
    std::optional<PostalCodes> m_postalCodes;
    std::optional<CommuneStates> m_states;
    std::optional<DepartementNames> m_departements;
    std::function<const SuggestionIndex *()> m_lender;
    std::optional<SuggestionIndex> m_suggestions;
    int m_inseeColumn = -2; // -2: not looked for yet; -1: the file has none
    const Recordset *m_departementsOf = nullptr;
    std::vector<std::optional<QString>> m_departementCodes;
};
