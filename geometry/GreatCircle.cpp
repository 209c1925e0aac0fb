#include "geometry/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double radiansPerDegree = std::numbers::pi / 180;

} // namespace

bool isOnGlobe(GeoPoint point)
{
    // The negated comparisons also refuse NaN.
    return std::abs(point.latitude) <= 90 && std::abs(point.longitude) <= 180;
}

double distanceKm(GeoPoint from, GeoPoint to)
{
    // The haversine form keeps its precision for places a few metres apart,
    // where the law of cosines loses it.
    const double lat1 = from.latitude * radiansPerDegree;
    const double lat2 = to.latitude * radiansPerDegree;
    const double sinLat = std::sin((lat2 - lat1) / 2);
    const double sinLon = std::sin((to.longitude - from.longitude) * radiansPerDegree / 2);
    const double h = sinLat * sinLat + std::cos(lat1) * std::cos(lat2) * sinLon * sinLon;
    return 2 * EarthRadiusKm * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

double bearingDegrees(GeoPoint from, GeoPoint to)
{
    const double lat1 = from.latitude * radiansPerDegree;
    const double lat2 = to.latitude * radiansPerDegree;
    const double dLon = (to.longitude - from.longitude) * radiansPerDegree;
    const double y = std::sin(dLon) * std::cos(lat2);
    const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    if (x == 0 && y == 0)
        return 0;
    const double degrees = std::atan2(y, x) / radiansPerDegree;
    return degrees < 0 ? degrees + 360 : degrees;
}
