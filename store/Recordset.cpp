#include "store/Recordset.h"

#include "store/DatabaseError.h"
#include "store/NumberText.h"

#include <algorithm>

Recordset::Recordset(std::shared_ptr<const TableData> table)
    : m_table(std::move(table)), m_count(m_table ? int(m_table->rowCount()) : 0), m_pos(0)
{
}

int Recordset::recordCount() const
{
    return m_count;
}

bool Recordset::isEof() const
{
    return m_pos >= m_count;
}

bool Recordset::isBof() const
{
    return m_pos < 0 || m_count == 0;
}

static DatabaseError noCurrentRecord()
{
    return DatabaseError(QStringLiteral("Aucun enregistrement courant."));
}

void Recordset::moveFirst()
{
    if (recordCount() == 0)
        throw noCurrentRecord();
    m_pos = 0;
}

void Recordset::moveNext()
{
    if (isEof())
        throw noCurrentRecord();
    ++m_pos;
}

void Recordset::movePrevious()
{
    if (isBof())
        throw noCurrentRecord();
    --m_pos;
}

QVariant Recordset::field(QStringView name) const
{
    if (!hasCurrentRecord())
        throw noCurrentRecord();
    return valueAt(fieldIndex(name));
}

int Recordset::fieldIndex(QStringView name) const
{
    const int column = m_table ? m_table->columnIndex(name) : -1;
    if (column < 0)
        throw DatabaseError(QStringLiteral("Champ inconnu dans la table %1 : %2.")
                                .arg(m_table ? m_table->name : QString(), name.toString()));
    return column;
}

std::optional<int> Recordset::rowOfRowid(qlonglong rowid) const
{
    if (!m_table)
        return std::nullopt;
    return m_table->rowids.rowOf(rowid, size_t(m_count));
}

qlonglong Recordset::rowidOf(int row) const
{
    return m_table ? m_table->rowids.rowidOf(size_t(row)) : row + 1;
}

void Recordset::moveTo(int position)
{
    m_pos = std::clamp(position, -1, m_count);
}

QVariant Recordset::valueAt(int column) const
{
    if (!hasCurrentRecord())
        throw noCurrentRecord();
    return m_table->cell(size_t(m_pos), column);
}

QString Recordset::fieldText(QStringView name) const
{
    const QVariant value = field(name);
    if (value.isNull())
        throw DatabaseError(QStringLiteral("Le champ %1 est vide (Null).").arg(name.toString()));
    return valueToText(value);
}
