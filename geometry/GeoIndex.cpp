#include "geometry/GeoIndex.h"

#include "store/DatabaseError.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Ranges this short are read whole: below it a split costs more than it saves.
constexpr size_t leafSize = 8;

void unitVector(GeoPoint p, double *xyz)
{
    constexpr double radians = std::numbers::pi / 180;
    const double lat = p.latitude * radians;
    const double lon = p.longitude * radians;
    xyz[0] = std::cos(lat) * std::cos(lon);
    xyz[1] = std::cos(lat) * std::sin(lon);
    xyz[2] = std::sin(lat);
}

double squaredChord(const double *a, const double *b)
{
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

} // namespace

PositionColumns PositionColumns::of(const TableData &table)
{
    const int latitude = table.columnIndex(u"latitude");
    const int longitude = table.columnIndex(u"longitude");
    if (latitude < 0 || longitude < 0)
        return {};
    return {&table.data[size_t(latitude)], &table.data[size_t(longitude)]};
}

std::optional<GeoPoint> PositionColumns::at(size_t row) const
{
    if (!latitude || !longitude || row >= latitude->size())
        return std::nullopt;
    const std::optional<double> lat = latitude->number(row);
    const std::optional<double> lon = longitude->number(row);
    if (!lat || !lon || !isOnGlobe({*lat, *lon}))
        return std::nullopt;
    return GeoPoint{*lat, *lon};
}

double GeoIndex::chordOfKm(double km)
{
    const double angle = km / EarthRadiusKm;
    return angle >= std::numbers::pi ? 2.0 : 2 * std::sin(std::max(angle, 0.0) / 2);
}

GeoIndex::GeoIndex(const TableData &table)
{
    const size_t rows = table.rowCount();
    const size_t bytes = rows * (sizeof(Point) + 1);
    const size_t held = table.memoryBytes();
    if (held > table.memoryLimit || bytes > table.memoryLimit - held)
        throw DatabaseError(QStringLiteral("La table est trop grande pour y chercher par distance : l'index des "
                                           "positions dépasserait la mémoire permise (%1 Mo).")
                                .arg(table.memoryLimit >> 20));
    const PositionColumns columns = PositionColumns::of(table);
    m_points.reserve(rows);
    for (size_t row = 0; row < rows; ++row) {
        if (const std::optional<GeoPoint> position = columns.at(row)) {
            Point point{{}, std::int32_t(row)};
            unitVector(*position, point.xyz);
            m_points.push_back(point);
        }
    }
    m_points.shrink_to_fit();
    m_withoutPosition = rows - m_points.size();
    m_axes.assign(m_points.size(), 0);
    build(0, m_points.size());
}

void GeoIndex::build(size_t begin, size_t end)
{
    if (end - begin <= leafSize)
        return;
    // Split across the axis along which the points spread most.
    double low[3] = {2, 2, 2};
    double high[3] = {-2, -2, -2};
    for (size_t i = begin; i < end; ++i) {
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], m_points[i].xyz[a]);
            high[a] = std::max(high[a], m_points[i].xyz[a]);
        }
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (high[a] - low[a] > high[axis] - low[axis])
            axis = a;
    }
    const size_t middle = begin + (end - begin) / 2;
    std::nth_element(m_points.begin() + ptrdiff_t(begin), m_points.begin() + ptrdiff_t(middle),
                     m_points.begin() + ptrdiff_t(end),
                     [axis](const Point &a, const Point &b) { return a.xyz[axis] < b.xyz[axis]; });
    m_axes[middle] = std::uint8_t(axis);
    build(begin, middle);
    build(middle + 1, end);
}

// The best rows so far, as a max-heap on (squared chord, row).
struct GeoIndex::Nearest
{
    double q[3];
    size_t count;
    std::vector<std::pair<double, int>> heap;

    // The squared chord a point must not pass to be kept.
    double bound() const { return heap.size() < count ? 8.0 : heap.front().first; }

    void consider(const Point &point)
    {
        const std::pair<double, int> candidate(squaredChord(q, point.xyz), point.row);
        if (heap.size() < count) {
            heap.push_back(candidate);
            std::push_heap(heap.begin(), heap.end());
        } else if (candidate < heap.front()) {
            std::pop_heap(heap.begin(), heap.end());
            heap.back() = candidate;
            std::push_heap(heap.begin(), heap.end());
        }
    }
};

void GeoIndex::searchNearest(size_t begin, size_t end, Nearest &found) const
{
    if (end - begin <= leafSize) {
        for (size_t i = begin; i < end; ++i)
            found.consider(m_points[i]);
        return;
    }
    const size_t middle = begin + (end - begin) / 2;
    const int axis = m_axes[middle];
    const double offset = found.q[axis] - m_points[middle].xyz[axis];
    found.consider(m_points[middle]);
    const bool lowFirst = offset < 0;
    if (lowFirst)
        searchNearest(begin, middle, found);
    else
        searchNearest(middle + 1, end, found);
    // Ties count: a row of equal distance but earlier in the table wins.
    if (offset * offset <= found.bound()) {
        if (lowFirst)
            searchNearest(middle + 1, end, found);
        else
            searchNearest(begin, middle, found);
    }
}

std::vector<int> GeoIndex::nearest(GeoPoint point, size_t count) const
{
    if (count == 0 || m_points.empty())
        return {};
    Nearest found{{}, count, {}};
    unitVector(point, found.q);
    found.heap.reserve(std::min(count, m_points.size()));
    searchNearest(0, m_points.size(), found);
    std::sort_heap(found.heap.begin(), found.heap.end());
    std::vector<int> rows;
    rows.reserve(found.heap.size());
    for (const auto &[chord2, row] : found.heap)
        rows.push_back(row);
    return rows;
}

void GeoIndex::searchWithin(size_t begin, size_t end, const double *q, double chord2, std::vector<int> &rows) const
{
    if (end - begin <= leafSize) {
        for (size_t i = begin; i < end; ++i) {
            if (squaredChord(q, m_points[i].xyz) <= chord2)
                rows.push_back(m_points[i].row);
        }
        return;
    }
    const size_t middle = begin + (end - begin) / 2;
    const double offset = q[m_axes[middle]] - m_points[middle].xyz[m_axes[middle]];
    if (squaredChord(q, m_points[middle].xyz) <= chord2)
        rows.push_back(m_points[middle].row);
    if (offset <= 0 || offset * offset <= chord2)
        searchWithin(begin, middle, q, chord2, rows);
    if (offset >= 0 || offset * offset <= chord2)
        searchWithin(middle + 1, end, q, chord2, rows);
}

std::vector<int> GeoIndex::within(GeoPoint point, double chord) const
{
    std::vector<int> rows;
    if (m_points.empty() || !(chord >= 0))
        return rows;
    double q[3];
    unitVector(point, q);
    searchWithin(0, m_points.size(), q, chord * chord, rows);
    return rows;
}
