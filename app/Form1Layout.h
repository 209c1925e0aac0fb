#pragma once

#include "app/Form1Controls.h"

#include <QColor>
#include <QRect>
#include <QRegion>
#include <Qt>
#include <variant>
#include <vector>

class QWidget;

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

// The member of Form1Controls a row makes, of the type its kind makes.
using ControlMember =
    std::variant<QLabel * Form1Controls::*, QLineEdit * Form1Controls::*, GraphicalButton * Form1Controls::*,
                 QPushButton * Form1Controls::*, MapWidget * Form1Controls::*, ShapeWidget * Form1Controls::*>;

struct ControlSpec
{
    ControlMember member;
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

// Makes every control of the table as a child of `window`, in the table's
// order, each in its member of `controls`, with the tab order of the table,
// and the timer of the clock. Every control sends its events through the
// window's event filter first.
void buildForm1Controls(QWidget &window, Form1Controls &controls);

// The window's rounded outline: the rectangle from (left, top) to (right,
// bottom), right and bottom excluded, with corners rounded by an ellipse of
// the given size, as whole pixels.
QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// Form1's own outline: (1,1) to (545,420) with 30 x 30 corners. Its lower
// edge lies 3 pixels below the 417-pixel window, so the bottom corners are
// cut less deeply than the top ones.
QRegion form1Region();

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
