#pragma once

#include "cli/Command.h"
#include "cli/CommandLine.h"

#include <memory>

// `topovil --chercher TEXTE [FICHIER]`: every commune the window's search
// finds for the text, in table order, one record each (OutputFields.h),
// numbers with a decimal point whatever the locale. With --depuis, every
// record also has its distance_km and azimut from that place. When nothing
// matches, the note proposes the names the user may have meant (status 1).
std::unique_ptr<Command> searchCommand(const CommandLine &line);
