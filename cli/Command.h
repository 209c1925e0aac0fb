#pragma once

#include "cli/CommandLine.h"
#include "cli/RecordWriter.h"
#include "search/FindCommunes.h"

#include <QString>
#include <cstdio>

// How a run of the program ends; exitStatus() alone turns it into the
// status a script reads.
enum class RunEnd {
    Found,         // a commune at least
    NoneFound,     // no commune
    Shown,         // the help or the version, written
    Refused,       // a command line that does not make sense
    Failed,        // a malformed text, an unusable file, input or output
    WindowWanted,  // no command: the window's own program answers
    WindowMissing, // ... and it cannot start
};

// 0 when a commune is found (or the help shown), 1 when none is (or the
// window cannot start), 2 for anything the user must mend.
int exitStatus(RunEnd end);

// What a command of the command line ends with, and a French message for
// standard error.
struct CommandResult
{
    RunEnd end = RunEnd::Found;
    QString err; // why it failed; when nothing is found, the names the user may have meant

    int status() const { return exitStatus(end); }
};

// One command of the command line (--chercher, --lot, --autour): what it
// checks before the data file is opened, and the records it writes. The
// runner does the rest the same way for every command.
class Command
{
public:
    virtual ~Command() = default;

    // Why the command cannot run, in French, found before the data file is
    // opened (a malformed pattern, an input that cannot be read); empty when it can.
    virtual QString prepare() { return {}; }
    virtual RecordWriter::Kind writerKind() const = 0;
    virtual QChar separator() const { return QLatin1Char(','); }
    // Whether the input of the next record is not there yet: the records
    // made so far go out before the command waits for it, so that a reader
    // that waits for each answer gets it.
    virtual bool inputWouldWait() const { return false; }

    // Writes the records; the number of communes found. A failure that
    // ends the command is set in `failure`.
    virtual int run(SearchTables &tables, RecordWriter &writer) = 0;
    // After the output is finished: why the command failed all the same
    // (an input read short); empty when it did not.
    virtual QString afterOutput() { return {}; }

    QString failure; // status 2
    QString note;    // told on standard error when nothing was found
};

// Opens the data file read-only, makes the writer, runs the command and
// finishes the output; every failure becomes status 2 with its message.
CommandResult runCommand(Command &command, const QString &dataPath, std::FILE *out);

// The writer a command line asks for; tabs by default.
RecordWriter::Kind writerKindOf(CommandLine::Format format, RecordWriter::Kind byDefault = RecordWriter::Kind::Tsv);
