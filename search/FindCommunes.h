#pragma once

#include "search/NameIndex.h"
#include "search/NamePattern.h"
#include "search/SearchMatches.h"
#include "store/Database.h"

// The communes a typed search text finds in the whole table `communes`, as
// the window and the command line search: by current name first, followed
// by the other names of communes that share it (OtherNameSearch.h); when
// none matches, by former name (HistorySearch.h); when none of those either,
// by grid locator for a locator (LocatorSearch.h), by postal code for a
// postal code, then by INSEE code (InseeCodeSearch.h); last by the usual
// forms of names (UsualForms.h: arrondissements, an article added or taken
// away); last of all by position for coordinates (PositionSearch.h; a
// refusal for a position off the globe). A batch of searches passes the
// index of the names, which answers a plain name at once.
SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed,
                           const NameIndex *names = nullptr);
