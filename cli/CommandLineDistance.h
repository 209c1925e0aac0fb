#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "geometry/GreatCircle.h"
#include "search/FindCommunes.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The place a command line names for distances, as the search reads it:
// coordinates (« 48.8566 2.3522 »), the centre of a grid locator's square, or
// the position of the first commune the search finds. Nothing, with a French
// message in *why, when the text names no place.
std::optional<GeoPoint> placeOfText(SearchTables &tables, const QString &text, QString *why);

// The fields `distance_km` (one decimal, a decimal point) and `azimut` (whole
// degrees from north, clockwise) of a commune seen from `from`; empty
// fields when the commune has no position.
QStringList distanceTexts(const Recordset &communes, int row, GeoPoint from);

// `topovil --autour TEXTE RAYON_KM [FICHIER]`: the communes within the
// radius of the place, nearest first, each record ending with its
// `distance_km`. Status as for --chercher.
std::unique_ptr<Command> aroundCommand(const CommandLine &line);
