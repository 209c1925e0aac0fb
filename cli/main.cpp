#include "cli/CommandLineRun.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

// The file this program runs from, its links followed: the window's program
// and the data file are looked for beside it.
static QString programFile(const char *argv0)
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return !self.isEmpty() ? self : QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
}

// The window is a program of its own beside this one, so that answering
// on the command line never loads the window libraries.
static RunEnd startWindow(char *argv[])
{
    const QByteArray window =
        QFile::encodeName(QFileInfo(programFile(argv[0])).dir().filePath(QStringLiteral("topovil-fenetre")));
    argv[0] = const_cast<char *>(window.constData());
    execv(window.constData(), argv);
    std::fprintf(stderr, "Topovil : la fenêtre (%s) ne peut pas démarrer : %s.\n", window.constData(),
                 errno == ENOENT ? "programme introuvable" : "programme inutilisable");
    return RunEnd::WindowMissing;
}

// Everything but the window is answered before the window's Qt starts, so
// that it works without a display.
int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RunEnd end = runCommandLine(arguments, stdin, stdout, stderr, QFileInfo(programFile(argv[0])).absolutePath());
    return exitStatus(end == RunEnd::WindowWanted ? startWindow(argv) : end);
}
