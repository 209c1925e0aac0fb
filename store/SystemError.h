#pragma once

#include <QString>

// What a failed open or read of a file means, in French, from the system's
// error number: the user learns the cause (« trop de fichiers ouverts »),
// not a number.
QString systemErrorText(int code);

// Memory that runs out where no caller can catch it (inside Qt's containers,
// whose code may not let an exception through) ends the program with a
// French message and a status of failure, instead of an abort and the C++
// runtime's English. Installed once, at the start of each program: `message`
// is what it says, one line ending with a line break; `status` its exit status.
void exitOnUncaughtOutOfMemory(const char *message, int status);
