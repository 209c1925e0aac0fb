#include "app/Chrome.h"

#include <cmath>

QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    const double rx = ellipseWidth / 2.0;
    const double ry = ellipseHeight / 2.0;
    QRegion region;
    for (int y = top; y < bottom; ++y) {
        // Distance of this row's centre into the corner band, from the
        // ellipse's centre line; rows outside the bands are full width.
        const double yc = y + 0.5;
        double dy = 0;
        if (yc < top + ry)
            dy = top + ry - yc;
        else if (yc > bottom - ry)
            dy = yc - (bottom - ry);
        int inset = 0;
        if (dy > 0) {
            const double t = std::min(1.0, dy / ry);
            inset = int(std::lround(rx - rx * std::sqrt(1.0 - t * t)));
        }
        if (left + inset < right - inset)
            region += QRect(left + inset, y, right - left - 2 * inset, 1);
    }
    return region;
}

QRegion form1Region()
{
    return roundedRectRegion(1, 1, 545, 420, 30, 30);
}
