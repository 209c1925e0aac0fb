#pragma once

#include "search/OtherNameSearch.h"

// The current communes that a former name leads to: every name a commune
// bore since 1943 and lost by a merger, an association, a commune nouvelle or
// a renaming, in table historique of the shipped store (the columns of
// autres_noms but codepos; the kind reads « fusion, 1943 »). Only names that
// no current commune bears are there: the others are in autres_noms, read
// with the current names. A file without the table has no history.
std::vector<OtherNameMatch> findCommunesByFormerName(Database &db, const Recordset &communes,
                                                     const NamePattern &pattern);
