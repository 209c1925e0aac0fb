#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"

#include <memory>

// `topovil --historique LIEU [FICHIER]`: the changes since 1943 of every
// commune that LIEU finds (a name, a former name, a code), one a record,
// oldest first: commune, code_insee, date, nature, avant, code_avant,
// departement_avant, apres, code_apres, departement_apres (the département
// of a code when it is one that is no more: Seine, Seine-et-Oise, Corse).
// Status 0 when a commune is found, even one that never changed; 1 for none;
// 2 for a file that tells no history.
std::unique_ptr<Command> historyCommand(const CommandLine &line);
