#pragma once

#include "cli/RecordWriter.h"

#include <QString>
#include <cstdio>

// What `topovil --chercher TEXTE [FICHIER]` writes and returns: every
// commune the window's search finds for the text, in table order, one
// record each (OutputFields.h: searchFields), numbers with a decimal point
// whatever the locale.
struct CommandLineSearchResult
{
    int status = 0; // 0: at least one commune; 1: nothing matched; 2: malformed pattern, unusable file or output
    QString err;    // a French message for status 2
};

CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath, std::FILE *out,
                                              RecordWriter::Kind kind, bool headerLine);
