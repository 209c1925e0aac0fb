#include "geometry/NearestCommunes.h"

#include "geometry/GeoIndex.h"

#include <algorithm>

namespace {

const GeoIndex *indexOf(const Recordset &communes)
{
    const TableData *table = communes.table();
    if (!table)
        return nullptr;
    return &table->geoIndex->get<GeoIndex>([table] { return GeoIndex(*table); });
}

// Distances from the stored positions themselves, so that a commune reads
// the same distance whichever question found it.
std::vector<NearbyCommune> withDistances(const Recordset &communes, GeoPoint point, const std::vector<int> &rows)
{
    const PositionColumns columns = PositionColumns::of(*communes.table());
    std::vector<NearbyCommune> found;
    found.reserve(rows.size());
    for (const int row : rows) {
        if (const std::optional<GeoPoint> position = columns.at(size_t(row)))
            found.push_back({row, distanceKm(point, *position)});
    }
    std::sort(found.begin(), found.end(), [](const NearbyCommune &a, const NearbyCommune &b) {
        return a.distanceKm < b.distanceKm || (a.distanceKm == b.distanceKm && a.row < b.row);
    });
    return found;
}

} // namespace

std::optional<GeoPoint> communePosition(const Recordset &communes, int row)
{
    if (!communes.table() || row < 0)
        return std::nullopt;
    return PositionColumns::of(*communes.table()).at(size_t(row));
}

std::optional<NearbyCommune> nearestCommune(const Recordset &communes, GeoPoint point)
{
    const std::vector<NearbyCommune> found = nearestCommunes(communes, point, 1);
    return found.empty() ? std::nullopt : std::optional<NearbyCommune>(found.front());
}

std::vector<NearbyCommune> nearestCommunes(const Recordset &communes, GeoPoint point, size_t count)
{
    const GeoIndex *index = indexOf(communes);
    if (!index || !isOnGlobe(point))
        return {};
    return withDistances(communes, point, index->nearest(point, count));
}

std::vector<NearbyCommune> communesWithin(const Recordset &communes, GeoPoint point, double radiusKm)
{
    const GeoIndex *index = indexOf(communes);
    if (!index || !isOnGlobe(point) || !(radiusKm >= 0))
        return {};
    // A little wider than the radius, for the rounding of chords; the
    // distances themselves decide.
    const double chord = GeoIndex::chordOfKm(radiusKm) * (1 + 1e-9) + 1e-12;
    std::vector<NearbyCommune> found = withDistances(communes, point, index->within(point, chord));
    std::erase_if(found, [radiusKm](const NearbyCommune &c) { return c.distanceKm > radiusKm; });
    return found;
}

size_t communesWithoutPosition(const Recordset &communes)
{
    const GeoIndex *index = indexOf(communes);
    return index ? index->withoutPosition() : size_t(communes.recordCount());
}
