#include "communes/WholeNameFont.h"

#include <QFontInfo>
#include <QFontMetricsF>

bool nameFits(const QFont &font, const QString &name, int width)
{
    return QFontMetricsF(font).horizontalAdvance(name) <= width;
}

QFont wholeNameFont(const QFont &font, const QString &name, int width)
{
    if (nameFits(font, name, width))
        return font;
    QFont smaller = font;
    const int designSize = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    // A few sizes at most: a plain walk down is clearer than a search.
    for (int size = designSize - 1; size > minimumNamePixelSize; --size) {
        smaller.setPixelSize(size);
        if (nameFits(smaller, name, width))
            return smaller;
    }
    smaller.setPixelSize(std::min(designSize, minimumNamePixelSize));
    return smaller;
}
