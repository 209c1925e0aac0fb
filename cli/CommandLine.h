#pragma once

#include <QString>
#include <QStringList>

// The program's command line:  topovil [--chercher TEXTE] [FICHIER]
//   FICHIER        the commune data to open (.mdb or .sqlite) instead of
//                  the file found by the usual search
//   --chercher TEXTE  prints the communes the search finds for TEXTE, with
//                  no window (also --chercher=TEXTE)
//   --depuis TEXTE with --chercher: each commune's distance and bearing
//                  from that commune, locator or point
//   --autour TEXTE RAYON_KM  prints the communes within RAYON_KM of it
//   -h, --help     the French usage text on standard output
//   --version      the program's name and version
// "--" ends the options, so that a file whose name starts with "-" can be
// named.
struct CommandLine
{
    enum class Action { Run, Search, Around, Help, Version, Error };

    Action action = Action::Run;
    QString dataFile;   // empty: search for it
    QString searchText; // for Action::Search
    QString fromText;   // --depuis TEXTE with --chercher; null without
    QString aroundText; // for Action::Around: --autour TEXTE RAYON_KM
    QString aroundRadius;
    QString error; // French, for Action::Error

    // The arguments without the program's own name. --help and --version
    // win over anything else on the line.
    static CommandLine parse(const QStringList &arguments);
};

QString commandLineHelp();
QString commandLineVersion();
