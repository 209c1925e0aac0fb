#pragma once

#include "search/NamePattern.h"
#include "search/SearchMatches.h"
#include "store/Database.h"

// The communes a typed search text finds in the whole table `communes`, as
// the window and the command line search: by current name first; when none
// matches, by the other names of communes (OtherNameSearch.h); when none
// of those either, by grid locator for a locator (LocatorSearch.h), by
// postal code for a postal code, by position for coordinates
// (PositionSearch.h; a refusal for a position off the globe).
SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed);
