#include "store/Column.h"

#include <bit>

QVariant Column::value(size_t row) const
{
    switch (kind(row)) {
    case Kind::Null:
        break;
    case Kind::Integer:
        return qlonglong(std::bit_cast<qint64>(m_cells[row]));
    case Kind::Real:
        return std::bit_cast<double>(m_cells[row]);
    case Kind::Text:
        return textAt(m_cells[row]).toString();
    case Kind::Other:
        return m_others[size_t(m_cells[row])];
    }
    return QVariant();
}

size_t Column::memoryBytes() const
{
    return m_kinds.capacity() * sizeof(Kind) + m_cells.capacity() * sizeof(std::uint64_t)
           + m_chars.capacity() * sizeof(char16_t) + m_others.capacity() * sizeof(QVariant);
}

void Column::appendKind(Kind kind)
{
    if (m_kinds.empty() && (kind == m_uniformKind || m_size == 0)) {
        m_uniformKind = kind;
    } else {
        if (m_kinds.empty())
            m_kinds.assign(m_size, m_uniformKind);
        m_kinds.push_back(kind);
    }
    ++m_size;
}

std::optional<double> Column::number(size_t row) const
{
    switch (kind(row)) {
    case Kind::Real:
        return real(row);
    case Kind::Integer:
        return double(integer(row));
    case Kind::Null:
        return std::nullopt;
    case Kind::Text:
    case Kind::Other:
        break;
    }
    bool ok = false;
    const double read = value(row).toDouble(&ok);
    return ok ? std::optional<double>(read) : std::nullopt;
}
