#pragma once

// A position in decimal degrees, north and east positive.
struct GeoPoint
{
    double latitude = 0;
    double longitude = 0;

    bool operator==(const GeoPoint &) const = default;
};

// The mean radius of the Earth, in kilometres, that every distance uses.
inline constexpr double EarthRadiusKm = 6371.0;

// Finite, latitude within ±90°, longitude within ±180°: a place on the globe.
bool isOnGlobe(GeoPoint point);

// The great-circle distance between two positions, in kilometres.
double distanceKm(GeoPoint from, GeoPoint to);

// The direction in which the great circle leaves `from` towards `to`, in
// degrees from north, clockwise, in [0, 360); 0 when the two are one.
double bearingDegrees(GeoPoint from, GeoPoint to);
