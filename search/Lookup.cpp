#include "search/Lookup.h"

#include "geometry/NearestCommunes.h"
#include "search/FindCommunes.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

Lookup refused(RefusalReason reason, QString why)
{
    Lookup answer;
    answer.outcome = Outcome::Refused;
    answer.reason = reason;
    answer.why = std::move(why);
    return answer;
}

// A text that names a place (a locator's square, a position) is answered by
// the commune nearest to it, when one is near enough.
std::optional<NearestCommune> nearestToPlace(SearchTables &tables, const SearchMatches &matches)
{
    const MatchKind kind = matches.match(0).kind;
    if (!matches.place() || (kind != MatchKind::Nearest && kind != MatchKind::Coordinates))
        return std::nullopt;
    const int row = matches.match(0).row;
    const std::optional<GeoPoint> position = communePosition(tables.communes(), row);
    if (!position)
        return std::nullopt;
    return NearestCommune{row, distanceKm(*matches.place(), *position)};
}

Outcome outcomeOf(const SearchMatches &matches)
{
    const std::vector<Match> &all = matches.all();
    if (std::all_of(all.begin(), all.end(), [](const Match &match) { return isOtherName(match.kind); }))
        return Outcome::OtherName;
    // Coordinates list the communes around the point: the nearest is the one there.
    if (matches.count() > 1 && matches.match(0).kind != MatchKind::Coordinates)
        return Outcome::Homonyms;
    return Outcome::Found;
}

} // namespace

Lookup lookUp(SearchTables &tables, const Query &query, Suggest suggest)
{
    Lookup answer;
    answer.matches = findCommunes(tables, query);
    const SearchMatches &found = answer.matches;
    if (found.refusalReason() != RefusalReason::None)
        return refused(found.refusalReason(), found.refusal());
    if (found.count() == 0) {
        answer.outcome = Outcome::None;
        if (suggest == Suggest::AfterMiss) {
            if (const SuggestionIndex *index = tables.suggestions())
                answer.suggestions = index->afterTypo(query.typed());
        }
        return answer;
    }
    answer.nearest = nearestToPlace(tables, found);
    if (answer.nearest && answer.nearest->km > NearKm) {
        answer.outcome = Outcome::NothingHere;
        return answer;
    }
    answer.outcome = outcomeOf(found);
    return answer;
}

Lookup lookUp(SearchTables &tables, QStringView text, const Constraints &constraints, Suggest suggest)
{
    QString why;
    std::optional<Query> query = Query::make(text, constraints, &why);
    if (!query) {
        const bool badDate = !constraints.date.trimmed().isEmpty() && !parseDatePeriod(constraints.date.trimmed());
        return refused(badDate ? RefusalReason::Date : RefusalReason::Pattern, why);
    }
    Lookup answer = lookUp(tables, *query, suggest);
    answer.query = std::move(query);
    return answer;
}

QString outcomeWords(Outcome outcome)
{
    // The one table of the outcomes' French words; nothing here is « aucune » too.
    static const std::array<const char *, 6> words = {"trouvée", "homonymes", "autre nom",
                                                      "aucune",  "aucune",    "refusée"};
    return QString::fromUtf8(words[size_t(outcome)]);
}

QString nothingHereText(const Recordset &communes, const Lookup &answer)
{
    const int row = answer.nearest->row;
    const QString name = communes.column(communes.fieldIndex(u"commune")).value(size_t(row)).toString();
    const QString where = answer.matches.match(0).kind == MatchKind::Nearest
                              ? QStringLiteral("dans ce carré")
                              : QStringLiteral("à moins de %1 km de ce point").arg(NearKm);
    return QStringLiteral("Aucune commune %1 : la plus proche, %2, est à %3 km.")
        .arg(where, name)
        .arg(std::lround(answer.nearest->km));
}
