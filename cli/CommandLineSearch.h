#pragma once

#include "cli/OutputFields.h"
#include "cli/RecordWriter.h"

#include <QString>
#include <cstdio>
#include <vector>

// What `topovil --chercher TEXTE [FICHIER]` writes and returns: every
// commune the window's search finds for the text, in table order, one
// record each (OutputFields.h: searchFields), numbers with a decimal point
// whatever the locale.
struct CommandLineSearchResult
{
    int status = 0; // 0: at least one commune; 1: nothing matched; 2: malformed pattern, unusable file or output
    QString err;    // a French message: why for status 2, suggestions for status 1
};

// With `fromText` (--depuis), every record also has its distance_km and
// azimut from that place. When nothing matches, `err` proposes the names the
// user may have meant (status 1).
CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath, std::FILE *out,
                                              RecordWriter::Kind kind, bool headerLine,
                                              const QString &fromText = QString());

// The output fields' JSON number flags, in their order.
std::vector<bool> numberFlags(const std::vector<OutputField> &fields);
