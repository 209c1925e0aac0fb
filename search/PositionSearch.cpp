#include "search/PositionSearch.h"

#include "geometry/CoordinateText.h"
#include "geometry/GreatCircle.h"
#include "geometry/NearestCommunes.h"

std::optional<SearchMatches> findCommunesByPosition(const Recordset &communes, QStringView typed)
{
    const TypedPosition position = readPosition(typed);
    if (position.kind == TypedPosition::Kind::None)
        return std::nullopt;
    if (position.kind == TypedPosition::Kind::Refused)
        return SearchMatches::refused(RefusalReason::Position, position.refusal);
    std::vector<int> rows;
    for (const NearbyCommune &commune : nearestCommunes(communes, position.point, MaxListedMatches))
        rows.push_back(commune.row);
    SearchMatches found(rows, MatchKind::Coordinates);
    found.setPlace(position.point);
    return found;
}
