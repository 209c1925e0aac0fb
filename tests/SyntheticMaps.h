#pragma once

#include "departements/DepartementTable.h"
#include "map/FillColorGenerator.h"

#include <QImage>
#include <QPoint>

// Colours and small pictures shared by the map tests.
namespace testmap {

inline constexpr QRgb black = 0xff000000;
inline constexpr QRgb white = 0xffffffff;
inline constexpr QRgb sea = 0xffcce8ff;

// A map-sized picture that is all black but for a 3 x 3 white box around
// each seed point of départements 1..95 (seed points are at least 6 pixels
// apart, so the boxes never touch) and a patch of sea around (5, 5).
inline QImage seedBoxes()
{
    QImage image(265, 298, QImage::Format_RGB32);
    image.fill(black);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, sea);
    const auto &rows = DepartementTable();
    for (int i = 0; i < 95; ++i)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                image.setPixel(rows[size_t(i)].seed() + QPoint(dx, dy), white);
    return image;
}

inline QPoint seedOf(int number)
{
    return DepartementTable()[size_t(number - 1)].seed();
}

// The n-th colour (from 1) of a fresh generator.
inline QRgb nthColor(int n)
{
    FillColorGenerator colors;
    QRgb color = 0;
    for (int i = 0; i < n; ++i)
        color = colors.nextColor();
    return color;
}

inline int countPixels(const QImage &image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color;
    return count;
}

} // namespace testmap
