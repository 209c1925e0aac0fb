#include "app/StartingPoint.h"

#include "app/Form1.h"
#include "store/NumberText.h"

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
                               kept.value(QStringLiteral("depart/longitude")).toDouble(&longitudeOk)}};
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
}

QString distanceLineText(const StartingPoint &from, GeoPoint to)
{
    const double km = distanceKm(from.position, to);
    const QLocale locale;
    if (std::round(km * 10) == 0)
        return QStringLiteral("Point de départ : %1").arg(from.name);
    // Bearings are read in whole degrees, 0 to 359.
    const int bearing = int(std::lround(bearingDegrees(from.position, to))) % 360;
    return QStringLiteral("Depuis %1 : %2 km, azimut %3°")
        .arg(from.name, locale.toString(km, 'f', 1), locale.toString(bearing));
}

void showDistanceLine(Form1 &form)
{
    QLabel *line = form.distanceLabel;
    const std::optional<GeoPoint> shown = form.shownPosition();
    const QString text = form.startingPoint && shown ? distanceLineText(*form.startingPoint, *shown) : QString();
    line->setVisible(!text.isEmpty());
    if (line->text() == text)
        return;
    line->setText(text);
    QAccessibleEvent changed(line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
