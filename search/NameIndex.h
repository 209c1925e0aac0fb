#pragma once

#include "store/Recordset.h"

#include <QHash>
#include <QString>
#include <vector>

class Query;

// Whether a typed text has a wildcard (LikePattern.h): a text without is a
// plain name, found by its folded form alone.
bool hasWildcard(QStringView text);

// The names of a whole table (its column commune) by their text, for the
// many searches of a batch: a search for a plain name (no wildcard) is then a
// look-up instead of a scan, and finds exactly the rows the scan finds
// (CommuneSearch.h): a name whose folded form is the folded text, or whose
// stored form is the text as typed.
class NameIndex
{
public:
    explicit NameIndex(const Recordset &records);

    // The rows, in table order, whose name a plain name finds.
    std::vector<int> find(const Query &query) const;

private:
    QHash<QString, std::vector<int>> m_folded;
    QHash<QString, std::vector<int>> m_stored;
};
