#include "widgets/Fonts.h"

#include <QStringList>

namespace {

QFont liberationSans(int pixelSize, bool bold)
{
    QFont font;
    // Without the Liberation fonts installed, any sans serif face is better
    // than a serif one in a layout drawn for a sans serif.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont uiFont(bool bold, bool underline)
{
    QFont font = liberationSans(11, bold);
    font.setStretch(94);
    font.setUnderline(underline);
    return font;
}

QFont titleFont()
{
    return liberationSans(24, true);
}
