#include "app/StartingPoint.h"

#include "geometry/CoordinateText.h"
#include "search/LocatorSearch.h"

#include <QAccessible>
#include <QLabel>
#include <QLocale>
#include <QSettings>
#include <cmath>

namespace {

const QString organisation = QStringLiteral("Topovil");
const QString application = QStringLiteral("topovil");

} // namespace

std::optional<StartingPoint> loadStartingPoint()
{
    const QSettings kept(organisation, application);
    bool latitudeOk = false;
    bool longitudeOk = false;
    const StartingPoint point{kept.value(QStringLiteral("depart/nom")).toString(),
                              {kept.value(QStringLiteral("depart/latitude")).toDouble(&latitudeOk),
                               kept.value(QStringLiteral("depart/longitude")).toDouble(&longitudeOk)},
                              kept.value(QStringLiteral("depart/departement")).toString()};
    // Settings edited by hand may hold anything.
    if (!latitudeOk || !longitudeOk || !isOnGlobe(point.position))
        return std::nullopt;
    return point;
}

void saveStartingPoint(const std::optional<StartingPoint> &point)
{
    QSettings kept(organisation, application);
    if (!point) {
        kept.remove(QStringLiteral("depart"));
        return;
    }
    kept.setValue(QStringLiteral("depart/nom"), point->name);
    kept.setValue(QStringLiteral("depart/latitude"), point->position.latitude);
    kept.setValue(QStringLiteral("depart/longitude"), point->position.longitude);
    kept.setValue(QStringLiteral("depart/departement"), point->departement);
}

QString distanceLineText(const StartingPoint &from, GeoPoint to)
{
    const double km = distanceKm(from.position, to);
    // A reader of « 8,999.2 km » takes it for nine kilometres: French in
    // every locale, as the clock is.
    const QLocale locale(QLocale::French, QLocale::France);
    if (std::round(km * 10) == 0)
        return QStringLiteral("Point de départ : %1").arg(from.name);
    // Bearings are read in whole degrees, 0 to 359: 359.5 and above is north.
    const int bearing = int(std::lround(bearingDegrees(from.position, to))) % 360;
    return QStringLiteral("Depuis %1 : %2 km, azimut %3°")
        .arg(from.name, locale.toString(km, 'f', 1), locale.toString(bearing));
}

void showDistanceLine(QLabel *line, const std::optional<StartingPoint> &from, std::optional<GeoPoint> shown)
{
    const QString text = from && shown ? distanceLineText(*from, *shown) : QString();
    line->setVisible(!text.isEmpty());
    if (line->text() == text)
        return;
    line->setText(text);
    QAccessibleEvent changed(line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
