#pragma once

#include "search/LikePattern.h"
#include "store/Database.h"

#include <QString>
#include <vector>

// A search text made only of digits and wildcards (? * # and lists of
// digits), with at least two digits, asks for a postal code: no commune
// name of the shipped table holds a digit.
bool isPostcodeText(QStringView typed);

// A commune found by one of its postal codes: its row in table insee1 and
// the first of its codes that matched.
struct PostcodeMatch
{
    int row;
    QString code;
};

// Every commune of `communes` (the whole insee1) one of whose postal codes
// matches, in table order. The codes are those of table codes_postaux when
// the file has it (the shipped table: every code of each commune, the
// insee1 rowid in its column commune), else the codepos field. Throws
// DatabaseError when neither can be read.
std::vector<PostcodeMatch> findCommunesByPostcode(Database &db, const Recordset &communes, const LikePattern &pattern);
