#include "cli/CommandLineRun.h"

#include "cli/CommandLine.h"
#include "cli/CommandLineCommand.h"
#include "store/DataFileLocation.h"
#include "store/SystemError.h"

#include <fcntl.h>

namespace {

RunEnd tell(std::FILE *err, const QString &error, RunEnd end)
{
    std::fprintf(err, "topovil : %s\n", error.toUtf8().constData());
    return end;
}

RunEnd write(const QString &text, std::FILE *out, std::FILE *err)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) != size_t(bytes.size()) || std::fflush(out) != 0)
        return tell(err, QStringLiteral("la sortie ne peut pas être écrite"), RunEnd::Failed);
    return RunEnd::Shown;
}

// A command prints what it finds and needs no display. Nor does it need an
// event loop: no QCoreApplication is made, which would cost every answer
// half a millisecond.
RunEnd runSearch(const CommandLine &line, const CommandLineCommand &asked, std::FILE *in, std::FILE *out,
                 std::FILE *err, const QString &programFolder)
{
    // A closed standard output would hand its number to the next file opened.
    if (fcntl(fileno(out), F_GETFL) == -1)
        return tell(err, QStringLiteral("la sortie standard est fermée : rien ne peut être écrit"), RunEnd::Failed);
    // So would a closed standard input, read as the batch's lines.
    if (line.action == CommandLine::Action::Batch && line.batchInput == QLatin1String("-")
        && fcntl(fileno(in), F_GETFL) == -1)
        return tell(err, QStringLiteral("l'entrée standard est fermée : aucune ligne à lire"), RunEnd::Failed);
    exitOnUncaughtOutOfMemory("topovil : mémoire insuffisante : la recherche s'arrête là (essayez avec plus de "
                              "mémoire libre)\n",
                              exitStatus(RunEnd::Failed));
    const QString dataPath =
        !line.dataFile.isEmpty() ? line.dataFile : findDataFile(DataFilePlaces::fromEnvironment(programFolder));
    const CommandResult result = runCommand(*asked.make(line, in, err), dataPath, out);
    // Nothing found still says why, with the names the user may have meant.
    if (!result.err.isEmpty())
        tell(err, result.err, result.end);
    return result.end;
}

} // namespace

RunEnd runCommandLine(const QStringList &arguments, std::FILE *in, std::FILE *out, std::FILE *err,
                      const QString &programFolder)
{
    const CommandLine line = CommandLine::parse(withoutWindowSystemOptions(arguments));
    if (line.action == CommandLine::Action::Error) {
        std::fprintf(err, "topovil : %s\nEssayez « topovil --help ».\n", line.error.toUtf8().constData());
        return RunEnd::Refused;
    }
    const CommandLineCommand &asked = commandOf(line.action);
    if (asked.text)
        return write(asked.text(), out, err);
    if (asked.make)
        return runSearch(line, asked, in, out, err, programFolder);
    return RunEnd::WindowWanted;
}
