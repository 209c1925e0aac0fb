#pragma once

#include <QStringList>
#include <QVariant>
#include <vector>

// A table read whole into memory. A field is a QVariant: a null QVariant is a
// NULL in the file, text is a QString, numbers are double or qlonglong. The
// cells lie row after row in one block, so that a scan down a column walks
// memory in order.
struct TableData
{
    QString name;
    QStringList columns;
    std::vector<QVariant> cells;

    size_t rowCount() const { return columns.isEmpty() ? 0 : cells.size() / size_t(columns.size()); }

    const QVariant &cell(size_t row, int column) const
    {
        return cells[row * size_t(columns.size()) + size_t(column)];
    }

    // A row of exactly one value per column.
    void appendRow(std::vector<QVariant> &&row)
    {
        Q_ASSERT(row.size() == size_t(columns.size()));
        cells.insert(cells.end(), std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
    }

    // Column index for a field name compared without regard to case, or -1.
    int columnIndex(QStringView field) const
    {
        for (int i = 0; i < columns.size(); ++i)
            if (QStringView(columns[i]).compare(field, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};
