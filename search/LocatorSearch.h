#pragma once

#include "store/Recordset.h"

#include <QPointF>
#include <QStringView>
#include <optional>
#include <vector>

// A search text that is a Maidenhead locator of 4, 6 or 8 characters: two
// letters A-R, two digits, then optionally two letters A-X, in any case,
// and after them optionally two digits.
bool isLocatorText(QStringView typed);

// The centre of the locator's square, as (longitude, latitude) in degrees;
// nothing for a text that is no locator.
std::optional<QPointF> locatorCentre(QStringView locator);

// The communes whose own locator starts with the given one, the nearest to
// the centre of its square first (ties in table order). When no commune
// lies inside the square: the one commune nearest to its centre. Rows
// without a readable position are left out.
std::vector<int> findCommunesByLocator(const Recordset &communes, QStringView locator);

// Whether the commune at `row` lies in the locator's square.
bool liesInSquare(const Recordset &communes, int row, QStringView locator);
