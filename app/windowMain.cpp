#include "app/Form1.h"
#include "app/Form1Frame.h"
#include "cli/CommandLine.h"
#include "store/DataFileLocation.h"
#include "store/DatabaseError.h"
#include "store/SystemError.h"
#include "widgets/OpenFileLimit.h"
#include "widgets/WindowSystemMessages.h"

#include <QApplication>
#include <cstdio>

// The window, started by topovil (main.cpp) when no answer on the command
// line is asked for: only this program loads the window libraries.

// Qt ends the program with an English abort when it finds no display; the
// user is told in French first.
static bool mayHaveDisplay(int argc, char *argv[])
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if ((argument == "-platform" || argument == "--platform") && i + 1 < argc)
            platform = argv[i + 1];
        else if (argument.startsWith("-platform=") || argument.startsWith("--platform="))
            platform = argument.mid(argument.indexOf('=') + 1);
    }
    // The X11 and Wayland platforms need their display; any other (offscreen,
    // vnc, eglfs...) is Qt's to judge.
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty())
        return x11 || wayland;
    if (platform.startsWith("xcb"))
        return x11;
    if (platform.startsWith("wayland"))
        return wayland;
    return true;
}

int main(int argc, char *argv[])
{
    if (!mayHaveDisplay(argc, argv)) {
        std::fputs("Topovil : aucun écran n'a été trouvé (ni DISPLAY ni WAYLAND_DISPLAY n'est défini) ; la fenêtre "
                   "ne peut pas s'ouvrir. Sans écran, « topovil --chercher TEXTE » et « topovil --lot ENTREE » "
                   "répondent.\n",
                   stderr);
        return 1;
    }
    if (const QString why = ensureWindowDescriptors(); !why.isEmpty()) {
        std::fputs(why.toLocal8Bit().constData(), stderr);
        return 1;
    }
    exitOnUncaughtOutOfMemory("Topovil : mémoire insuffisante : la fenêtre ne peut pas continuer (essayez avec "
                              "plus de mémoire libre).\n",
                              1);
    holdWindowSystemMessages();
    QApplication app(argc, argv);
    windowSystemStarted();
    QApplication::setApplicationName(QStringLiteral("Topovil"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

    // Read again once Qt has taken its own options (-platform...) away.
    const CommandLine line = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (line.action == CommandLine::Action::Error) {
        std::fprintf(stderr, "topovil : %s\nEssayez « topovil --help ».\n", line.error.toUtf8().constData());
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
        reportStartupFailure(outOfMemoryOpening(dataPath));
        return 1;
    }

    form.show();
    return app.exec();
}
