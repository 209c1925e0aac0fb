#pragma once

#include "communes/Recordset.h"

#include <QString>
#include <vector>

// The communes one search found, in table order, and which of them is
// shown: the first after the search, then the next at each F3 (the first
// again after the last), or the one chosen in the list of matches.
class SearchMatches
{
public:
    SearchMatches() = default;
    explicit SearchMatches(std::vector<int> rows) : m_rows(std::move(rows)) {}

    int count() const { return int(m_rows.size()); }
    // The position of the shown match among them, from 0.
    int index() const { return m_index; }
    // The table row of the shown match; -1 when there is none.
    int row() const { return m_rows.empty() ? -1 : m_rows[size_t(m_index)]; }
    const std::vector<int> &rows() const { return m_rows; }

    // Shows the next match, the first after the last; its row.
    int next();
    // Shows the match at this position (clamped to the matches); its row.
    int select(int index);

    // « 2 sur 11 »: the shown match and how many there are.
    QString countText() const;

private:
    std::vector<int> m_rows;
    int m_index = 0;
};

// One line of the list of matches: name, postal code and département of
// the row, separated by long dashes; an empty field reads as nothing.
QString matchLine(const Recordset &records, int row);

// The list shows no more matches than this: a pattern such as * finds
// every commune, and F3 still reaches them all.
inline constexpr int MaxListedMatches = 300;
