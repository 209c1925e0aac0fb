#pragma once

#include <QString>
#include <QStringList>

// What `topovil --chercher TEXTE [FICHIER]` prints and returns: every
// commune the window's search finds for the text, in table order, one line
// each with tab-separated fields (name, postal code, longitude, latitude,
// département, locator), numbers with a decimal point whatever the locale.
// A commune found by another name (a commune déléguée, a former commune...)
// has a seventh field: that name and its kind, « CHERBOURG OCTEVILLE
// (commune déléguée) ».
struct CommandLineSearchResult
{
    int status = 0; // 0: at least one line; 1: nothing matched; 2: malformed pattern or unusable file
    QString out;    // the lines, each ending in a newline
    QString err;    // a French message for status 2; for status 1, the names the user may have meant
};

// With `fromText` (--depuis), each line ends with the commune's distance_km
// and azimut from that place (CommandLineDistance.h).
CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath,
                                              const QString &fromText = QString());

// One line of the output: the fields above, then `extraFields`.
class Recordset;
class SearchMatches;
QString communeLine(const Recordset &records, const SearchMatches &found, int index,
                    const QStringList &extraFields = {});
