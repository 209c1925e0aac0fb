#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"

#include <cstdio>
#include <memory>
#include <span>

// One thing the program can be asked to do: the option that asks for it,
// its line of « Utilisation : » in --help, and what does it: a Command
// that searches the data file, or a text written as it is.
struct CommandLineCommand
{
    CommandLine::Action action;
    const char *option = nullptr; // nullptr: what runs when no command is given (the window)
    const char *usage = nullptr;  // nullptr: none of its own
    std::unique_ptr<Command> (*make)(const CommandLine &line, std::FILE *in, std::FILE *err) = nullptr;
    QString (*text)() = nullptr; // the help, the version
    // Given with anything else, even on a line that makes no sense, it is
    // what runs.
    bool wins = false;

    bool opensData() const { return make || !option; }
};

// Every command, in the order --help lists their usage.
std::span<const CommandLineCommand> commandLineCommands();
const CommandLineCommand &commandOf(CommandLine::Action action);
