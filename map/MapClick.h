#pragma once

#include <QPointF>
#include <QString>

class FillColorGenerator;
class MapPicture;

// What a click on the map shows: the département number for Label5 and its
// name for Label20, both empty when the click coloured no département.
struct ClickResult
{
    QString number;
    QString name;
};

// The département whose seed point is no longer white, found by looking at
// the seed points of départements 1..95 in number order (the lowest wins).
// The overseas row is never looked at.
ClickResult identifyDepartement(const MapPicture &map);

// The whole click on the map: reset, fill at the click, identify. A click
// that names nothing draws one more colour and makes it the fill colour
// without filling, so later fills of the run get other colours.
ClickResult clickMap(MapPicture &map, FillColorGenerator &colors, QPointF click);
