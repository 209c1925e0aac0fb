#pragma once

#include "geometry/GreatCircle.h"

#include <QString>
#include <optional>

class Form1;

// The commune from which every shown commune's distance and bearing are
// told: its name and its position as the window showed them.
struct StartingPoint
{
    QString name;
    GeoPoint position;

    bool operator==(const StartingPoint &) const = default;
};

// Kept across runs in the user's Qt settings; nothing when none is kept or
// the kept one is unreadable or absurd (a name longer than any commune's, a
// settings file of more than 64 KiB, which is not read). Saving returns why
// the setting could not be written, in French; empty when it was.
std::optional<StartingPoint> loadStartingPoint();
QString saveStartingPoint(const std::optional<StartingPoint> &point);
// Saves the window's starting point through its platform, and tells the
// user when it could not be kept.
void keepStartingPoint(Form1 &form);

// « Depuis PARIS : 662,6 km, azimut 158° », numbers in the user's locale;
// « Point de départ : PARIS » for the starting point itself.
QString distanceLineText(const StartingPoint &from, GeoPoint to);

// The shown commune's distance line, under the online-map button: hidden
// without a starting point or without a readable position.
void showDistanceLine(Form1 &form);
