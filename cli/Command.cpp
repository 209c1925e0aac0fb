#include "cli/Command.h"

#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"

RecordWriter::Kind writerKindOf(CommandLine::Format format, RecordWriter::Kind byDefault)
{
    switch (format) {
    case CommandLine::Format::Json:
        return RecordWriter::Kind::Json;
    case CommandLine::Format::Csv:
        return RecordWriter::Kind::Csv;
    case CommandLine::Format::Tsv:
        return RecordWriter::Kind::Tsv;
    case CommandLine::Format::Default:
        break;
    }
    return byDefault;
}

int exitStatus(RunEnd end)
{
    switch (end) {
    case RunEnd::Found:
    case RunEnd::Shown:
    case RunEnd::WindowWanted:
        return 0;
    case RunEnd::NoneFound:
    case RunEnd::WindowMissing:
        return 1;
    case RunEnd::Refused:
    case RunEnd::Failed:
        break;
    }
    return 2;
}

CommandResult runCommand(Command &command, const QString &dataPath, std::FILE *out)
{
    if (const QString why = command.prepare(); !why.isEmpty())
        return {RunEnd::Failed, why};
    RecordWriter writer(out, command.writerKind(), command.separator());
    writer.setFlushBeforeWaiting([&command] { return command.inputWouldWait(); });
    int found = 0;
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        SearchTables tables(*db);
        found = command.run(tables, writer);
    } catch (const DatabaseError &error) {
        return {RunEnd::Failed, error.message()};
    } catch (const std::bad_alloc &) {
        return {RunEnd::Failed, outOfMemoryOpening(dataPath)};
    }
    if (!command.failure.isEmpty())
        return {RunEnd::Failed, command.failure};
    if (!writer.finish())
        return {RunEnd::Failed, writer.error()};
    if (const QString why = command.afterOutput(); !why.isEmpty())
        return {RunEnd::Failed, why};
    if (found == 0)
        return {RunEnd::NoneFound, command.note};
    return {RunEnd::Found, {}};
}
