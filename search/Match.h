#pragma once

#include "history/HistorySteps.h"

#include <QString>
#include <QStringView>
#include <cstdint>

// How a search found a commune. The kinds of other names (a commune déléguée
// or associée, an arrondissement, a former commune, a name lost since 1943)
// each have their own, so that a caller tells them apart without reading
// the stored French words.
enum class MatchKind : std::uint8_t {
    Name,            // its current name
    Deleguee,        // the name of one of its communes déléguées
    Associee,        // the name of one of its communes associées
    Arrondissement,  // the name of one of its municipal arrondissements
    FormerCommune,   // the name of a former commune merged into it
    FormerName,      // a name it or a commune merged into it bore since 1943
    PostOffice,      // the label of a post office of its own (PUYRICARD for Aix-en-Provence)
    Postcode,        // one of its postal codes
    InseeCode,       // its INSEE code
    FormerInseeCode, // the INSEE code of a commune it took in, or its own before a change
    UsualForm,       // a usual way of writing its name (an article added or left out, 75000)
    Locator,         // its grid locator lies in the typed square
    Coordinates,     // nearest to the typed position
    Nearest,         // nearest to a point of the map
    Correction,      // the one name near a misspelt one among the communes of the code given
    AtDate,          // the name or code it, or a commune it took in, bore on the date given
};

// How a text that found nothing as written was read again, as lists write
// names: the answer then says which repair found it.
enum class Repair : std::uint8_t {
    None,
    ArticleLast, // « FRETTE SUR SEINE (LA) »
    Abbreviated, // La Poste's short words: « RAISSAC S LAMPY »
    Cut,         // cut before its end: « VILLENEUVE RENNEVILLE CH »
    Cedex,       // « LYON CEDEX 03 »
    Misspelt,    // « MARSEILE » beside 13008
};

// Another name of a commune, by which a search found it: the name of one of
// its communes déléguées or associées, of a former commune merged into it,
// of one of its municipal arrondissements; its kind as the store words it
// (« commune déléguée », « fusion, 1943 »), and its way to the commune, step
// by step, when the store tells it.
struct OtherName
{
    QString name;
    QString kind;
    std::vector<HistoryStep> steps;
};

// One commune a search found, and how.
struct Match
{
    int row = -1; // in table insee1
    MatchKind kind = MatchKind::Name;
    QString code;    // the postal or INSEE code that matched; an arrondissement's own postal code;
                     // at a date, the INSEE code of that day
    OtherName other; // the other name that matched, for the kinds of other names and former codes;
                     // at a date, the name and type (« commune associée ») of that day
    int year = 0;    // the year of the step that ended a former name or code, when the store tells it
    Repair repair = Repair::None;
};

// The kinds found through another name of the commune, which the batch
// reports as « autre nom ».
bool isOtherName(MatchKind kind);

// The kind of another name from the store's word for it: « commune déléguée »,
// « arrondissement municipal »..., a dated step of the history (« fusion,
// 1965 ») for anything else.
MatchKind otherNameKind(QStringView stored);

// The year at the end of a stored kind (« fusion, 1965 »); 0 without one.
int yearOfKind(QStringView stored);

// The French words for how a match was found, as the command line's field
// correspondance gives them: « nom », « autre nom : commune déléguée »,
// « code postal », « code INSEE »...
QString matchKindWords(const Match &match);

// The French words for a repair, as the command line's field raison gives
// them: « article en fin », « abréviation La Poste »...; empty for none.
QString repairWords(Repair repair);
