#pragma once

#include <QString>

class Recordset;
class SearchMatches;

class QLabel;
class QLineEdit;

// The two hint lines under the search box, and the box itself.
struct HintLines
{
    QLabel *hint;       // Label7
    QLabel *secondLine; // Label2
    QLineEdit *box;     // Text7
};

// A search pattern the matcher refused is explained in the window itself:
// the hint under the search box turns red and gives the reason, over both
// hint lines, until the next key or click in the box brings the hint back.
// No window opens over the controls.
void showSearchRefusal(const HintLines &lines, const QString &reason);

// Gives the hint back at once, when a refusal is shown.
void endSearchRefusal(const HintLines &lines);

// How many communes the last search found, where the hint under the search
// box stands: « 2 sur 11 · F3 suivante » while there are several, the hint
// itself when there are one or none. A commune found by another name is
// told while it is shown: « CHERBOURG OCTEVILLE → CHERBOURG EN COTENTIN
// (commune déléguée) », before the count when there are several.
// `records` is at the shown record; the box holds the text searched.
void showMatchCount(const HintLines &lines, const Recordset &records, const SearchMatches &matches);

// After `<<` or `>>`: a record that is one of the matches becomes the shown
// match, with its count; any other record shows no count.
void showMatchCountAfterStep(const HintLines &lines, const Recordset &records, SearchMatches &matches);
