#include "search/NearestCommunes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr double radians = std::numbers::pi / 180;

std::optional<double> numberAt(const Column &column, size_t row)
{
    if (column.isNull(row))
        return std::nullopt;
    bool ok = false;
    const double value = column.value(row).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The haversine of the angle between two positions: it grows with the
// angle, which is all an ordering needs.
struct FromPoint
{
    double lat;
    double lon;
    double cosLat;

    explicit FromPoint(QPointF lonLat)
        : lat(lonLat.y() * radians), lon(lonLat.x() * radians), cosLat(std::cos(lonLat.y() * radians))
    {
    }

    double haversineTo(double otherLat, double otherLon) const
    {
        const double sLat = std::sin((otherLat - lat) / 2);
        const double sLon = std::sin((otherLon - lon) / 2);
        return sLat * sLat + cosLat * std::cos(otherLat) * sLon * sLon;
    }
};

} // namespace

std::vector<int> nearestCommunes(const Recordset &communes, QPointF lonLat, int count)
{
    if (count <= 0 || !std::isfinite(lonLat.x()) || !std::isfinite(lonLat.y()))
        return {};
    const Column &longitudes = communes.column(communes.fieldIndex(u"longitude"));
    const Column &latitudes = communes.column(communes.fieldIndex(u"latitude"));
    const FromPoint from(lonLat);
    struct Candidate
    {
        double haversine;
        int row;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(size_t(communes.recordCount()));
    for (int row = 0; row < communes.recordCount(); ++row) {
        const std::optional<double> lon = numberAt(longitudes, size_t(row));
        const std::optional<double> lat = numberAt(latitudes, size_t(row));
        if (!lon || !lat || std::abs(*lat) > 90 || std::abs(*lon) > 180)
            continue;
        candidates.push_back({from.haversineTo(*lat * radians, *lon * radians), row});
    }
    const size_t kept = std::min(candidates.size(), size_t(count));
    std::partial_sort(candidates.begin(), candidates.begin() + std::ptrdiff_t(kept), candidates.end(),
                      [](const Candidate &a, const Candidate &b) {
                          return a.haversine < b.haversine || (a.haversine == b.haversine && a.row < b.row);
                      });
    std::vector<int> rows;
    rows.reserve(kept);
    for (size_t i = 0; i < kept; ++i)
        rows.push_back(candidates[i].row);
    return rows;
}
