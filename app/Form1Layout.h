#pragma once

#include <QColor>
#include <QRect>
#include <Qt>
#include <vector>

// The main window's controls as data: built in one loop by Form1 and read
// back by the layout test.
enum class ControlKind {
    Label,
    TextBox,
    HiddenTextBox,
    SystemButton,
    GraphicalButton,
    Picture,
    OvalShape,
    RectangleShape,
};

enum class FontStyle { Regular, Bold, BoldUnderline };

struct ControlSpec
{
    const char *name;
    ControlKind kind;
    const char *text; // UTF-8
    QRect geometry;   // window pixels
    FontStyle font = FontStyle::Regular;
    QColor textColor = {}; // invalid: the default (black)
    QColor backColor = {}; // invalid: transparent or the system face
    Qt::Alignment alignment = Qt::AlignLeft;
    int tabIndex = -1; // -1: takes no focus (shapes)
    bool visibleAtStart = true;
    bool wholeName = false; // a name label: a long name shows whole, in a smaller size
};

// Every control of Form1 in creation order (shapes first, so that they lie
// under the controls they frame).
const std::vector<ControlSpec> &form1Controls();
// The control of that name in the table.
const ControlSpec &form1Control(const char *name);

// The window itself.
namespace form1 {
inline constexpr int width = 545;
inline constexpr int height = 417;
inline const QColor backColor{192, 255, 255};
inline const QColor darkBlue{0, 0, 192};
inline constexpr const char *caption = "Topovil";
// Both hint lines (Label7 and Label2), inside the frame around the search
// area: a hint too long for its one line, or a refused pattern's reason,
// takes them both.
inline const QRect bothHintLines{34, 328, 205, 32};
} // namespace form1
