#pragma once

#include "store/Recordset.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class Query;

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
    // Keyed by views of the names in the table's own buffers, or in m_texts
    // for the few names that had to be made (folded, or numbers).
    QHash<QStringView, std::vector<int>> m_folded;
    QHash<QStringView, std::vector<int>> m_stored;
    std::vector<std::unique_ptr<QString>> m_texts;
    Recordset m_records; // keeps the buffers the views read
};
