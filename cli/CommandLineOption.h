#pragma once

#include "cli/CommandLine.h"

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

// What an option needs of the others given with it; when it does not hold,
// the line is refused with `refusal`.
struct GoesWith
{
    enum class Kind {
        NotWith,         // none of `options`
        NeedsOneOf,      // one of `options` at least
        NeedsAllOf,      // all of `options`
        NeedsAnyCommand, // one of the commands (CommandLineCommand.h)
        NotEmpty,        // its own value is not empty
    };
    Kind kind;
    const char *options; // blank-separated names: "--chercher --lot"
    const char *refusal; // French, UTF-8
    // When several refusals apply, the one of lowest rank is told: the
    // commands that exclude each other first, then what each option needs.
    int rank;
};

// One option of the command line: what parses it, what checks it goes
// with the others and what --help says of it come from here alone.
struct CommandLineOption
{
    const char *names;           // "--chercher"; "-h, --help": the last one is its name in messages
    const char *value = nullptr; // as --help writes it, one word a value ("LIEU RAYON_KM": two); none: nullptr
    const char *wants = nullptr; // what the refusal of a missing value asks for: "un texte"
    bool once = false;           // refused when given twice
    QString CommandLine::*field = nullptr; // where its one value goes as it is
    // Otherwise, how its values are read: why they cannot be, in French; empty when they can.
    QString (*read)(CommandLine &line, const QStringList &values) = nullptr;
    std::vector<GoesWith> goesWith = {};
    const char *help = ""; // UTF-8, lines separated by \n; %1: the list made by `fields`
    // The fields it writes, as the help lists them (OutputFields.h): the
    // line of `help` that holds them is flowed at HelpColumns.
    QString (*fields)() = nullptr;

    // "--chercher"; "--help" for "-h, --help".
    QString name() const;
    QStringList allNames() const;
    int valueCount() const;
};

// Every option of the program, in the order --help lists them.
std::span<const CommandLineOption> commandLineOptions();

// The width of a help line that holds a list of fields.
constexpr int HelpColumns = 64;
