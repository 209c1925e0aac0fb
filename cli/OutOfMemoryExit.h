#pragma once

// Memory that runs out where no caller can catch it (inside Qt's containers,
// whose code may not let an exception through) ends the program with a
// French message and status 2 instead of an abort and the C++ runtime's
// English. Installed once, at the start of the command line.
void exitOnUncaughtOutOfMemory();
