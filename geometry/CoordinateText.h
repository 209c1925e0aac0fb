#pragma once

#include "geometry/GreatCircle.h"

#include <QString>
#include <QStringView>

// What a typed text says as a position: latitude then longitude in decimal
// degrees (« 48.8566 2.3522 », « 48.8566, 2.3522 », « 48,8566 2,3522 »,
// signs for south and west), or in degrees, minutes and seconds with the
// letters N, S, E and W (O for ouest), in either order when both carry
// their letter (« 48°51'24"N 2°21'08"E », « 2°21'08"E 48°51'24"N »).
struct TypedPosition
{
    enum class Kind {
        None,     // the text is no position: other searches may take it
        Position, // `point` holds it
        Refused,  // written as a position but none can be: `refusal` says why
    };
    Kind kind = Kind::None;
    GeoPoint point;
    QString refusal; // French, for the user
};

TypedPosition readPosition(QStringView text);
