#include "cli/CommandFor.h"
#include "cli/CommandLine.h"
#include "store/DataFileLocation.h"
#include "store/SystemError.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

static int reportCommandLineError(const QString &error)
{
    std::fprintf(stderr, "topovil : %s\nEssayez « topovil --help ».\n", error.toUtf8().constData());
    return 2;
}

static int reportFailure(const QString &error)
{
    std::fprintf(stderr, "topovil : %s\n", error.toUtf8().constData());
    return 2;
}

// The file this program runs from, its links followed: the window's program
// and the data file are looked for beside it.
static QString programFile(const char *argv0)
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return !self.isEmpty() ? self : QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
}

static QString dataPathOf(const CommandLine &line, const char *argv0)
{
    return !line.dataFile.isEmpty()
               ? line.dataFile
               : findDataFile(DataFilePlaces::fromEnvironment(QFileInfo(programFile(argv0)).absolutePath()));
}

// --chercher and --lot print what they find and need no display. Nor do
// they need an event loop: no QCoreApplication is made, which would cost
// every answer half a millisecond.
static int answerScript(char *argv[], const CommandLine &line)
{
    // A closed standard output would hand its number to the next file opened.
    if (fcntl(STDOUT_FILENO, F_GETFL) == -1)
        return reportFailure(QStringLiteral("la sortie standard est fermée : rien ne peut être écrit"));
    // So would a closed standard input, read as the batch's lines.
    if (line.action == CommandLine::Action::Batch && line.batchInput == QLatin1String("-")
        && fcntl(STDIN_FILENO, F_GETFL) == -1)
        return reportFailure(QStringLiteral("l'entrée standard est fermée : aucune ligne à lire"));
    exitOnUncaughtOutOfMemory("topovil : mémoire insuffisante : la recherche s'arrête là (essayez avec plus de "
                              "mémoire libre)\n",
                              2);
    const std::unique_ptr<Command> command = commandFor(line, stdin, stderr);
    const CommandResult result = runCommand(*command, dataPathOf(line, argv[0]), stdout);
    // Nothing found still says why, with the names the user may have meant.
    if (!result.err.isEmpty())
        std::fprintf(stderr, "topovil : %s\n", result.err.toUtf8().constData());
    return result.status;
}

static int print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0)
        return reportFailure(QStringLiteral("la sortie ne peut pas être écrite"));
    return 0;
}

// Everything but the window is answered before the window's Qt starts, so
// that it works without a display. Returns -1 when the window is to start.
static int answerWithoutWindow(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = CommandLine::parse(withoutWindowSystemOptions(arguments));
    switch (line.action) {
    case CommandLine::Action::Help:
        return print(commandLineHelp());
    case CommandLine::Action::Version:
        return print(commandLineVersion());
    case CommandLine::Action::Search:
    case CommandLine::Action::Batch:
    case CommandLine::Action::Around:
    case CommandLine::Action::History:
        return answerScript(argv, line);
    case CommandLine::Action::Error:
        return reportCommandLineError(line.error);
    case CommandLine::Action::Run:
        break;
    }
    return -1;
}

// The window is a program of its own beside this one, so that answering
// on the command line never loads the window libraries.
static int startWindow(char *argv[])
{
    const QByteArray window =
        QFile::encodeName(QFileInfo(programFile(argv[0])).dir().filePath(QStringLiteral("topovil-fenetre")));
    argv[0] = const_cast<char *>(window.constData());
    execv(window.constData(), argv);
    std::fprintf(stderr, "Topovil : la fenêtre (%s) ne peut pas démarrer : %s.\n", window.constData(),
                 errno == ENOENT ? "programme introuvable" : "programme inutilisable");
    return 1;
}

int main(int argc, char *argv[])
{
    if (const int status = answerWithoutWindow(argc, argv); status >= 0)
        return status;
    return startWindow(argv);
}
