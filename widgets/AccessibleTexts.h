#pragma once

#include <span>

class QAccessibleInterface;
class QWidget;

// What a screen reader hears of a control: its French name (nullptr keeps
// the control's own caption) and description, both UTF-8.
struct AccessibleText
{
    const char *control;
    const char *name;
    const char *description;
};

// Sets the texts of the named children of a window, and leaves the `hidden`
// ones (frames, lines, letters read through another control) out of what a
// screen reader reads.
void applyAccessibleTexts(QWidget &window, std::span<const AccessibleText> texts, std::span<const char *const> hidden);

// Gives a widget an accessible object of the window's own making instead of
// Qt's plain one.
using AccessibleMaker = QAccessibleInterface *(*)(QWidget *);
void setAccessibleMaker(QWidget *widget, AccessibleMaker maker);
