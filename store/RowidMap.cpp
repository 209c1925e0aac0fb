#include "store/RowidMap.h"

#include <algorithm>

void RowidMap::finish()
{
    bool numbered = true;
    for (size_t row = 0; numbered && row < m_rowids.size(); ++row)
        numbered = m_rowids[row] == qint64(row) + 1;
    if (numbered)
        m_rowids = {};
    else
        m_rowids.shrink_to_fit();
}

std::optional<int> RowidMap::rowOf(qint64 rowid, size_t rowCount) const
{
    if (m_rowids.empty()) {
        if (rowid < 1 || quint64(rowid) > rowCount)
            return std::nullopt;
        return int(rowid - 1);
    }
    const auto at = std::lower_bound(m_rowids.begin(), m_rowids.end(), rowid);
    if (at == m_rowids.end() || *at != rowid)
        return std::nullopt;
    return int(at - m_rowids.begin());
}
