#pragma once

#include "search/SearchTables.h"

#include <array>
#include <unordered_map>

// The matches of one finder in the order they are found. A commune found by
// its own name, or by a code, is listed once; each of its other names may
// list it again (MARSEILLE 1* finds the city by eight arrondissements).
class Found
{
public:
    void add(Match match)
    {
        const bool byItself = !isOtherName(match.kind) && match.kind != MatchKind::InseeCode;
        if (const int seen = listed(match.row); seen != 0 && (byItself || seen == 2))
            return;
        m_matches.push_back(std::move(match));
        m_byItself.push_back(byItself);
        if (!m_index.empty() || m_matches.size() > 32)
            indexLast();
    }
    void add(std::vector<Match> matches)
    {
        for (Match &match : matches)
            add(std::move(match));
    }
    void add(const std::vector<int> &rows, MatchKind kind)
    {
        for (const int row : rows)
            add(Match{row, kind, {}, {}, 0});
    }
    bool empty() const { return m_matches.empty(); }

    std::vector<Match> m_matches;
    QString m_refusal;
    RefusalReason m_reason = RefusalReason::None;
    std::optional<GeoPoint> m_place;

private:
    // 0: the row is not listed yet; 1: only by other names; 2: by itself.
    int listed(int row) const
    {
        int seen = 0;
        if (m_index.empty()) {
            // A few matches, the usual answer: read them, no map is made.
            for (size_t i = 0; i < m_matches.size(); ++i) {
                if (m_matches[i].row == row)
                    seen = std::max(seen, m_byItself[i] ? 2 : 1);
            }
        } else if (const auto at = m_index.find(row); at != m_index.end()) {
            seen = at->second ? 2 : 1;
        }
        return seen;
    }

    void indexLast()
    {
        if (m_index.empty()) {
            for (size_t i = 0; i + 1 < m_matches.size(); ++i)
                m_index[m_matches[i].row] |= m_byItself[i];
        }
        m_index[m_matches.back().row] |= m_byItself.back();
    }

    std::vector<bool> m_byItself;
    std::unordered_map<int, bool> m_index; // once there are many
};

// One kind of search: whether it reads the query at all, and what it finds.
struct Finder
{
    bool (*accepts)(const Query &);
    void (*find)(SearchTables &, const Query &, Found &);
};

inline constexpr size_t FinderCount = 10;

// The kinds of search in the order they are asked: the first that finds a
// commune answers.
const std::array<Finder, FinderCount> &finders();
