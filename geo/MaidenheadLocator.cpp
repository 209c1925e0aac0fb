#include "geo/MaidenheadLocator.h"

#include <algorithm>
#include <cmath>

namespace {

// A letter of the grid: 'A' for index 0. The clamp only guards the cast; in
// the valid range the index never leaves it.
QChar gridLetter(double index, int count)
{
    return QChar(u'A' + std::clamp(int(std::floor(index)), 0, count - 1));
}

QChar gridDigit(double index)
{
    return QChar(u'0' + std::clamp(int(std::floor(index)), 0, 9));
}

} // namespace

QString maidenheadLocator(double latitude, double longitude)
{
    return maidenheadLocator8(latitude, longitude).left(6);
}

QString maidenheadLocator8(double latitude, double longitude)
{
    // The negated comparisons also refuse NaN.
    if (!(latitude >= -90.0 && latitude < 90.0) || !(longitude >= -180.0 && longitude < 180.0))
        return {};

    // Each step keeps the arithmetic of the traditional computation, in
    // double precision, so that positions on a square's edge fall the same way.
    const double w = -longitude;
    const double a = (180.0 - w) / 20.0;
    const double b = (latitude + 90.0) / 10.0;
    const double c = (a - std::floor((180.0 - w) / 20.0)) * 10.0;
    const double d = (b - std::floor(b)) * 10.0;
    const double e = (c - std::floor(c)) * 24.0;
    const double f = (d - std::floor(d)) * 24.0;
    // The extended square: each subsquare cut in ten along both sides.
    const double g = (e - std::floor(e)) * 10.0;
    const double h = (f - std::floor(f)) * 10.0;

    QString locator;
    locator.reserve(8);
    locator += gridLetter(a, 18);
    locator += gridLetter(b, 18);
    locator += gridDigit(c);
    locator += gridDigit(d);
    locator += gridLetter(e, 24);
    locator += gridLetter(f, 24);
    locator += gridDigit(g);
    locator += gridDigit(h);
    return locator;
}
