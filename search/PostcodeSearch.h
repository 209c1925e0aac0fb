#pragma once

#include "names/LikePattern.h"
#include "search/Match.h"
#include "store/PostalCodes.h"

#include <QStringView>
#include <vector>

// A search text made only of digits and wildcards (? * # and lists of
// digits), with at least two digits, asks for a postal code: no commune
// name of the shipped table holds a digit.
bool isPostcodeText(QStringView typed);

// Every commune of `communes` (the whole insee1) one of whose postal codes
// matches, in table order, each with the first of its codes that matched.
std::vector<Match> findCommunesByPostcode(const Recordset &communes, const PostalCodes &codes,
                                          const LikePattern &pattern);
