#pragma once

#include <QRegion>

// The window's rounded outline: the rectangle from (left, top) to (right,
// bottom), right and bottom excluded, with corners rounded by an ellipse of
// the given size, as whole pixels.
QRegion roundedRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// Form1's own outline: (1,1) to (545,420) with 30 x 30 corners. Its lower
// edge lies 3 pixels below the 417-pixel window, so the bottom corners are
// cut less deeply than the top ones.
QRegion form1Region();
