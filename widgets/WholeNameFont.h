#pragma once

#include <QFont>
#include <QSize>
#include <QString>

// Names are shown whole: never smaller than this many pixels, the smallest
// size at which the window's sans serif capitals stay readable.
inline constexpr int minimumNamePixelSize = 8;

// The font that shows a name on one line within the given width: the font
// itself when the name fits, otherwise the same face at the largest smaller
// pixel size that fits, and never under minimumNamePixelSize (a name still
// too wide at that size is for the caller to wrap).
QFont wholeNameFont(const QFont &font, const QString &name, int width);

// Whether the name fits on one line of that width in that font.
bool nameFits(const QFont &font, const QString &name, int width);

// Whether the text fits the box when wrapped at its blanks.
bool wrappedTextFits(const QFont &font, const QString &text, QSize box);

// The font that shows a text whole in a box of a few lines, wrapped at its
// blanks: the font itself when it fits, otherwise the largest smaller pixel
// size that fits, never under minimumNamePixelSize.
QFont wrappedTextFont(const QFont &font, const QString &text, QSize box);
