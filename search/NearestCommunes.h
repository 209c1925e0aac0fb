#pragma once

#include "store/Recordset.h"

#include <QPointF>
#include <vector>

// The rows of the `count` communes nearest to a position, given as
// (longitude, latitude) in degrees, nearest first along the great circle
// (ties in table order). Rows without a readable position on the globe are
// left out; fewer rows when the table holds fewer.
std::vector<int> nearestCommunes(const Recordset &communes, QPointF lonLat, int count);

// How many communes a Ctrl+click on the map finds around its point, for F3
// and the list of matches to step outwards through.
inline constexpr int NearestListed = 20;
