#include "search/LocatorSearch.h"

#include "geo/MaidenheadLocator.h"
#include "geometry/NearestCommunes.h"

#include <algorithm>

namespace {

bool letterIn(QChar c, char16_t last)
{
    const char16_t upper = c.toUpper().unicode();
    return upper >= u'A' && upper <= last;
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

int letterValue(QChar c)
{
    return c.toUpper().unicode() - u'A';
}

} // namespace

bool isLocatorText(QStringView typed)
{
    if (typed.size() != 4 && typed.size() != 6 && typed.size() != 8)
        return false;
    if (!letterIn(typed[0], u'R') || !letterIn(typed[1], u'R') || !isDigit(typed[2]) || !isDigit(typed[3]))
        return false;
    if (typed.size() >= 6 && !(letterIn(typed[4], u'X') && letterIn(typed[5], u'X')))
        return false;
    return typed.size() < 8 || (isDigit(typed[6]) && isDigit(typed[7]));
}

std::optional<QPointF> locatorCentre(QStringView locator)
{
    if (!isLocatorText(locator))
        return std::nullopt;
    double lon = -180 + letterValue(locator[0]) * 20 + locator[2].digitValue() * 2;
    double lat = -90 + letterValue(locator[1]) * 10 + locator[3].digitValue();
    if (locator.size() == 4)
        return QPointF(lon + 1, lat + 0.5);
    lon += letterValue(locator[4]) * (2.0 / 24);
    lat += letterValue(locator[5]) * (1.0 / 24);
    if (locator.size() == 6)
        return QPointF(lon + 1.0 / 24, lat + 1.0 / 48);
    lon += locator[6].digitValue() * (2.0 / 240);
    lat += locator[7].digitValue() * (1.0 / 240);
    return QPointF(lon + 1.0 / 240, lat + 1.0 / 480);
}

std::vector<int> findCommunesByLocator(const Recordset &communes, QStringView locator)
{
    const std::optional<QPointF> centre = locatorCentre(locator);
    if (!centre)
        return {};
    const GeoPoint middle{centre->y(), centre->x()};
    // Every commune of the square lies within the distance from its centre
    // to its farthest corner; a margin covers the rounding of edges.
    const double halfWidth = locator.size() == 4 ? 1 : locator.size() == 6 ? 1.0 / 24 : 1.0 / 240;
    double reach = 0;
    for (const double dLat : {-halfWidth / 2, halfWidth / 2}) {
        for (const double dLon : {-halfWidth, halfWidth})
            reach = std::max(reach, distanceKm(middle, {middle.latitude + dLat, middle.longitude + dLon}));
    }
    const QString square = locator.toString().toUpper();
    std::vector<int> rows;
    for (const NearbyCommune &commune : communesWithin(communes, middle, reach * 1.01 + 0.01)) {
        const std::optional<GeoPoint> position = communePosition(communes, commune.row);
        if (maidenheadLocator8(position->latitude, position->longitude).startsWith(square))
            rows.push_back(commune.row);
    }
    if (rows.empty()) {
        if (const std::optional<NearbyCommune> nearest = nearestCommune(communes, middle))
            rows.push_back(nearest->row);
    }
    return rows;
}

bool liesInSquare(const Recordset &communes, int row, QStringView locator)
{
    const std::optional<GeoPoint> position = communePosition(communes, row);
    return position
           && maidenheadLocator8(position->latitude, position->longitude).startsWith(locator.toString().toUpper());
}
