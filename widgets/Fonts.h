#pragma once

#include <QFont>

// The program's two typefaces. Sizes are in pixels so that the fixed layouts
// come out the same whatever the screen's DPI.

// The ordinary text of both windows: Liberation Sans at 11 px (an 8.25 pt
// caption on a 96 dpi screen), drawn 94 % wide. The layouts were measured in
// a narrower sans serif than Liberation Sans; at full width the longest
// About lines would wrap onto the line below them.
QFont uiFont(bool bold = false, bool underline = false);

// The About window's program name: 24 px bold (18 pt at 96 dpi).
QFont titleFont();
