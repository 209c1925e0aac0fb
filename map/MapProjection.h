#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QStringView>
#include <optional>

// Where on the map picture a département is drawn: on the mainland, in the
// enlarged Paris inset (75, 92, 93, 94) or in the Corsica inset.
enum class MapInset { Mainland, Paris, Corsica };

// The inset of a département number as the map's table knows it ("1" to
// "95"); nothing for the overseas numbers and for a text with no row.
std::optional<MapInset> insetOfDepartement(QStringView numberText);

// The inset a map point lies in: inside the Paris or the Corsica frame, the
// mainland anywhere else.
MapInset insetAt(QPointF point);

// A position, as (longitude, latitude) in degrees, east and north positive,
// on the map picture of an inset, with the very maps the picture was drawn
// with; and back.
QPointF projectToMap(MapInset inset, QPointF lonLat);
QPointF mapToPosition(MapInset inset, QPointF point);

// The pixel that marks a commune on `picture` (the map as stored, without
// fills): its position projected in its département's inset, on the one of
// the four pixels around the projected point, nearest first, that lies on
// the département's area or on the border line next to it (the picture
// draws each border within a pixel of the true one, so a commune close to
// it would otherwise be marked on its neighbour); the nearest of the four
// when none does. Nothing for an overseas or unknown département, for a
// position that is not a number, and for a pixel outside the part of the
// picture the window shows or outside its own inset (a mainland point that
// would fall in an inset frame would name the wrong place).
std::optional<QPoint> communeMapPoint(const QImage &picture, QStringView numberText, QPointF lonLat);
