#pragma once

#include "app/SearchRefusal.h"

class Recordset;
class SearchMatches;

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
