#pragma once

#include "cli/Command.h"

#include <cstdio>
#include <memory>

// The command a line asks for (--lot, --autour, --historique, else
// --chercher): the program's entry point runs it, and so do the tests, in
// their own process. A batch reads its lines from `in` and tells its
// unreadable ones on `err`.
std::unique_ptr<Command> commandFor(const CommandLine &line, std::FILE *in, std::FILE *err);
