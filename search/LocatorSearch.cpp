#include "search/LocatorSearch.h"

#include "geo/MaidenheadLocator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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

// The great-circle angle between two positions, enough to order distances.
double angleBetween(QPointF a, QPointF b)
{
    constexpr double radians = std::numbers::pi / 180;
    const double lat1 = a.y() * radians;
    const double lat2 = b.y() * radians;
    const double dLat = lat2 - lat1;
    const double dLon = (b.x() - a.x()) * radians;
    const double h =
        std::pow(std::sin(dLat / 2), 2) + std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dLon / 2), 2);
    return 2 * std::asin(std::sqrt(std::min(1.0, h)));
}

std::optional<QPointF> positionOf(const Column &longitudes, const Column &latitudes, size_t row)
{
    if (longitudes.isNull(row) || latitudes.isNull(row))
        return std::nullopt;
    bool lonOk = false;
    bool latOk = false;
    const double lon = longitudes.value(row).toDouble(&lonOk);
    const double lat = latitudes.value(row).toDouble(&latOk);
    if (!lonOk || !latOk || !std::isfinite(lon) || !std::isfinite(lat))
        return std::nullopt;
    return QPointF(lon, lat);
}

} // namespace

bool isLocatorText(QStringView typed)
{
    if (typed.size() != 4 && typed.size() != 6)
        return false;
    if (!letterIn(typed[0], u'R') || !letterIn(typed[1], u'R') || !isDigit(typed[2]) || !isDigit(typed[3]))
        return false;
    return typed.size() == 4 || (letterIn(typed[4], u'X') && letterIn(typed[5], u'X'));
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
    return QPointF(lon + 1.0 / 24, lat + 1.0 / 48);
}

std::vector<int> findCommunesByLocator(const Recordset &communes, QStringView locator)
{
    const std::optional<QPointF> centre = locatorCentre(locator);
    if (!centre)
        return {};
    const Column &longitudes = communes.column(communes.fieldIndex(u"longitude"));
    const Column &latitudes = communes.column(communes.fieldIndex(u"latitude"));
    struct Candidate
    {
        double angle;
        int row;
        bool inside;
    };
    std::vector<Candidate> candidates;
    for (int row = 0; row < communes.recordCount(); ++row) {
        const std::optional<QPointF> position = positionOf(longitudes, latitudes, size_t(row));
        if (!position)
            continue;
        const QString own = maidenheadLocator(position->y(), position->x());
        candidates.push_back(
            {angleBetween(*centre, *position), row, own.startsWith(locator.toString(), Qt::CaseInsensitive)});
    }
    const auto nearer = [](const Candidate &a, const Candidate &b) {
        return a.angle < b.angle || (a.angle == b.angle && a.row < b.row);
    };
    std::vector<int> rows;
    std::vector<Candidate> inside;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(inside),
                 [](const Candidate &c) { return c.inside; });
    if (inside.empty()) {
        const auto nearest = std::min_element(candidates.begin(), candidates.end(), nearer);
        if (nearest != candidates.end())
            rows.push_back(nearest->row);
        return rows;
    }
    std::sort(inside.begin(), inside.end(), nearer);
    for (const Candidate &c : inside)
        rows.push_back(c.row);
    return rows;
}
