#pragma once

#include "names/SegmentFinder.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

// A commune name pattern, compiled once and matched against every name of a
// scan. The whole name must match; characters are compared by their UTF-16
// code units, with no case, accent or blank folding.
//
//   ?        any one character
//   *        any run of characters, including none
//   #        one digit 0-9
//   [list]   one character in the list; "a-z" inside stands for the range
//   [!list]  one character not in the list
//   other    itself (a "]" on its own too)
//
// Inside brackets "*", "?" and "#" are ordinary characters. A list ends at
// the first "]", so "]" itself cannot be listed. A hyphen that does not join
// two characters (first or last in the list) is itself. A reversed range such
// as "Z-A" holds no character: "[Z-A]" matches nothing, "[!Z-A]" anything.
// A list must name at least one character: "[]" and "[!]" are refused, as is
// a "[" without its "]".
class LikePattern
{
public:
    // The compiled pattern, or nothing with a short French message in *error.
    static std::optional<LikePattern> compile(QStringView pattern, QString *error = nullptr);

    friend bool likeMatch(QStringView name, const LikePattern &pattern);

    // Whether a text has a wildcard: a text without is a plain name, found by
    // its folded form alone.
    bool hasWildcard(QStringView text);

    // A cheap test that every matching name passes: its length, and its first
    // character when the pattern starts with a plain one. A scan asks it
    // before the full match, which most names then never need.
    bool mayMatch(const char16_t *name, qsizetype length) const
    {
        if (m_hasStar ? length < m_minLength : length != m_minLength)
            return false;
        return m_firstChar == 0 || (length > 0 && name[0] == m_firstChar);
    }

private:
    enum class Kind : std::uint8_t { Literal, AnyChar, Digit, InList, NotInList };

    struct Range
    {
        char16_t low;
        char16_t high;
    };

    // One pattern element that stands for exactly one character.
    struct Token
    {
        Kind kind;
        char16_t ch;         // Literal
        std::uint32_t first; // lists: their ranges in m_ranges
        std::uint32_t count;
    };

    // A run of tokens between two stars.
    struct Segment
    {
        std::uint32_t begin;
        std::uint32_t end;
        bool literal;    // no wildcard: found with a plain text search
        int finder = -1; // a middle with wildcards: its finder in m_finders
        qsizetype length() const { return qsizetype(end - begin); }
    };

    LikePattern() = default;

    bool tokenMatches(const Token &token, char16_t c) const;
    bool segmentMatchesAt(const Segment &segment, QStringView name, qsizetype at) const;
    qsizetype findSegment(const Segment &segment, QStringView name, qsizetype from, qsizetype to) const;
    void endSegment(std::uint32_t begin);
    void buildFinders();
    bool matches(QStringView name) const;

    std::vector<Token> m_tokens;
    // The character of each literal token, at the token's index.
    QString m_text;
    std::vector<Range> m_ranges;
    // Without a star, one segment that must cover the whole name. With stars,
    // the head (before the first star), the middles and the tail (after the
    // last star); head and tail may be empty.
    std::vector<Segment> m_segments;
    std::vector<SegmentFinder> m_finders;
    bool m_hasStar = false;
    qsizetype m_minLength = 0;
    char16_t m_firstChar = 0; // 0 when the pattern does not start with a plain character
};

bool likeMatch(QStringView name, const LikePattern &pattern);

// Whether a text has a wildcard: a text without is a plain name, found by
// its folded form alone.
bool hasWildcard(QStringView text);
