#pragma once

#include "store/TableData.h"

#include <QVariant>
#include <memory>
#include <optional>

// A cursor over the rows of a table, opened on the first record. Positions run from -1 (before the first
// record, BOF) through 0..count-1 to count (past the last record, EOF).
// Moving past either end is allowed once; moving further fails, as does
// reading a field with no current record.
class Recordset
{
public:
    Recordset() = default;
    explicit Recordset(std::shared_ptr<const TableData> table);

    int recordCount() const;
    int position() const { return m_pos; }

    bool isEof() const;
    bool isBof() const;
    bool hasCurrentRecord() const { return !isEof() && !isBof(); }

    void moveFirst();
    void moveNext();
    void movePrevious();

    // The value of a field of the current record; null QVariant for NULL.
    QVariant field(QStringView name) const;
    // The text of a field; throws DatabaseError for a NULL.
    QString fieldText(QStringView name) const;

    // For loops over many records: the column of a field, found once (throws
    // for an unknown name), then its value in the current record, or the
    // whole column for a scan that reads it in place.
    int fieldIndex(QStringView name) const;
    QVariant valueAt(int column) const;
    const Column &column(int index) const { return m_table->data[size_t(index)]; }
    // The commune names folded for searching; null without a commune column.
    const FoldedNames *foldedNames() const { return m_table ? m_table->foldedNames.get() : nullptr; }
    // The table itself, shared by every cursor over it; null for none.
    const TableData *table() const { return m_table.get(); }
    // The row that a link of another table to this one names by its rowid
    // (autres_noms.actuelle, codes_postaux.commune...); none when no row has it.
    std::optional<int> rowOfRowid(qlonglong rowid) const;
    // The rowid of a row (its number from 1 when the table keeps none).
    qlonglong rowidOf(int row) const;
    // Puts the cursor on a record found by a scan; -1 and recordCount() stand
    // for BOF and EOF.
    void moveTo(int position);

private:
    std::shared_ptr<const TableData> m_table;
    int m_count = 0; // kept: a scan asks for it at every record
    int m_pos = 0;
};
