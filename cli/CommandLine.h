#pragma once

#include <QString>
#include <QStringList>

// The program's command line:
//   topovil [FICHIER]
//   topovil --chercher TEXTE [--format tsv|csv|json] [--entete] [FICHIER]
//   topovil --lot ENTREE [--colonne NOM [--colonne-cp COL] [--colonne-dep COL]]
//           [--format tsv|csv|json] [FICHIER]
//   topovil --chercher TEXTE --depuis LIEU ...: with each commune's distance
//   topovil --autour LIEU RAYON_KM [--format ...] [FICHIER]
//   topovil --historique LIEU [--format ...] [FICHIER]: the changes of the commune since 1943
//   -h, --help     the French usage text on standard output
//   --version      the program's name and version
// Every option that takes one value also takes it after "=". "--" ends the
// options, so that a file whose name starts with "-" can be named. The
// options are a table (CommandLineOption.h), and so are the commands
// (CommandLineCommand.h): parsing, the checks and --help are made from them.
struct CommandLine
{
    enum class Action { Run, Search, Batch, Around, History, Help, Version, Error };
    enum class Format { Default, Tsv, Csv, Json };
    enum class Encoding { FromInput, Utf8, Windows1252 };

    Action action = Action::Run;
    QString dataFile;   // empty: search for it
    QString searchText; // for Action::Search
    QString fromText;   // --depuis LIEU with --chercher; null without
    QString aroundText; // for Action::Around: --autour LIEU RAYON_KM
    QString aroundRadius;
    QString historyText; // for Action::History
    QString batchInput;  // for Action::Batch: a file, or "-" for standard input
    QString queryColumn;
    QString postcodeColumn;
    QString departementColumn;
    QString dateText;   // --date AAAA[-MM[-JJ]] with --chercher or --lot; null without
    QString dateColumn; // --colonne-date COL with --lot --colonne
    Format format = Format::Default;
    Encoding encoding = Encoding::FromInput; // of a batch's output
    bool header = false;
    QString error; // French, for Action::Error

    // The arguments without the program's own name. --help and --version
    // win over anything else on the line.
    static CommandLine parse(const QStringList &arguments);
};

// The arguments without the window system's own options (-platform NAME,
// -style NAME, -reverse...), which Qt takes for itself when a window starts:
// what is left must make sense to the program, with or without a display.
QStringList withoutWindowSystemOptions(const QStringList &arguments);

QString commandLineHelp();
QString commandLineVersion();
