#pragma once

#include "cli/CommandLineSearch.h"
#include "geometry/GreatCircle.h"
#include "search/SearchMatches.h"
#include "store/Database.h"

#include <QString>
#include <QStringList>
#include <optional>

// The place a command line names for distances: coordinates
// (« 48.8566 2.3522 »), the centre of a grid locator's square, or the
// position of the first commune the search finds. Nothing, with a French
// message in *why, when the text names no place.
std::optional<GeoPoint> placeOfText(Database &db, const Recordset &communes, const QString &text, QString *why);

// The fields `distance_km` (one decimal, a decimal point) and `azimut` (whole
// degrees from north, clockwise) of a commune seen from `from`; empty
// fields when the commune has no position.
QStringList distanceTexts(const Recordset &communes, int row, GeoPoint from);

// What `topovil --autour TEXTE RAYON_KM [FICHIER]` writes and returns: the
// communes within the radius of the place, nearest first, each record ending
// with its `distance_km`. Status as for --chercher.
CommandLineSearchResult aroundFromCommandLine(const QString &text, const QString &radiusKm, const QString &dataPath,
                                              std::FILE *out, RecordWriter::Kind kind, bool headerLine);
