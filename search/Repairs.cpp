#include "search/Repairs.h"

#include "names/Suggestions.h"
#include "names/UsualForms.h"
#include "search/ConstraintEasing.h"
#include "store/NameFolding.h"

namespace {

QString foldedNameOf(const Recordset &communes, const Column &names, int row)
{
    if (names.isNull(size_t(row)))
        return {};
    const FoldedNames *folded = communes.foldedNames();
    if (folded && !folded->sameAsNames()) {
        const std::uint64_t place = folded->cells()[row];
        return QString(reinterpret_cast<const QChar *>(folded->chars() + std::uint32_t(place)), qsizetype(place >> 32));
    }
    if (names.kind(size_t(row)) == Column::Kind::Text)
        return names.text(size_t(row)).toString();
    return foldName(names.value(size_t(row)).toString());
}

} // namespace

std::optional<RereadQuery> rereadAsListsWrite(const Query &query)
{
    std::optional<Query> reread;
    Repair repair = Repair::None;
    if (const std::optional<CedexLine> cedex = readCedexLine(query.typed())) {
        Constraints constraints = query.constraints();
        if (constraints.postcode.isEmpty())
            constraints.postcode = cedex->postcode;
        reread = Query::make(cedex->name, constraints);
        repair = Repair::Cedex;
    } else if (const QString inFront = articleInFront(query.typed()); !inFront.isEmpty()) {
        reread = Query::make(inFront, query.constraints());
        repair = Repair::ArticleLast;
    }
    if (!reread)
        return std::nullopt;
    return RereadQuery{std::move(*reread), repair};
}

// A name that La Poste shortened or cut, or that is misspelt, taken only
// when one commune alone among those the constraints keep fits it: first
// those of the postal code given, then of its département, then of the
// département given.
std::optional<SearchMatches> findNearConstraints(SearchTables &tables, const Query &query, bool misspelt)
{
    const Constraints &given = query.constraints();
    if (!given.any() || !query.isPlainName() || query.folded().isEmpty())
        return std::nullopt;
    const Recordset &communes = tables.communes();
    const Column &names = communes.column(communes.fieldIndex(u"commune"));
    ConstraintCheck check(tables, given);
    for (const Easing &easing : easings(given)) {
        if (easing.ease == Ease::Nothing)
            break;
        std::vector<Match> spelled;
        std::vector<Match> corrected;
        for (int row = 0; row < int(names.size()); ++row) {
            if (!check.keeps(Match{row, MatchKind::Name, {}, {}, 0}, easing.ease))
                continue;
            const QString name = foldedNameOf(communes, names, row);
            if (const PosteSpelling spelling = posteSpelling(query.folded(), name); spelling != PosteSpelling::Other)
                spelled.push_back({row,
                                   MatchKind::Name,
                                   {},
                                   {},
                                   0,
                                   spelling == PosteSpelling::Cut ? Repair::Cut : Repair::Abbreviated});
            else if (misspelt && boundedEditDistance(query.folded(), name, 2) <= 2)
                corrected.push_back({row, MatchKind::Correction, {}, {}, 0, Repair::Misspelt});
        }
        // Two communes that fit are a choice this search does not make.
        std::vector<Match> &taken = !spelled.empty() ? spelled : corrected;
        if (taken.size() > 1)
            return std::nullopt;
        if (taken.size() == 1) {
            if (easing.ease == Ease::AllGiven || easing.ease == Ease::PostcodeAlone)
                taken.front().code = given.postcode;
            SearchMatches matches(std::move(taken));
            matches.setHeld(easing.held);
            return matches;
        }
    }
    return std::nullopt;
}
