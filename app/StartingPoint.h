#pragma once

#include "geometry/GreatCircle.h"

#include <QString>
#include <optional>

class QLabel;

// The place from which every shown commune's distance and bearing are
// told: its name and its position as the window showed them (a commune, or
// the square or the coordinates typed), and the map number of the
// département whose inset of the map holds its ring.
struct StartingPoint
{
    QString name;
    GeoPoint position;
    QString mapNumber; // of its département; empty when unknown: the ring is then left out

    // The same place: the map number only says where its ring is drawn.
    bool operator==(const StartingPoint &other) const { return name == other.name && position == other.position; }
};

// Kept across runs in the user's Qt settings; nothing when none is kept or
// the kept one is unreadable or absurd (a name longer than any commune's, a
// settings file of more than 64 KiB, which is not read). Saving returns why
// the setting could not be written, in French; empty when it was.
std::optional<StartingPoint> loadStartingPoint();
QString saveStartingPoint(const std::optional<StartingPoint> &point);

// « Depuis PARIS : 662,6 km, azimut 158° », numbers written as in French
// whatever the locale; « Point de départ : PARIS » for the starting point
// itself.
QString distanceLineText(const StartingPoint &from, GeoPoint to);

// The distance line, under the online-map button: hidden when it is empty
// (no starting point, or no readable position of the shown commune).
void showDistanceLine(QLabel *line, const QString &text);
