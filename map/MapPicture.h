#pragma once

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRgb>

class FillColorGenerator;

// The map of France as the window shows it: the stored picture with the three
// black inset lines drawn over it, plus the fills made since the last reset.
class MapPicture
{
public:
    static constexpr QRgb Sea = 0xffcce8ff;   // RGB(204,232,255)
    static constexpr QRgb White = 0xffffffff;

    // The picture compiled into the program, lines included.
    static QImage storedPicture();
    // Draws Line1, Line2 and Line3 (2 px, black) on a picture.
    static void drawInsetLines(QImage &picture);

    explicit MapPicture(QImage stored = storedPicture());

    const QImage &image() const { return m_image; }
    const QImage &stored() const { return m_stored; }

    // Discards every fill: the stored picture shows again.
    void reset();

    // The colour of one pixel as 0xRRGGBB (alpha dropped); white outside.
    QRgb pixel(QPoint p) const;

    // Draws a fresh colour from the generator and floods the area of the
    // pixel's colour around p (side neighbours only) with it. Returns the
    // colour used, which stays the current fill colour.
    QRgb fillAtPoint(QPointF p, FillColorGenerator &colors);

    QRgb fillColor() const { return m_fillColor; }

private:
    QImage m_stored;
    QImage m_image;
    QRgb m_fillColor = 0xff000000;
};
