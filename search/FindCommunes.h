#pragma once

#include "search/NameIndex.h"
#include "search/NamePattern.h"
#include "search/SearchMatches.h"
#include "store/Database.h"

// The communes a typed search text finds in the whole table `communes`, as
// the window and the command line search: by current name first; when none
// matches, by the other names of communes (OtherNameSearch.h); when none
// of those either, by grid locator for a locator (LocatorSearch.h), by
// postal code for a postal code. A batch of searches passes the index of the
// names, which answers a plain name at once.
SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed,
                           const NameIndex *names = nullptr);
