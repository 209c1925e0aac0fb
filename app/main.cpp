#include "app/Form1.h"
#include "app/StartupFailure.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineDistance.h"
#include "cli/CommandLineSearch.h"
#include "store/CommuneDatabase.h"
#include "store/DataFileLocation.h"
#include "store/DatabaseError.h"

#include <QApplication>
#include <cstdio>

static int reportCommandLineError(const CommandLine &line)
{
    std::fprintf(stderr, "topovil : %s\nEssayez « topovil --help ».\n", line.error.toUtf8().constData());
    return 2;
}

static bool asksForSearch(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--chercher") || argument.startsWith(QLatin1String("--chercher="))
            || argument == QLatin1String("--autour") || argument == QLatin1String("--depuis"))
            return true;
    }
    return false;
}

// --chercher prints the communes found and needs no display: only Qt Core
// starts, for the program's folder, where the data file is looked for.
static int searchWithoutWindow(int argc, char *argv[], const CommandLine &line)
{
    QCoreApplication app(argc, argv);
    const QString dataPath =
        !line.dataFile.isEmpty()
            ? line.dataFile
            : findDataFile(DataFilePlaces::fromEnvironment(QCoreApplication::applicationDirPath()));
    const CommandLineSearchResult result = line.action == CommandLine::Action::Around
                                               ? aroundFromCommandLine(line.aroundText, line.aroundRadius, dataPath)
                                               : searchFromCommandLine(line.searchText, dataPath, line.fromText);
    std::fputs(result.out.toUtf8().constData(), stdout);
    if (!result.err.isEmpty())
        std::fprintf(stderr, "topovil : %s\n", result.err.toUtf8().constData());
    return result.status;
}

// --help, --version and --chercher are answered before the window's Qt
// starts, so that they work without a display. Returns -1 when the window
// is to start.
static int answerWithoutWindow(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = CommandLine::parse(arguments);
    if (line.action == CommandLine::Action::Help)
        std::fputs(commandLineHelp().toUtf8().constData(), stdout);
    else if (line.action == CommandLine::Action::Version)
        std::fputs(commandLineVersion().toUtf8().constData(), stdout);
    else if (line.action == CommandLine::Action::Search || line.action == CommandLine::Action::Around)
        return searchWithoutWindow(argc, argv, line);
    else if (line.action == CommandLine::Action::Error && asksForSearch(arguments))
        return reportCommandLineError(line); // a search line has no Qt options to take away first
    else
        return -1;
    return 0;
}

int main(int argc, char *argv[])
{
    if (const int status = answerWithoutWindow(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Topovil"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    // Read again once Qt has taken its own options (-platform...) away.
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::Error)
        return reportCommandLineError(line);

    Form1 form;
    const QString dataPath =
        !line.dataFile.isEmpty()
            ? line.dataFile
            : findDataFile(DataFilePlaces::fromEnvironment(QCoreApplication::applicationDirPath()));
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
