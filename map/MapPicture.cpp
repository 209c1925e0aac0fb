#include "map/MapPicture.h"

#include "map/FillColorGenerator.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Rounds half to even by hand so that a rounding mode changed elsewhere in
// the process cannot move a click to another pixel.
int roundHalfToEven(double v)
{
    if (std::isnan(v))
        return -1;
    // Well outside any picture, and far from overflowing an int.
    v = std::clamp(v, -1e9, 1e9);
    double whole = std::floor(v);
    const double rest = v - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return int(whole);
}

// Scan-line flood fill with surface semantics: every pixel of the start
// pixel's exact colour reachable through side neighbours takes the fill
// colour. Each stacked entry is the first pixel of a run still to fill, so
// the stack stays far smaller than the area and nothing recurses. Returns
// the bounding box of the changed pixels.
QRect floodFill(QImage &image, QPoint start, QRgb fill)
{
    const QRgb target = image.pixel(start);
    if (target == fill)
        return {}; // already that colour: filling would change nothing

    const int width = image.width();
    const int height = image.height();
    uchar *const bits = image.bits(); // detaches from the stored picture once
    const qsizetype stride = image.bytesPerLine();
    const auto row = [&](int y) { return reinterpret_cast<QRgb *>(bits + y * stride); };

    int minX = start.x(), maxX = start.x(), minY = start.y(), maxY = start.y();
    std::vector<QPoint> pending{start};
    while (!pending.empty()) {
        const QPoint seed = pending.back();
        pending.pop_back();
        QRgb *line = row(seed.y());
        if (line[seed.x()] != target)
            continue; // filled meanwhile from another run

        int left = seed.x();
        int right = seed.x();
        while (left > 0 && line[left - 1] == target)
            --left;
        while (right < width - 1 && line[right + 1] == target)
            ++right;
        std::fill(line + left, line + right + 1, fill);

        minX = std::min(minX, left);
        maxX = std::max(maxX, right);
        minY = std::min(minY, seed.y());
        maxY = std::max(maxY, seed.y());

        for (const int y : {seed.y() - 1, seed.y() + 1}) {
            if (y < 0 || y >= height)
                continue;
            const QRgb *next = row(y);
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool matches = next[x] == target;
                if (matches && !inRun)
                    pending.emplace_back(x, y);
                inRun = matches;
            }
        }
    }
    return QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

} // namespace

QImage MapPicture::storedPicture()
{
    QImage picture(QStringLiteral(":/map.bmp"));
    picture = picture.convertToFormat(QImage::Format_RGB32);
    drawInsetLines(picture);
    return picture;
}

void MapPicture::drawInsetLines(QImage &picture)
{
    // The sides of the two inset frames are 2 px wide, drawn on the outer
    // side so that the insets keep their sea.
    struct Line
    {
        int x;
        int top;
        int bottom;
    };
    static constexpr Line lines[] = {
        {70, 14, 68},    // Line1: right side of the Paris-region frame (x 70..71)
        {11, 14, 68},    // Line2: left side of the Paris-region frame (x 11..12)
        {204, 222, 266}, // Line3: left side of the Corsica frame (x 204..205)
    };
    for (const Line &line : lines)
        for (int y = line.top; y <= line.bottom; ++y)
            for (int x = line.x; x <= line.x + 1; ++x)
                if (picture.valid(x, y))
                    picture.setPixel(x, y, 0xff000000);
}

QPoint MapPicture::toMapPoint(QPointF p)
{
    return {roundHalfToEven(p.x()), roundHalfToEven(p.y())};
}

MapPicture::MapPicture(QImage stored) : m_stored(stored.convertToFormat(QImage::Format_RGB32)), m_image(m_stored) {}

void MapPicture::reset()
{
    m_image = m_stored;
    m_dirtyRect |= m_filledSinceReset;
    m_filledSinceReset = {};
    m_lastFillRect = {};
}

QRgb MapPicture::pixel(QPoint p) const
{
    if (!m_image.valid(p))
        return 0xffffff;
    return m_image.pixel(p) & 0xffffff;
}

QRgb MapPicture::fillAtPoint(QPointF p, FillColorGenerator &colors)
{
    m_fillColor = colors.nextColor();
    const QPoint at = toMapPoint(p);
    m_lastFillRect = m_image.valid(at) ? floodFill(m_image, at, m_fillColor) : QRect();
    m_filledSinceReset |= m_lastFillRect;
    m_dirtyRect |= m_lastFillRect;
    return m_fillColor;
}

QRect MapPicture::takeDirtyRect()
{
    return std::exchange(m_dirtyRect, QRect());
}
