#pragma once

#include <QString>
#include <QStringList>

// Where the data file is looked for depends on these, passed in rather than read
// here, so that tests can point it at temporary folders.
struct DataFilePlaces
{
    QString programDir;  // the folder of the executable
    QString home;        // $HOME
    QString xdgDataHome; // $XDG_DATA_HOME, as set (may be empty)
    QString xdgDataDirs; // $XDG_DATA_DIRS, as set (may be empty)

    // The places of this process: its folder and its environment.
    static DataFilePlaces fromEnvironment(const QString &programDir);
};

// The files tried, in order, when no file is named on the command line:
//   1. insee.mdb beside the program (an own file, installed by root);
//   2. insee.mdb in $XDG_DATA_HOME/topovil (~/.local/share/topovil by
//      default: a user's own file, no root needed);
//   3. insee.mdb in each $XDG_DATA_DIRS/topovil (/usr/local/share/topovil,
//      /usr/share/topovil by default: a file for every user);
//   4. the shipped insee.sqlite beside the program.
// As the XDG base directory rules say, relative folders in the variables
// are ignored, and an empty or unset variable takes its default.
QStringList dataFileCandidates(const DataFilePlaces &places);

// The first candidate that exists; the shipped table when none does (its
// opening then says that it is missing).
QString findDataFile(const DataFilePlaces &places);
