#pragma once

#include <QString>
#include <QStringView>
#include <QVariant>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

// One column of a table held in memory, typed: numbers as 64-bit values,
// texts in one buffer of UTF-16 characters that a scan reads in order.
//
// Each cell is 8 bytes: the number itself, or where its text lies in the
// buffer. A column whose cells are all of one kind (the usual case) keeps no
// kind per cell; a mixed column keeps one byte per cell. A column of NULLs
// only keeps nothing per cell. Values of other types (dates, binary data)
// are kept aside as QVariants.
class Column
{
public:
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Other };

    size_t size() const { return m_size; }
    Kind kind(size_t row) const { return m_kinds.empty() ? m_uniformKind : m_kinds[row]; }
    bool isNull(size_t row) const { return kind(row) == Kind::Null; }
    // Every cell, if any, is text.
    bool isAllText() const { return m_kinds.empty() && m_uniformKind == Kind::Text; }

    QVariant value(size_t row) const;
    // The number of an integer cell, and of a real one, read without a QVariant.
    qint64 integer(size_t row) const
    {
        Q_ASSERT(kind(row) == Kind::Integer);
        return std::bit_cast<qint64>(m_cells[row]);
    }
    double real(size_t row) const
    {
        Q_ASSERT(kind(row) == Kind::Real);
        return std::bit_cast<double>(m_cells[row]);
    }
    // The number a cell holds, a text read as the table's other readers read
    // it; nothing for a NULL or a text that is no number.
    std::optional<double> number(size_t row) const;
    // The text of a text cell, in place; empty for any other kind.
    QStringView text(size_t row) const
    {
        if (kind(row) != Kind::Text)
            return {};
        return textAt(m_cells[row]);
    }

    // A text cell's place in the buffer: the start in the low 32 bits, the
    // length in the high ones. Texts that repeat share one place.
    static std::uint64_t span(std::uint32_t start, std::uint32_t length) { return std::uint64_t(length) << 32 | start; }
    QStringView textAt(std::uint64_t span) const
    {
        return QStringView(m_chars.data() + std::uint32_t(span), qsizetype(span >> 32));
    }
    const std::vector<std::uint64_t> &cells() const { return m_cells; }
    const char16_t *chars() const { return m_chars.data(); }

    // Bytes this column holds on the heap.
    size_t memoryBytes() const;

private:
    friend class TableBuilder;

    void appendKind(Kind kind);

    size_t m_size = 0;
    Kind m_uniformKind = Kind::Null;
    std::vector<Kind> m_kinds;          // empty while every cell has m_uniformKind
    std::vector<std::uint64_t> m_cells; // empty while every cell is NULL
    std::vector<char16_t> m_chars;
    std::vector<QVariant> m_others;
};
