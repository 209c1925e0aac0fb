#pragma once

// Memory that runs out where no caller can catch it (inside Qt's containers,
// whose code may not let an exception through) ends the program with a
// French message and a status of failure instead of an abort and the C++ runtime's
// English. Installed once, at the start of each program; `message` is what
// it says, one line ending with a line break, and `status` the exit status.
void exitOnUncaughtOutOfMemory(const char *message, int status);
