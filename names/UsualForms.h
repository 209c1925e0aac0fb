#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// The ways people write a commune that its table names otherwise.

// Both read the search text in its folded form (NameFolding.h), which the
// query made once.

// « Paris 15e », « PARIS 15 », « Marseille 1er arrondissement »: the name of
// that municipal arrondissement as autres_noms holds it (PARIS 15E
// ARRONDISSEMENT), or an empty text for anything else.
QString arrondissementName(QStringView folded);

// The INSEE code of a municipal arrondissement (75101 to 75120, 13201 to
// 13216, 69381 to 69389): its name as arrondissementName gives it, or an
// empty text for any other code.
QString arrondissementOfInseeCode(QStringView typed);

// The text with its leading article (LE, LA, LES, L') taken away, or with
// each of them put before it when it has none.
QStringList articleVariants(QStringView folded);

// 75000, 69000, 13000, the codes people write for a whole city with
// arrondissements, which no post office bears: the city's name, or an
// empty text.
QString cityOfWholeCityCode(QStringView typed);

// The ways office lists and La Poste write a name, read only when the text as
// written found nothing.

// « FRETTE SUR SEINE (LA) », « Havre (Le) », « HERBERGEMENT (L') »: the text
// with its article put back in front (LA FRETTE SUR SEINE); empty when it
// does not end with an article in brackets.
QString articleInFront(QStringView typed);

// A CEDEX line: « 69421 LYON CEDEX 03 », « LYON CEDEX 3 », « LYON CEDEX ».
struct CedexLine
{
    QString name;
    QString postcode; // written before the name; empty when none is
};
// Nothing for a text without the word CEDEX after a name.
std::optional<CedexLine> readCedexLine(QStringView typed);

// How a label writes a name, both folded (NameFolding.h): word for word, each
// word of the label beginning the name's word at its place (« S » for SUR,
// « VIL » for VILLENEUVE, « STES » for SAINTES), the name's short words (DE,
// LA, ET...) left out at will.
enum class PosteSpelling {
    Other,       // not that name
    Abbreviated, // every word of the name is there, some shortened or left out
    Cut,         // the label stops before the name ends, or inside its last word
};
PosteSpelling posteSpelling(QStringView label, QStringView name);

// A postal code as a spreadsheet may have damaged it: blanks inside are no
// part of it, and four digits have lost their leading 0 (« 4180 »).
struct PostcodeText
{
    QString code;
    bool zeroAdded = false;
};
PostcodeText readPostcode(QStringView written);
