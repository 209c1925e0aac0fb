#include "map/MapClick.h"

#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"
#include "map/MapPicture.h"

namespace {

constexpr QRgb white = 0xffffff;

// The click has always shown this spelling for département 56, unlike the
// rest of the window.
QString clickName(const DepartementRow &row)
{
    if (row.number == 56)
        return QStringLiteral("MORBIHANT");
    return row.displayName();
}

} // namespace

ClickResult identifyDepartement(const MapPicture &map)
{
    const auto &rows = DepartementTable();
    for (const DepartementRow &row : rows) {
        if (row.isOverseas())
            continue;
        if (map.pixel(row.seed()) != white)
            return {QString::number(row.number), clickName(row)};
    }
    return {};
}

ClickResult clickMap(MapPicture &map, FillColorGenerator &colors, QPointF click)
{
    map.reset();
    map.fillAtPoint(click, colors);
    const ClickResult result = identifyDepartement(map);
    if (result.number.isEmpty())
        map.setFillColor(colors.nextColor());
    return result;
}
