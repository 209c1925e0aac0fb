#pragma once

#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

// Finds where a run of one-character pattern tokens (letters, "?", "#",
// lists) first fits in a name, in one pass over the name whatever the run's
// length: each token is one bit of a state that every character of the name
// shifts and masks (the shift-and method). A search thus costs the name's
// length times the run's length in 64-token words, instead of the name's
// length times the run's length in tokens.
class SegmentFinder
{
public:
    // `matches(token, c)` says whether the token at that index fits c.
    // `boundaries` are the characters above 0xFF where what fits may change:
    // each literal character and each list range's first and one-past-last.
    SegmentFinder(int tokenCount, const std::function<bool(int, char16_t)> &matches, std::vector<char16_t> boundaries);

    // The leftmost start at or after `from` where the run fits wholly before
    // `to`, or -1.
    qsizetype find(QStringView name, qsizetype from, qsizetype to) const;

private:
    const std::uint64_t *maskOf(char16_t c) const;

    int m_length;
    int m_words;
    std::vector<char16_t> m_bounds;     // starts of the classes of characters above 0xFF
    std::vector<std::uint64_t> m_masks; // per class: one bit per token that fits
};
