#pragma once

class QWidget;

// Moves a window, before it is shown, to the middle of the part of its screen
// that windows may use (task bars and docks left out). Both windows open
// there.
void centreOnScreen(QWidget *window);
