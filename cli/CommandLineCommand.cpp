#include "cli/CommandLineCommand.h"

#include "cli/BatchLookup.h"
#include "cli/CommandLineDistance.h"
#include "cli/CommandLineHistory.h"
#include "cli/CommandLineSearch.h"

namespace {

using Action = CommandLine::Action;

// clang-format off
const CommandLineCommand commands[] = {
    {.action = Action::Run, .usage = "topovil [FICHIER]"},
    {.action = Action::Search, .option = "--chercher",
     .usage = "topovil --chercher TEXTE [--format tsv|csv|json] [--entete] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return searchCommand(line); }},
    {.action = Action::Batch, .option = "--lot",
     .usage = "topovil --lot ENTREE [--colonne NOM] [--format tsv|csv|json] [--encodage E] [FICHIER]",
     .make = batchCommand},
    {.action = Action::Around, .option = "--autour",
     .usage = "topovil --autour LIEU RAYON_KM [--format tsv|csv|json] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return aroundCommand(line); }},
    {.action = Action::History, .option = "--historique",
     .usage = "topovil --historique LIEU [--format tsv|csv|json] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return historyCommand(line); }},
    {.action = Action::Help, .option = "--help", .text = commandLineHelp, .wins = true},
    {.action = Action::Version, .option = "--version", .text = commandLineVersion, .wins = true},
};
// clang-format on

} // namespace

std::span<const CommandLineCommand> commandLineCommands()
{
    return commands;
}

const CommandLineCommand &commandOf(CommandLine::Action action)
{
    for (const CommandLineCommand &command : commands) {
        if (command.action == action)
            return command;
    }
    return commands[0];
}
