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

CommandResult runCommand(Command &command, const QString &dataPath, std::FILE *out)
{
    if (const QString why = command.prepare(); !why.isEmpty())
        return {2, why};
    RecordWriter writer(out, command.writerKind(), command.separator());
    writer.setFlushBeforeWaiting([&command] { return command.inputWouldWait(); });
    int found = 0;
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        SearchTables tables(*db);
        found = command.run(tables, writer);
    } catch (const DatabaseError &error) {
        return {2, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, outOfMemoryOpening(dataPath)};
    }
    if (!command.failure.isEmpty())
        return {2, command.failure};
    if (!writer.finish())
        return {2, writer.error()};
    if (const QString why = command.afterOutput(); !why.isEmpty())
        return {2, why};
    return {found > 0 ? 0 : 1, found > 0 ? QString() : command.note};
}
