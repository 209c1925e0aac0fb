#pragma once

#include "search/SearchTables.h"

#include <optional>

// A text that found nothing as written, read again as a list may have
// written it: a CEDEX line, then the article last; none when it reads the
// same. What it then finds says the repair.
struct RereadQuery
{
    Query query;
    Repair repair;
};
std::optional<RereadQuery> rereadAsListsWrite(const Query &query);

// A name that La Poste shortened or cut (`misspelt` false), or that is
// misspelt (`misspelt` true), taken only when one commune alone among those
// the constraints keep fits it: first those of the postal code given, then
// of its département, then of the département given.
std::optional<SearchMatches> findNearConstraints(SearchTables &tables, const Query &query, bool misspelt);
