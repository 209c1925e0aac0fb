#pragma once

#include "search/SearchTables.h"

// The communes a query finds, as the window and the command line search: the
// finders in their order (Finders.cpp), the first that finds something
// answering. With constraints, a finder whose matches they all reject hands
// on to the next; when no finder satisfies them, they are eased in this
// order: the postal code alone; the postal code's own département; the
// département given; none. The matches say which held.
//
// A text that finds nothing at all is read again as lists write names (a
// CEDEX line, the article last), and with a postal code or a département
// given, as a name that La Poste shortened or cut, or misspelt, which one
// commune of that code alone fits. Each match then says its repair.
SearchMatches findCommunes(SearchTables &tables, const Query &query);
