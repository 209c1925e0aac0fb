#pragma once

#include <QString>

// The window opens a dozen descriptors as it starts (the display's
// connection, GLib's wake-up pipes, the fonts, the data file): with fewer
// allowed, GLib stops the program on a trap and fontconfig complains in
// English. Raises the process's limit to what the window needs when the
// system's ceiling allows it; otherwise returns why the window cannot
// start, in French (empty when it can).
QString ensureWindowDescriptors();
