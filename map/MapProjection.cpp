#include "map/MapProjection.h"

#include "departements/DepartementTable.h"
#include "map/MapProjectionTable.h"

#include <QLineF>
#include <QRect>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using mapProjectionTable::Affine;

// Inside the frames, lines included: what lies there belongs to the inset.
const QRect parisFrame(11, 13, 61, 57);
const QRect corsicaFrame(204, 221, 32, 47);
// The part of the 265 x 298 picture the window shows: one row fewer.
const QRect shownPicture(0, 0, 265, 297);

const Affine &affineOf(MapInset inset)
{
    switch (inset) {
    case MapInset::Paris:
        return mapProjectionTable::paris;
    case MapInset::Corsica:
        return mapProjectionTable::corsica;
    case MapInset::Mainland:
        break;
    }
    return mapProjectionTable::mainland;
}

template <size_t N>
bool listed(const int (&numbers)[N], int number)
{
    return std::find(std::begin(numbers), std::end(numbers), number) != std::end(numbers);
}

bool containsPixel(const QRect &rect, QPointF p)
{
    return p.x() >= rect.left() && p.x() <= rect.right() && p.y() >= rect.top() && p.y() <= rect.bottom();
}

// The pixels of a département on the picture: the area of the seed's
// colour around it (side neighbours, as the fill spreads), and the border
// pixels that touch it.
class DepartementArea
{
public:
    DepartementArea(const QImage &picture, QPoint seed) : m_picture(picture)
    {
        if (!picture.valid(seed))
            return;
        const QRgb colour = picture.pixel(seed);
        std::vector<QPoint> stack{seed};
        m_inside.insert(key(seed));
        while (!stack.empty()) {
            const QPoint p = stack.back();
            stack.pop_back();
            for (const QPoint side : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint q = p + side;
                if (!picture.valid(q) || picture.pixel(q) != colour || m_inside.contains(key(q)))
                    continue;
                m_inside.insert(key(q));
                stack.push_back(q);
            }
        }
    }

    bool holds(QPoint p) const
    {
        if (!m_picture.valid(p))
            return false;
        if (m_inside.contains(key(p)))
            return true;
        if ((m_picture.pixel(p) & 0xffffff) != 0)
            return false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (m_inside.contains(key(p + QPoint(dx, dy))))
                    return true;
        return false;
    }

private:
    static int key(QPoint p) { return p.y() * 1024 + p.x(); }

    const QImage &m_picture;
    QSet<int> m_inside;
};

} // namespace

std::optional<MapInset> insetOfDepartement(QStringView numberText)
{
    const std::optional<DepartementRow> row = LookupDepartement(numberText);
    if (!row || row->isOverseas())
        return std::nullopt;
    if (listed(mapProjectionTable::parisDepartements, row->number))
        return MapInset::Paris;
    if (listed(mapProjectionTable::corsicaDepartements, row->number))
        return MapInset::Corsica;
    return MapInset::Mainland;
}

MapInset insetAt(QPointF point)
{
    if (containsPixel(parisFrame, point))
        return MapInset::Paris;
    if (containsPixel(corsicaFrame, point))
        return MapInset::Corsica;
    return MapInset::Mainland;
}

QPointF projectToMap(MapInset inset, QPointF lonLat)
{
    const Affine &t = affineOf(inset);
    const double x = lonLat.x() * mapProjectionTable::lonScale;
    const double y = lonLat.y();
    return {t.a * x + t.b * y + t.c, t.d * x + t.e * y + t.f};
}

QPointF mapToPosition(MapInset inset, QPointF point)
{
    const Affine &t = affineOf(inset);
    // The maps are far from singular (about 22 pixels a degree each way).
    const double det = t.a * t.e - t.b * t.d;
    const double u = point.x() - t.c;
    const double v = point.y() - t.f;
    const double x = (t.e * u - t.b * v) / det;
    const double y = (t.a * v - t.d * u) / det;
    return {x / mapProjectionTable::lonScale, y};
}

std::optional<QPoint> communeMapPoint(const QImage &picture, QStringView numberText, QPointF lonLat)
{
    const std::optional<MapInset> inset = insetOfDepartement(numberText);
    if (!inset || !std::isfinite(lonLat.x()) || !std::isfinite(lonLat.y()))
        return std::nullopt;
    const QPointF projected = projectToMap(*inset, lonLat);
    // Far-off points are refused before they are turned into whole pixels.
    if (!QRectF(-1, -1, 267, 299).contains(projected))
        return std::nullopt;
    const QPoint corner(int(std::floor(projected.x())), int(std::floor(projected.y())));
    std::array<QPoint, 4> around{corner, corner + QPoint(1, 0), corner + QPoint(0, 1), corner + QPoint(1, 1)};
    std::stable_sort(around.begin(), around.end(), [projected](QPoint a, QPoint b) {
        return QLineF(projected, a).length() < QLineF(projected, b).length();
    });
    const DepartementArea area(picture, LookupDepartement(numberText)->seed());
    const auto onItsDepartement = std::find_if(around.begin(), around.end(), [&](QPoint p) { return area.holds(p); });
    const QPoint pixel = onItsDepartement != around.end() ? *onItsDepartement : around.front();
    if (!shownPicture.contains(pixel) || insetAt(pixel) != *inset)
        return std::nullopt;
    return pixel;
}
