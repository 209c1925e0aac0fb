#pragma once

#include "search/Match.h"
#include "store/Database.h"

#include <QStringView>
#include <vector>

// A search text of the form of an INSEE commune code: five characters, the
// département's two digits (2A or 2B in Corsica, 97 and one more digit
// overseas) then the commune's digits. Blanks around it do not count.
bool isInseeCodeText(QStringView typed);

// The commune whose code (column code_insee of insee1) is the typed one, then
// those a former code leads to (table anciens_codes: a commune merged into
// another, or renumbered when it changed département). Each match tells the
// code that found it, and for a former code the name it bore and the change
// that ended it. A file without those columns finds nothing.
std::vector<Match> findCommunesByInseeCode(Database &db, const Recordset &communes, QStringView typed);
