#pragma once

#include "store/Column.h"

#include <cstdint>
#include <vector>

// The names of a commune column in their folded form (NameFolding.h), made
// once when the table is read so that no search folds a name. When every
// name is already its own folded form, as in the shipped table, nothing is
// copied: the search reads the names themselves.
class FoldedNames
{
public:
    explicit FoldedNames(const Column &names);

    // Every name is text and its own folded form: read the column instead.
    bool sameAsNames() const { return m_sameAsNames; }

    // Otherwise one place per row, as in Column (start in the low 32 bits,
    // length in the high ones), into chars(). A NULL name has an empty place:
    // the column says it is NULL.
    const std::uint64_t *cells() const { return m_cells.data(); }
    const char16_t *chars() const { return m_chars.data(); }

    size_t memoryBytes() const { return m_cells.capacity() * sizeof(std::uint64_t) + m_chars.capacity() * 2; }

private:
    bool m_sameAsNames = true;
    std::vector<std::uint64_t> m_cells;
    std::vector<char16_t> m_chars;
};
