#pragma once

#include "geometry/GreatCircle.h"
#include "store/TableData.h"

#include <cstdint>
#include <optional>
#include <vector>

// The latitude and longitude columns of a table, read as positions.
struct PositionColumns
{
    const Column *latitude = nullptr;
    const Column *longitude = nullptr;

    // Null columns when the table has no such field.
    static PositionColumns of(const TableData &table);
    // Nothing for a missing value, a text that is no number, a place off the globe.
    std::optional<GeoPoint> at(size_t row) const;
};

// The positions of a table's rows in a k-d tree over points of the unit
// sphere, so that the nearest rows to a place, or those within a distance,
// are found without reading every row. The straight-line distance between
// two points of the sphere (the chord) grows with the great-circle distance,
// so the tree orders by chords; no seam at ±180° or at the poles.
class GeoIndex
{
public:
    // Throws DatabaseError when the index would take the table past its
    // memory limit.
    explicit GeoIndex(const TableData &table);

    // The rows with no position (missing, no number, off the globe).
    size_t withoutPosition() const { return m_withoutPosition; }
    size_t size() const { return m_points.size(); }
    size_t memoryBytes() const { return m_points.capacity() * sizeof(Point) + m_axes.capacity(); }

    // The `count` rows nearest to the point, by chord then by row.
    std::vector<int> nearest(GeoPoint point, size_t count) const;
    // Every row whose chord to the point is at most `chord` (unordered).
    std::vector<int> within(GeoPoint point, double chord) const;

    // The chord of a great-circle distance; 2 (the diameter) past the antipode.
    static double chordOfKm(double km);

private:
    struct Point
    {
        double xyz[3];
        std::int32_t row;
    };
    struct Nearest;

    void build(size_t begin, size_t end);
    void searchNearest(size_t begin, size_t end, Nearest &found) const;
    void searchWithin(size_t begin, size_t end, const double *q, double chord2, std::vector<int> &rows) const;

    std::vector<Point> m_points;
    std::vector<std::uint8_t> m_axes; // the split axis of the node at each middle
    size_t m_withoutPosition = 0;
};
