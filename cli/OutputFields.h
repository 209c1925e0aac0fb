#pragma once

#include "cli/RecordWriter.h"
#include "history/CommuneEvents.h"
#include "search/FindCommunes.h"
#include "search/Lookup.h"
#include "search/SearchMatches.h"
#include "store/Recordset.h"

#include <QString>
#include <QStringList>
#include <vector>

// What kept a batch line from being searched.
enum class LineFault : std::uint8_t {
    None,
    Empty,      // « vide »: an empty line
    Unreadable, // « illisible »: a malformed CSV line, told on standard error
};

// One line of the command line's output: a commune found (or none), with
// what the search knew about it.
struct Answer
{
    QString query;                   // the text searched, as read (the batch mode's recherche)
    Outcome outcome = Outcome::None; // the batch mode's statut, with the line's fault
    LineFault fault = LineFault::None;
    int row = -1;  // the commune's row of insee1; -1 for none
    int count = 0; // how many communes the search found
    QString code;  // the postal code that matched, if any
    QString codes; // every postal code of the commune, blank-separated
    OtherName other;
    QString kind; // how it was found, in French (matchKindWords)
    MatchKind matchKind = MatchKind::Name;
    QString held;        // which constraints held (the batch's contrainte)
    QString distanceKm;  // from the --depuis place, or from the --autour one
    QString azimut;      // from the --depuis place
    QString reason;      // what needed a repair, in French (the field raison)
    QString runnerUp;    // the batch's next choice among homonyms: name (code, département)
    QString suggestions; // for a batch line that found nothing: the names it may mean
    // « Cherbourg-en-Cotentin, 50129, 50100, Manche, Normandie, France »:
    // the place as genealogy software files it (placeText).
    QString place;
    // With a date: the date asked, and the commune found as it was then.
    QString date;
    QString nameThen;
    QString codeThen;
    QString typeThen;
    QString departementThen;
    CommuneEvent event; // for --historique: the change of the line
};

// The columns of insee1 a line reads, found once for a whole output.
struct CommuneColumns
{
    explicit CommuneColumns(const Recordset &records);

    const Recordset &records;
    int commune;
    int longitude;
    int latitude;
    int codepos;
    int departement;
    int codeInsee;  // -1 when the file has no code_insee column
    int nom;        // the name as INSEE writes it; -1 when the file has none
    int population; // -1 when the file has none
};

// An output field: its name (the header's, JSON's key), how JSON gives it,
// its text for one answer ("" when there is no commune), and what --help
// says of it in brackets after its name (UTF-8; none for a plain one).
struct OutputField
{
    const char *name;
    JsonShape shape;
    QString (*text)(const CommuneColumns &, const Answer &);
    const char *help = nullptr;
};

// The fields of `topovil --chercher`, in their order: the first six of old,
// then those every line has since.
const std::vector<OutputField> &searchFields();
// The fields --depuis adds to every commune, and the one --autour adds,
// before the fields every line has had since (codes_postaux, correspondance,
// nom, etapes).
const std::vector<OutputField> &distanceFields();
const std::vector<OutputField> &aroundFields();
const std::vector<OutputField> &laterSearchFields();
// The fields a date adds after all others: date, commune_date,
// code_insee_date, type_date, departement_date.
const std::vector<OutputField> &dateFields();
// « Commune, code INSEE, code postal, département, région, France »: the
// commune of `row` as genealogy software files places, with its official
// name and today's département and région; a field the file does not know
// (a user's own insee.mdb has no INSEE code, no région) is left empty.
QString placeText(SearchTables &tables, const CommuneColumns &columns, int row, const QString &postcode);

// Fills the date fields of an answer found by a search at a date, and its
// place with the names of that day (no région before those of 2016).
void addDateFields(SearchTables &tables, const Match &match, const Query &query, Answer &answer);

// The result fields of `topovil --lot`, after the input's own columns.
const std::vector<OutputField> &batchFields();

// The fields of `topovil --historique`, one change a line: the commune, then
// the change (CommuneEvent) with the départements of its codes that are no more.
const std::vector<OutputField> &historyFields();

QStringList fieldNames(const std::vector<OutputField> &fields);
// The fields as --help lists them: « a, b (what b is), c et d » with their
// glosses, or their names alone; fields side by side with the same gloss
// are told together, « avant et code_avant (...) ». `last` joins the last
// one: « et » or a comma, as each help reads.
enum class FieldHelp { Names, Glossed };
QString fieldHelp(const std::vector<OutputField> &fields, FieldHelp style, QLatin1String last);
// How JSON gives each field, in their order.
std::vector<JsonShape> numberFlags(const std::vector<OutputField> &fields);
QStringList fieldTexts(const std::vector<OutputField> &fields, const CommuneColumns &columns, const Answer &answer);
// The same, after the texts already there (a batch line's own columns).
void appendFieldTexts(QStringList &texts, const std::vector<OutputField> &fields, const CommuneColumns &columns,
                      const Answer &answer);

// One answer of a search: the match at `index` and what the command line
// says of it.
Answer answerOf(SearchTables &tables, const CommuneColumns &columns, const SearchMatches &matches, int index);

// A commune named for a reader who must tell it from others: « PASSY (71220,
// SAONE-ET-LOIRE) », with the postal code that matched, else its first.
QString communeWithPlace(const CommuneColumns &columns, int row, const QString &code);
