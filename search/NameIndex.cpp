#include "search/NameIndex.h"

#include "search/Query.h"
#include "store/NameFolding.h"

#include <algorithm>

NameIndex::NameIndex(const Recordset &records) : m_records(records)
{
    const Column &names = records.column(records.fieldIndex(u"commune"));
    const FoldedNames *folded = records.foldedNames();
    const bool sameAsNames = names.isAllText() && (!folded || folded->sameAsNames());
    const auto made = [this](QString text) {
        m_texts.push_back(std::make_unique<QString>(std::move(text)));
        return QStringView(*m_texts.back());
    };
    m_stored.reserve(qsizetype(names.size()));
    for (size_t row = 0; row < names.size(); ++row) {
        if (names.isNull(row))
            continue; // a NULL name matches nothing
        // A number stored as a name is matched as it reads.
        const QStringView stored =
            names.kind(row) == Column::Kind::Text ? names.text(row) : made(names.value(row).toString());
        m_stored[stored].push_back(int(row));
        if (sameAsNames)
            continue;
        if (folded && !folded->sameAsNames()) {
            const std::uint64_t place = folded->cells()[row];
            m_folded[QStringView(folded->chars() + std::uint32_t(place), qsizetype(place >> 32))].push_back(int(row));
        } else {
            m_folded[made(foldName(stored))].push_back(int(row));
        }
    }
    if (sameAsNames)
        m_folded = m_stored;
}

std::vector<int> NameIndex::find(const Query &query) const
{
    std::vector<int> rows = m_folded.value(QStringView(query.folded()));
    if (query.folded() == query.typed())
        return rows;
    const std::vector<int> asTyped = m_stored.value(QStringView(query.typed()));
    if (!asTyped.empty()) {
        std::vector<int> both;
        std::set_union(rows.begin(), rows.end(), asTyped.begin(), asTyped.end(), std::back_inserter(both));
        rows = std::move(both);
    }
    return rows;
}
