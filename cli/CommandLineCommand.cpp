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
    {.action = Action::Search,
     .usage = "topovil --chercher TEXTE [--format tsv|csv|json] [--entete] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return searchCommand(line); }},
    {.action = Action::Batch,
     .usage = "topovil --lot ENTREE [--colonne NOM] [--format tsv|csv|json] [--encodage E] [FICHIER]",
     .make = batchCommand},
    {.action = Action::Around,
     .usage = "topovil --autour LIEU RAYON_KM [--format tsv|csv|json] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return aroundCommand(line); }},
    {.action = Action::History,
     .usage = "topovil --historique LIEU [--format tsv|csv|json] [FICHIER]",
     .make = [](const CommandLine &line, std::FILE *, std::FILE *) { return historyCommand(line); }},
    {.action = Action::Help, .text = commandLineHelp},
    {.action = Action::Version, .text = commandLineVersion},
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

QString commandLineHelp()
{
    QString help;
    for (const CommandLineCommand &command : commandLineCommands()) {
        if (command.usage)
            help += (help.isEmpty() ? QStringLiteral("Utilisation : ") : QString(12, QLatin1Char(' ')))
                    + QLatin1String(command.usage) + QLatin1Char('\n');
    }
    help += QStringLiteral("\n"
                           "Cherche une commune de France et montre son code postal, ses coordonnées,\n"
                           "son département, son locator Maidenhead et le département sur une carte.\n"
                           "\n"
                           "  FICHIER      fichier de communes à ouvrir, base Access (.mdb) ou SQLite\n"
                           "               (.sqlite), avec une table insee1.\n"
                           "               Sans FICHIER, Topovil ouvre le premier fichier trouvé de :\n"
                           "                 insee.mdb à côté du programme,\n"
                           "                 $XDG_DATA_HOME/topovil/insee.mdb (~/.local/share/topovil),\n"
                           "                 insee.mdb dans chaque $XDG_DATA_DIRS/topovil\n"
                           "                   (/usr/local/share/topovil, /usr/share/topovil),\n"
                           "                 la table livrée insee.sqlite à côté du programme.\n");
    // Each option's name, then its help from the fifteenth column; a name
    // too long for that puts the help on the lines below.
    const QString indent(15, QLatin1Char(' '));
    for (const CommandLine::Option &option : CommandLine::options()) {
        QString name = QStringLiteral("  ") + QLatin1String(option.names);
        if (option.value)
            name += QLatin1Char(' ') + QLatin1String(option.value);
        const QStringList lines = option.helpLines();
        help += name.size() < indent.size() ? name.leftJustified(indent.size()) + lines.first() + QLatin1Char('\n')
                                            : name + QLatin1Char('\n') + indent + lines.first() + QLatin1Char('\n');
        for (const QString &line : lines.mid(1))
            help += indent + line + QLatin1Char('\n');
    }
    return help
           + QStringLiteral("\n"
                            "Codes de sortie de --chercher, --lot, --autour et --historique : 0 si une\n"
                            "commune au moins est trouvée, 1 si aucune, 2 pour une option invalide, un\n"
                            "motif invalide, un fichier inutilisable ou une sortie impossible à écrire.\n"
                            "Le fichier est ouvert en lecture seule. Si le fichier ne peut pas servir,\n"
                            "Topovil dit pourquoi et quitte avec le code 1 ; sans écran, aussi.\n");
}
