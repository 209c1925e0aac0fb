#pragma once

#include <QString>

// The six-character Maidenhead grid locator of a position in decimal degrees
// (north and east positive), e.g. "JN18EU": field letters A-R, square digits,
// subsquare letters A-X, all upper case.
//
// Defined for -90 <= latitude < 90 and -180 <= longitude < 180, which every
// commune satisfies. Outside that range (NaN and infinities included) the
// grid has no square to name, so the result is an empty string rather than
// letters past the end of the grid.
QString maidenheadLocator(double latitude, double longitude);

// The same with the extended square's two digits: "JN18EU47", each
// subsquare cut in ten along both sides (about 600 m by 460 m in France).
QString maidenheadLocator8(double latitude, double longitude);
