#include "cli/CommandFor.h"

#include "cli/BatchLookup.h"
#include "cli/CommandLineDistance.h"
#include "cli/CommandLineHistory.h"
#include "cli/CommandLineSearch.h"

std::unique_ptr<Command> commandFor(const CommandLine &line, std::FILE *in, std::FILE *err)
{
    switch (line.action) {
    case CommandLine::Action::Batch:
        return batchCommand(line, in, err);
    case CommandLine::Action::Around:
        return aroundCommand(line);
    case CommandLine::Action::History:
        return historyCommand(line);
    default:
        return searchCommand(line);
    }
}
