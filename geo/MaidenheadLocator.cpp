#include "geo/MaidenheadLocator.h"

#include <algorithm>
#include <cmath>

namespace {

// A letter of the grid: 'A' for index 0. The clamp only guards the cast; in
// the valid range the index never leaves it.
char16_t gridLetter(double index, int count)
{
    return char16_t(u'A' + std::clamp(int(std::floor(index)), 0, count - 1));
}

char16_t gridDigit(double index)
{
    return char16_t(u'0' + std::clamp(int(std::floor(index)), 0, 9));
}

// The eight characters of the extended locator, or false out of range.
bool writeLocator8(double latitude, double longitude, char16_t (&locator)[8])
{
    // The negated comparisons also refuse NaN.
    if (!(latitude >= -90.0 && latitude < 90.0) || !(longitude >= -180.0 && longitude < 180.0))
        return false;

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

    locator[0] = gridLetter(a, 18);
    locator[1] = gridLetter(b, 18);
    locator[2] = gridDigit(c);
    locator[3] = gridDigit(d);
    locator[4] = gridLetter(e, 24);
    locator[5] = gridLetter(f, 24);
    locator[6] = gridDigit(g);
    locator[7] = gridDigit(h);
    return true;
}

} // namespace

QString maidenheadLocator(double latitude, double longitude)
{
    char16_t locator[8];
    return writeLocator8(latitude, longitude, locator) ? QString::fromUtf16(locator, 6) : QString();
}

QString maidenheadLocator8(double latitude, double longitude)
{
    char16_t locator[8];
    return writeLocator8(latitude, longitude, locator) ? QString::fromUtf16(locator, 8) : QString();
}
