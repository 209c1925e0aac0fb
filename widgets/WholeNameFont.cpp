#include "widgets/WholeNameFont.h"

#include <QFontInfo>
#include <QFontMetricsF>

bool nameFits(const QFont &font, const QString &name, int width)
{
    return QFontMetricsF(font).horizontalAdvance(name) <= width;
}

namespace {

int pixelSizeOf(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

} // namespace

QFont wholeNameFont(const QFont &font, const QString &name, int width)
{
    if (nameFits(font, name, width))
        return font;
    QFont smaller = font;
    const int designSize = pixelSizeOf(font);
    // A few sizes at most: a plain walk down is clearer than a search.
    for (int size = designSize - 1; size > minimumNamePixelSize; --size) {
        smaller.setPixelSize(size);
        if (nameFits(smaller, name, width))
            return smaller;
    }
    smaller.setPixelSize(std::min(designSize, minimumNamePixelSize));
    return smaller;
}

bool wrappedTextFits(const QFont &font, const QString &text, QSize box)
{
    const QRectF room(0, 0, box.width(), 1e6);
    const QRectF used = QFontMetricsF(font).boundingRect(room, Qt::TextWordWrap, text);
    return used.width() <= box.width() && used.height() <= box.height();
}

QFont wrappedTextFont(const QFont &font, const QString &text, QSize box)
{
    QFont smaller = font;
    for (int size = pixelSizeOf(font); size > minimumNamePixelSize; --size) {
        smaller.setPixelSize(size);
        if (wrappedTextFits(smaller, text, box))
            return smaller;
    }
    smaller.setPixelSize(std::min(pixelSizeOf(font), minimumNamePixelSize));
    return smaller;
}
