#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"

#include <cstdio>
#include <memory>
#include <span>

// One thing the program can be asked to do (the option that asks for it
// says which: CommandLine::Option::asks): its line of « Utilisation : » in
// --help, and what does it: a Command that searches the data file, or a
// text written as it is.
struct CommandLineCommand
{
    CommandLine::Action action;
    const char *usage = nullptr; // nullptr: none of its own
    std::unique_ptr<Command> (*make)(const CommandLine &line, std::FILE *in, std::FILE *err) = nullptr;
    QString (*text)() = nullptr; // the help, the version
};

// Every command, in the order --help lists their usage; the window, which
// runs when no command is asked for, first.
std::span<const CommandLineCommand> commandLineCommands();
// The row of `action`; the window's for one that has none (Error).
const CommandLineCommand &commandOf(CommandLine::Action action);

// The French usage text, made from the commands and the options.
QString commandLineHelp();
