#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/StartupFailure.h"
#include "communes/CommuneDatabase.h"
#include "communes/DataFileSearch.h"
#include "communes/DatabaseError.h"

#include <QApplication>
#include <cstdio>

// --help and --version are answered before Qt starts, so that they work
// without a display. Returns -1 when the window is to start.
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
    if (line.action == CommandLine::Action::Error) {
        std::fprintf(stderr, "topovil : %s\nEssayez « topovil --help ».\n", qPrintable(line.error));
        return 2;
    }

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
