#include "search/FindCommunes.h"

#include "search/ConstraintEasing.h"
#include "search/Finders.h"
#include "search/Repairs.h"

#include <array>

namespace {

// The finders in their order, the constraints eased as far as needed.
SearchMatches findAsWritten(SearchTables &tables, const Query &query)
{
    const Constraints &given = query.constraints();
    ConstraintCheck check(tables, given);
    // Each finder runs once at most; easing the constraints reads again what it found.
    const std::array<Finder, FinderCount> &order = finders();
    std::array<std::optional<Found>, FinderCount> ran;
    for (const Easing &easing : easings(given)) {
        for (size_t i = 0; i < order.size(); ++i) {
            if (!order[i].accepts(query))
                continue;
            if (!ran[i]) {
                ran[i].emplace();
                order[i].find(tables, query, *ran[i]);
            }
            if (!ran[i]->m_refusal.isEmpty())
                return SearchMatches::refused(ran[i]->m_reason, ran[i]->m_refusal);
            std::vector<Match> kept;
            for (const Match &match : ran[i]->m_matches) {
                if (check.keeps(match, easing.ease))
                    kept.push_back(match);
            }
            if (kept.empty())
                continue;
            // The postal code that held is the one the answer gives.
            if (easing.ease == Ease::AllGiven || easing.ease == Ease::PostcodeAlone) {
                for (Match &match : kept) {
                    if (!given.postcode.isEmpty() && match.code.isEmpty())
                        match.code = given.postcode;
                }
            }
            SearchMatches matches(std::move(kept));
            matches.setHeld(easing.held);
            matches.setPlace(ran[i]->m_place);
            return matches;
        }
    }
    return {};
}

SearchMatches withRepair(const SearchMatches &found, Repair repair)
{
    std::vector<Match> matches = found.all();
    for (Match &match : matches) {
        if (match.repair == Repair::None)
            match.repair = repair;
    }
    SearchMatches repaired(std::move(matches));
    repaired.setHeld(found.held());
    repaired.setPlace(found.place());
    return repaired;
}

std::optional<SearchMatches> findReread(SearchTables &tables, const Query &query)
{
    const std::optional<RereadQuery> reread = rereadAsListsWrite(query);
    if (!reread)
        return std::nullopt;
    const SearchMatches found = findCommunes(tables, reread->query);
    if (found.count() == 0)
        return std::nullopt;
    return withRepair(found, reread->repair);
}

} // namespace

SearchMatches findCommunes(SearchTables &tables, const Query &query)
{
    SearchMatches found = findAsWritten(tables, query);
    if (!found.refusal().isEmpty() || query.point())
        return found;
    // A name found only where none of the constraints holds, while one commune
    // of the code given begins with it (LA CROIX for LA CROIX SUR ROUDOULE),
    // is that commune shortened.
    if (found.count() > 0) {
        if (found.held() == SearchMatches::Held::Neither) {
            if (std::optional<SearchMatches> near = findNearConstraints(tables, query, false))
                return std::move(*near);
        }
        return found;
    }
    if (std::optional<SearchMatches> reread = findReread(tables, query))
        return std::move(*reread);
    if (std::optional<SearchMatches> near = findNearConstraints(tables, query, true))
        return std::move(*near);
    return found;
}
