#pragma once

#include "store/Recordset.h"

#include <QString>
#include <QStringList>
#include <vector>

// Another name of a commune, by which a search found it: the name of one of
// its communes déléguées or associées, of a former commune merged into it,
// of one of its municipal arrondissements.
struct OtherName
{
    QString name;
    QString kind; // « commune déléguée », « arrondissement municipal »...
};

// The communes one search found, in table order, and which of them is
// shown: the first after the search, then the next at each F3 (the first
// again after the last), or the one chosen in the list of matches.
class SearchMatches
{
public:
    SearchMatches() = default;
    explicit SearchMatches(std::vector<int> rows) : m_rows(std::move(rows)) {}
    // A search by postal code keeps the code that matched for each row.
    SearchMatches(std::vector<int> rows, QStringList codes) : m_rows(std::move(rows)), m_codes(std::move(codes)) {}
    // A search by other names keeps the name that matched for each row, and
    // an arrondissement's own postal code.
    SearchMatches(std::vector<int> rows, QStringList codes, std::vector<OtherName> others)
        : m_rows(std::move(rows)), m_codes(std::move(codes)), m_others(std::move(others))
    {
    }

    // A text the search read but cannot use (coordinates off the globe):
    // no match, and why, in French.
    static SearchMatches refused(QString why)
    {
        SearchMatches none;
        none.m_refusal = std::move(why);
        return none;
    }
    QString refusal() const { return m_refusal; }

    int count() const { return int(m_rows.size()); }
    // The position of the shown match among them, from 0.
    int index() const { return m_index; }
    // The table row of the shown match; -1 when there is none.
    int row() const { return m_rows.empty() ? -1 : m_rows[size_t(m_index)]; }
    const std::vector<int> &rows() const { return m_rows; }
    // The postal code that matched for the match at `index`, or for the
    // shown one; empty for a search by name.
    QString code(int index) const { return m_codes.value(index); }
    QString code() const { return code(m_index); }
    // The other name that matched for the match at `index`, or for the
    // shown one; an empty name when the current name matched.
    OtherName otherName(int index) const;
    OtherName otherName() const { return otherName(m_index); }
    bool foundByOtherNames() const { return !m_others.empty(); }

    // Shows the next match, the first after the last; its row.
    int next();
    // Shows the match at this position (clamped to the matches); its row.
    int select(int index);

    // « 2 sur 11 »: the shown match and how many there are.
    QString countText() const;

private:
    std::vector<int> m_rows;
    QStringList m_codes;
    std::vector<OtherName> m_others;
    QString m_refusal;
    int m_index = 0;
};

// « CHERBOURG OCTEVILLE → CHERBOURG EN COTENTIN (commune déléguée) »: the
// other name by which the match at `index` was found and the commune it
// leads to; empty when the match was found by its current name.
QString otherNameText(const Recordset &records, const SearchMatches &matches, int index);

// One line of the list of matches, for the match at `index`: name (or the
// other name and where it leads), postal code (the one that matched, if
// any) and département, separated by long dashes; an empty field reads as
// nothing.
QString matchLine(const Recordset &records, const SearchMatches &matches, int index);

// The list shows no more matches than this: a pattern such as * finds
// every commune, and F3 still reaches them all.
inline constexpr int MaxListedMatches = 300;
