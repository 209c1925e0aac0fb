#pragma once

#include "cli/Command.h"

#include <QString>
#include <QStringList>
#include <cstdio>

// Answers a command line (the arguments without the program's name): the
// help, the version, a wrong line or a command, reading `in` and writing
// `out` and `err` as the program does. The data file, when none is named,
// is looked for beside `programFolder`. RunEnd::WindowWanted when nothing
// but the window is asked for: the caller starts it. The program's main()
// is this and exitStatus(); a test runs it in its own process.
RunEnd runCommandLine(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err,
                      const QString &programFolder = QString());
