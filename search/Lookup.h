#pragma once

#include "names/Suggestions.h"
#include "search/SearchTables.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What a search's answer means, decided here once for the window and every
// command of the command line.
enum class Outcome : std::uint8_t {
    Found,       // one commune
    Homonyms,    // several communes share the name or the code
    OtherName,   // found only through other names (a commune déléguée, a former commune...)
    None,        // nothing found: the suggestions say what the text may mean
    NothingHere, // a place where no commune lies near: the nearest and its distance are told
    Refused,     // a text that cannot be searched: the reason says why
};

// A place the text names (a square, a position) is answered by the commune
// nearest to it only this far away; beyond, no commune lies there.
inline constexpr double NearKm = 20;

// The commune nearest to the place a text names, and how far from it.
struct NearestCommune
{
    int row = -1;
    double km = 0;
};

// The answer to one search.
struct Lookup
{
    Outcome outcome = Outcome::None;
    std::optional<Query> query; // as made of the text; none when it could not be
    SearchMatches matches;      // for NothingHere, the nearest commune as found
    RefusalReason reason = RefusalReason::None;
    QString why; // a refusal in French
    // The nearest commune to a square without a commune in it or to a
    // position: the one answered, or, for NothingHere, the one too far.
    std::optional<NearestCommune> nearest;
    std::vector<Suggestion> suggestions; // after a miss, when asked for
};

// Whether a search that found nothing also says which names the text may mean.
enum class Suggest : std::uint8_t { AfterMiss, Never };

// Searches the text with what the caller knows besides (a postal code, a
// département, a date), and says what the answer means.
Lookup lookUp(SearchTables &tables, QStringView text, const Constraints &constraints = {},
              Suggest suggest = Suggest::AfterMiss);
// The same for a query already made (a point of the map).
Lookup lookUp(SearchTables &tables, const Query &query, Suggest suggest = Suggest::AfterMiss);

// The French words for an outcome, as the batch's field statut gives them:
// « trouvée », « homonymes », « autre nom », « aucune », « refusée ».
QString outcomeWords(Outcome outcome);

// What a command says of NothingHere: « Aucune commune dans ce carré : la
// plus proche, HENDAYE, est à 101 km. », « Aucune commune à moins de 20 km de
// ce point : ... ».
QString nothingHereText(const Recordset &communes, const Lookup &answer);
