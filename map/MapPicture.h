#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRgb>

class FillColorGenerator;

// The map of France as the window shows it: the stored picture with the three
// black inset lines drawn over it, plus the fills made since the last reset.
class MapPicture
{
public:
    static constexpr QRgb Sea = 0xffcce8ff; // RGB(204,232,255)
    static constexpr QRgb White = 0xffffffff;

    // The picture compiled into the program, lines included.
    static QImage storedPicture();
    // Draws Line1, Line2 and Line3 (2 px, black) on a picture.
    static void drawInsetLines(QImage &picture);
    // The pixel a map coordinate stands for: each coordinate rounded to the
    // nearest whole number, ties to even (2.5 -> 2, 3.5 -> 4), whatever the
    // floating-point rounding mode. Far-off or NaN values give a point
    // outside any picture.
    static QPoint toMapPoint(QPointF p);

    explicit MapPicture(QImage stored = storedPicture());

    const QImage &image() const { return m_image; }
    const QImage &stored() const { return m_stored; }

    // Discards every fill: the stored picture shows again. Cheap: the image
    // shares the stored pixels until the next fill writes to them.
    void reset();

    // The colour of one pixel as 0xRRGGBB (alpha dropped); white outside.
    QRgb pixel(QPoint p) const;

    // Draws a fresh colour from the generator (exactly three draws) and
    // floods the area of the pixel's colour around p (side neighbours only)
    // with it. A point outside the picture fills nothing but still takes its
    // colour. Returns the colour used, which stays the current fill colour.
    QRgb fillAtPoint(QPointF p, FillColorGenerator &colors);

    QRgb fillColor() const { return m_fillColor; }
    // Makes a colour the current fill colour without filling anything.
    void setFillColor(QRgb color) { m_fillColor = color | 0xff000000u; }

    // The bounding box of the pixels the last fill changed; empty when it
    // changed nothing, or after a reset.
    QRect lastFillRect() const { return m_lastFillRect; }
    // The part of the image that changed (fills, resets) since the previous
    // call, so that a view repaints only that; the call clears it.
    QRect takeDirtyRect();

private:
    QImage m_stored;
    QImage m_image;
    QRgb m_fillColor = 0xff000000;
    QRect m_lastFillRect;
    QRect m_filledSinceReset; // where the image differs from the stored picture
    QRect m_dirtyRect;
};
