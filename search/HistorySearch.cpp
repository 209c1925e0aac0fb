#include "search/HistorySearch.h"

std::vector<OtherNameMatch> findCommunesByFormerName(Database &db, const Recordset &communes,
                                                     const NamePattern &pattern)
{
    return findCommunesByOtherName(db, communes, pattern, QStringLiteral("historique"));
}
