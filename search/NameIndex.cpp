#include "search/NameIndex.h"

#include "search/Query.h"
#include "store/NameFolding.h"

#include <algorithm>

bool hasWildcard(QStringView text)
{
    for (const QChar c : text) {
        if (c == u'?' || c == u'*' || c == u'#' || c == u'[')
            return true;
    }
    return false;
}

NameIndex::NameIndex(const Recordset &records)
{
    const Column &names = records.column(records.fieldIndex(u"commune"));
    const FoldedNames *folded = records.foldedNames();
    const bool sameAsNames = names.isAllText() && (!folded || folded->sameAsNames());
    for (size_t row = 0; row < names.size(); ++row) {
        if (names.isNull(row))
            continue; // a NULL name matches nothing
        // A number stored as a name is matched as it reads.
        const QString stored =
            names.kind(row) == Column::Kind::Text ? names.text(row).toString() : names.value(row).toString();
        m_stored[stored].push_back(int(row));
        if (!sameAsNames)
            m_folded[foldName(stored)].push_back(int(row));
    }
    if (sameAsNames)
        m_folded = m_stored;
}

std::vector<int> NameIndex::find(const Query &query) const
{
    std::vector<int> rows = m_folded.value(query.folded());
    if (query.folded() == query.typed())
        return rows;
    const std::vector<int> asTyped = m_stored.value(query.typed());
    if (!asTyped.empty()) {
        std::vector<int> both;
        std::set_union(rows.begin(), rows.end(), asTyped.begin(), asTyped.end(), std::back_inserter(both));
        rows = std::move(both);
    }
    return rows;
}
