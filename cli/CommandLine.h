#pragma once

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

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
// options are one table (options()), the commands another
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

    // What an option needs of the others given with it; when it does not
    // hold, the line is refused with `refusal`.
    struct GoesWith
    {
        enum class Kind {
            NotWith,         // none of `options`
            NeedsOneOf,      // one of `options` at least
            NeedsAllOf,      // all of `options`
            NeedsAnyCommand, // an option that asks for a search (Search, Batch, Around, History)
            NotEmpty,        // its own value is not empty
        };
        Kind kind;
        const char *options; // blank-separated names: "--chercher --lot"
        const char *refusal; // French, UTF-8
        // When several refusals apply, the one of lowest rank is told: the
        // commands that exclude each other first, then what each option needs.
        int rank;
    };

    // One option: parsing, the checks of what goes with what and --help
    // are made from these.
    struct Option
    {
        const char *names;                     // "--chercher"; "-h, --help": the last one is its name in messages
        const char *value = nullptr;           // as --help writes it, one word a value ("LIEU RAYON_KM": two)
        const char *wants = nullptr;           // what the refusal of a missing value asks for: "un texte"
        bool once = false;                     // refused when given twice
        Action asks = Action::Run;             // the command it asks for, if any
        bool wins = false;                     // given with anything, even on a wrong line, its command runs
        QString CommandLine::*field = nullptr; // where its one value goes as it is
        // Otherwise, how its values are read: why they cannot be, in
        // French; empty when they can.
        QString (*read)(CommandLine &line, const QStringList &values) = nullptr;
        std::vector<GoesWith> goesWith = {};
        const char *help = ""; // UTF-8, lines separated by \n; %1: the list made by `fields`
        // The fields it writes, as the help lists them (OutputFields.h):
        // the line of `help` that holds them is flowed at HelpColumns.
        QString (*fields)() = nullptr;

        QString name() const; // "--help" for "-h, --help"
        QStringList allNames() const;
        int valueCount() const;
        // Its lines in --help, after its name.
        QStringList helpLines() const;
    };

    // Every option of the program, in the order --help lists them.
    static std::span<const Option> options();
    // The width of a help line that holds a list of fields.
    static constexpr int HelpColumns = 64;
};

// The arguments without the window system's own options (-platform NAME,
// -style NAME, -reverse...), which Qt takes for itself when a window starts:
// what is left must make sense to the program, with or without a display.
QStringList withoutWindowSystemOptions(const QStringList &arguments);

QString commandLineVersion();
