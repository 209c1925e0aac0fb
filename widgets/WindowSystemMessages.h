#pragma once

// Qt's window system speaks English on standard error. While it starts, its
// messages are held back: when it fails (a DISPLAY no server answers, an
// unknown platform), the user reads why in French and the program ends with
// status 1 instead of Qt's abort. Afterwards, the one notice the offscreen
// platform prints at every start (it cannot set window masks) is dropped,
// and the rest goes to standard error as Qt would print it. A thread that Qt
// cannot start, at any time, ends the program in French too (status 1):
// Qt would wait for it for ever.
void holdWindowSystemMessages();
// Called once the QApplication is made: the window system has started.
void windowSystemStarted();
