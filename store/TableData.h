#pragma once

#include "store/Column.h"
#include "store/FoldedNames.h"
#include "store/LazyIndex.h"
#include "store/RowidMap.h"

#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// A table read whole into memory, one typed column after another, so that a
// scan down a column walks one block of memory in order.
struct TableData
{
    QString name;
    QStringList columns;
    std::vector<Column> data; // one per name in columns
    // The commune names folded for searching, made with the table; none
    // when the table has no commune column.
    std::shared_ptr<const FoldedNames> foldedNames;
    // The rowids of the rows, where the engine has them and they are not
    // simply 1..n.
    RowidMap rowids;
    // The memory the table was allowed to hold; indexes made from it later
    // are held to the same limit.
    size_t memoryLimit = SIZE_MAX;
    // The geographic index of the positions, made when first asked for.
    std::shared_ptr<LazyIndex> geoIndex = std::make_shared<LazyIndex>();

    size_t rowCount() const { return data.empty() ? 0 : data.front().size(); }

    // A cell as a QVariant: null for NULL, QString for text, double or
    // qlonglong for numbers.
    QVariant cell(size_t row, int column) const { return data[size_t(column)].value(row); }

    // Column index for a field name compared without regard to case, or -1.
    int columnIndex(QStringView field) const
    {
        for (int i = 0; i < columns.size(); ++i)
            if (QStringView(columns[i]).compare(field, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    size_t memoryBytes() const
    {
        size_t bytes = 0;
        for (const Column &column : data)
            bytes += column.memoryBytes();
        return bytes + rowids.memoryBytes() + (foldedNames ? foldedNames->memoryBytes() : 0);
    }
};

// A check of one record of a table being read, run as soon as the record is
// whole, so that a bad record stops the read at once; it throws
// DatabaseError to refuse the table.
using RecordCheck = std::function<void(const TableData &table, size_t row)>;
