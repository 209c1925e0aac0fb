#include "app/StartingPoint.h"

#include "store/CommuneDatabase.h"

#include <QAccessible>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <cmath>

namespace {

const QString organisation = QStringLiteral("Topovil");
const QString application = QStringLiteral("topovil");

// The settings file holds three short values; one far larger was written by
// something else, and reading it whole would hold the window for seconds.
constexpr qint64 MaxSettingsBytes = 64 << 10;

// Where QSettings keeps them on this system, found without reading them.
QString settingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + organisation
           + QLatin1Char('/') + application + QStringLiteral(".conf");
}

bool settingsTooLarge()
{
    return QFileInfo(settingsPath()).size() > MaxSettingsBytes;
}

} // namespace

std::optional<StartingPoint> loadStartingPoint()
{
    if (settingsTooLarge())
        return std::nullopt;
    const QSettings kept(organisation, application);
    bool latitudeOk = false;
    bool longitudeOk = false;
    const StartingPoint point{kept.value(QStringLiteral("depart/nom")).toString(),
                              {kept.value(QStringLiteral("depart/latitude")).toDouble(&latitudeOk),
                               kept.value(QStringLiteral("depart/longitude")).toDouble(&longitudeOk)},
                              kept.value(QStringLiteral("depart/departement")).toString()};
    // Settings edited by hand may hold anything: a name no commune bears is not one.
    if (!latitudeOk || !longitudeOk || !isOnGlobe(point.position) || point.name.trimmed().isEmpty()
        || point.name.size() > MaxCommuneNameLength)
        return std::nullopt;
    return point;
}

QString saveStartingPoint(const std::optional<StartingPoint> &point)
{
    // What could not be read is not kept: it is written anew.
    if (settingsTooLarge())
        QFile::remove(settingsPath());
    QSettings kept(organisation, application);
    if (!point) {
        kept.remove(QStringLiteral("depart"));
    } else {
        kept.setValue(QStringLiteral("depart/nom"), point->name);
        kept.setValue(QStringLiteral("depart/latitude"), point->position.latitude);
        kept.setValue(QStringLiteral("depart/longitude"), point->position.longitude);
        kept.setValue(QStringLiteral("depart/departement"), point->mapNumber);
    }
    kept.sync();
    if (kept.status() == QSettings::NoError)
        return {};
    return QStringLiteral("Le point de départ ne pourra pas être retrouvé au prochain lancement : le fichier des "
                          "réglages « %1 » ne peut pas être écrit (vérifiez que c'est un fichier et que son dossier "
                          "vous est ouvert en écriture).")
        .arg(kept.fileName());
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

void showDistanceLine(QLabel *line, const QString &text)
{
    line->setVisible(!text.isEmpty());
    if (line->text() == text)
        return;
    line->setText(text);
    QAccessibleEvent changed(line, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
