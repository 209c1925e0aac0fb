#pragma once

#include <QCursor>

// The pointing-hand pointer of every button, the search box and the About
// window's link.
QCursor handPointer();
