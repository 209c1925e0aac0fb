#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"

#include <QString>
#include <cstdio>
#include <memory>

// `topovil --lot ENTREE [FICHIER]`: one search per line of the input (plain
// lines, or the column `queryColumn` of a CSV), one output record per input
// record, in order, with the input's own columns first for a CSV. A line that
// cannot be read is told on `err` with its number, and kept with the status
// « illisible ».
std::unique_ptr<Command> batchCommand(const CommandLine &line, std::FILE *in, std::FILE *err);

// The same, run at once: status 0 when a commune was found for at least one line.
CommandResult runBatch(const CommandLine &line, const QString &dataPath, std::FILE *in, std::FILE *out, std::FILE *err);
