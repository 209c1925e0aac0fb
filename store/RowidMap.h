#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

// The SQLite rowids of a table's rows, read with them, so that the links the
// other tables hold (autres_noms.actuelle, codes_postaux.commune...), which are
// rowids, find their row even when rows were deleted or inserted out of
// order. The rows come in increasing rowid order. A table whose rowids are
// 1, 2, 3... (the shipped store, an Access file, a view) keeps none: row i is
// rowid i + 1.
class RowidMap
{
public:
    void add(qint64 rowid) { m_rowids.push_back(rowid); }
    // Called once every row is added: drops rowids that are their row's number.
    void finish();

    // The row of a rowid among `rowCount` rows; none when no row has it.
    std::optional<int> rowOf(qint64 rowid, size_t rowCount) const;
    qint64 rowidOf(size_t row) const { return m_rowids.empty() ? qint64(row) + 1 : m_rowids[row]; }

    size_t memoryBytes() const { return m_rowids.capacity() * sizeof(qint64); }

private:
    std::vector<qint64> m_rowids; // in row order, increasing
};
