#pragma once

#include <QImage>
#include <QPoint>

#include <deque>

// The picture after a fill at start, found the slow and obvious way: every
// pixel of start's colour joined to it through side neighbours takes the fill
// colour (opaque). A start off the picture changes nothing.
inline QImage referenceFill(QImage image, QPoint start, QRgb fill)
{
    if (!image.valid(start))
        return image;
    const QRgb target = image.pixel(start);
    fill |= 0xff000000u;
    if (target == fill)
        return image;
    std::deque<QPoint> queue{start};
    image.setPixel(start, fill);
    while (!queue.empty()) {
        const QPoint p = queue.front();
        queue.pop_front();
        for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint q = p + step;
            if (image.valid(q) && image.pixel(q) == target) {
                image.setPixel(q, fill);
                queue.push_back(q);
            }
        }
    }
    return image;
}
