#include "names/CommuneSearch.h"

#include <cstdint>

namespace {

// Names read in place from a buffer of UTF-16 characters, at the spans of
// a column (Column.h).
struct NameBuffer
{
    const std::uint64_t *cells;
    const char16_t *chars;

    QStringView at(int row) const
    {
        const std::uint64_t place = cells[row];
        return QStringView(chars + std::uint32_t(place), qsizetype(place >> 32));
    }
};

// The pattern's cheap test of length and first letter turns most names
// away before the full match.
bool nameMatches(QStringView name, const LikePattern &pattern)
{
    return pattern.mayMatch(name.utf16(), name.size()) && likeMatch(name, pattern);
}

// The commune column of a table and its folded names, asked row by row.
class NameMatcher
{
public:
    NameMatcher(const Recordset &records, const NamePattern &pattern)
        : m_names(records.column(records.fieldIndex(u"commune"))), m_folded(records.foldedNames()), m_pattern(pattern)
    {
    }

    // The first matching row from `row` on, or `end`.
    int find(int row, int end) const
    {
        if (m_names.isAllText() && (!m_folded || m_folded->sameAsNames())) {
            // The usual case, the shipped table: one buffer, read in order.
            const NameBuffer names{m_names.cells().data(), m_names.chars()};
            const LikePattern *asTyped = m_pattern.typedIsFolded() ? nullptr : m_pattern.asTyped();
            for (; row < end; ++row) {
                const QStringView name = names.at(row);
                if (nameMatches(name, m_pattern.folded()) || (asTyped && nameMatches(name, *asTyped)))
                    return row;
            }
            return end;
        }
        for (; row < end; ++row) {
            if (matchesMixed(row))
                return row;
        }
        return end;
    }

private:
    bool matchesMixed(int row) const
    {
        const auto at = size_t(row);
        if (m_names.isNull(at))
            return false; // a NULL name matches nothing
        // A number stored as a name is matched as it reads.
        const QString number = m_names.kind(at) == Column::Kind::Text ? QString() : m_names.value(at).toString();
        const QStringView stored = number.isNull() ? m_names.text(at) : QStringView(number);
        const QStringView folded = m_folded ? NameBuffer{m_folded->cells(), m_folded->chars()}.at(row) : stored;
        const LikePattern *asTyped = m_pattern.asTyped();
        return nameMatches(folded, m_pattern.folded()) || (asTyped && likeMatch(stored, *asTyped));
    }

    const Column &m_names;
    const FoldedNames *m_folded;
    const NamePattern &m_pattern;
};

} // namespace

ScanResult scanForCommune(Recordset &records, const NamePattern &pattern)
{
    const NameMatcher matcher(records, pattern);
    const int start = records.position();
    const int end = records.recordCount();
    if (start >= end)
        return {};
    if (start < 0)
        records.valueAt(0); // throws: no current record
    const int found = matcher.find(start, end);
    records.moveTo(found);
    ScanResult result;
    result.found = found < end;
    result.skipped = found > start;
    return result;
}

std::vector<int> findAllCommunes(const Recordset &records, const NamePattern &pattern, size_t limit)
{
    const NameMatcher matcher(records, pattern);
    const int end = records.recordCount();
    std::vector<int> rows;
    for (int row = matcher.find(0, end); row < end && rows.size() < limit; row = matcher.find(row + 1, end))
        rows.push_back(row);
    return rows;
}
