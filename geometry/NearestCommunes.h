#pragma once

#include "geometry/GreatCircle.h"
#include "store/Recordset.h"

#include <optional>
#include <vector>

// A commune and its distance from the point asked about.
struct NearbyCommune
{
    int row = -1;
    double distanceKm = 0;

    bool operator==(const NearbyCommune &) const = default;
};

// The position a row of the table gives: nothing when its latitude or its
// longitude is missing, is no number, or lies off the globe.
std::optional<GeoPoint> communePosition(const Recordset &communes, int row);

// The questions below go to the table's geographic index, made at the first
// of them and kept with the table; rows with no position are left out.
// Distances are great-circle ones; equal distances come in table order. The
// first question throws DatabaseError when the index would take the table
// past the memory it may hold.

// The commune nearest to the point; nothing when no row has a position.
std::optional<NearbyCommune> nearestCommune(const Recordset &communes, GeoPoint point);
// The `count` communes nearest to the point, nearest first.
std::vector<NearbyCommune> nearestCommunes(const Recordset &communes, GeoPoint point, size_t count);
// Every commune within `radiusKm` of the point, nearest first.
std::vector<NearbyCommune> communesWithin(const Recordset &communes, GeoPoint point, double radiusKm);
// How many rows the index leaves out for want of a position.
size_t communesWithoutPosition(const Recordset &communes);
