#include "app/Form1.h"
#include "app/StartupFailure.h"
#include "cli/BatchLookup.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineSearch.h"
#include "store/CommuneDatabase.h"
#include "store/DataFileLocation.h"
#include "store/DatabaseError.h"

#include <QApplication>
#include <cstdio>
#include <fcntl.h>

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

static QString dataPathOf(const CommandLine &line)
{
    return !line.dataFile.isEmpty()
               ? line.dataFile
               : findDataFile(DataFilePlaces::fromEnvironment(QCoreApplication::applicationDirPath()));
}

static RecordWriter::Kind writerKind(CommandLine::Format format)
{
    return format == CommandLine::Format::Csv    ? RecordWriter::Kind::Csv
           : format == CommandLine::Format::Json ? RecordWriter::Kind::Json
                                                 : RecordWriter::Kind::Tsv;
}

// --chercher and --lot print what they find and need no display: only Qt
// Core starts, for the program's folder, where the data file is looked for.
static int answerScript(int argc, char *argv[], const CommandLine &line)
{
    // A closed standard output would hand its number to the next file opened.
    if (fcntl(STDOUT_FILENO, F_GETFL) == -1)
        return reportFailure(QStringLiteral("la sortie standard est fermée : rien ne peut être écrit"));
    QCoreApplication app(argc, argv);
    if (line.action == CommandLine::Action::Batch) {
        const BatchResult result = runBatch(line, dataPathOf(line), stdin, stdout, stderr);
        return result.err.isEmpty() ? result.status : reportFailure(result.err);
    }
    const CommandLineSearchResult result =
        searchFromCommandLine(line.searchText, dataPathOf(line), stdout, writerKind(line.format), line.header);
    return result.err.isEmpty() ? result.status : reportFailure(result.err);
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
        return answerScript(argc, argv, line);
    case CommandLine::Action::Error:
        return reportCommandLineError(line.error);
    case CommandLine::Action::Run:
        break;
    }
    return -1;
}

// Qt ends the program with an English abort when it finds no display; the
// user is told in French first.
static bool mayHaveDisplay(int argc, char *argv[])
{
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform" || argument.startsWith("-platform=")
            || argument.startsWith("--platform="))
            return true;
    }
    return false;
}

int main(int argc, char *argv[])
{
    if (const int status = answerWithoutWindow(argc, argv); status >= 0)
        return status;
    if (!mayHaveDisplay(argc, argv)) {
        std::fputs("Topovil : aucun écran n'a été trouvé (ni DISPLAY ni WAYLAND_DISPLAY n'est défini) ; la fenêtre "
                   "ne peut pas s'ouvrir. Sans écran, « topovil --chercher TEXTE » et « topovil --lot ENTREE » "
                   "répondent.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Topovil"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    // Read again once Qt has taken its own options (-platform...) away.
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::Error)
        return reportCommandLineError(line.error);

    Form1 form;
    const QString dataPath = dataPathOf(line);
    try {
        form.Form_Load(dataPath);
    } catch (const DatabaseError &error) {
        reportStartupFailure(error.message());
        return 1;
    } catch (const std::bad_alloc &) {
        reportStartupFailure(QStringLiteral("Mémoire insuffisante pour ouvrir « %1 ».").arg(dataPath));
        return 1;
    }

    form.show();
    return app.exec();
}
