#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

// A copy of the program in a folder of its own, started with the given
// arguments and an environment whose home and XDG folders lie in `root`;
// `adjust` may change that environment further; `input` is its standard
// input.
struct ProgramRun
{
    int status = -1;
    QString out;
    QString err;
};

// Copies the program into a folder: topovil and the window it starts.
inline bool copyProgram(const QString &folder)
{
    const QString window = QFileInfo(QStringLiteral(TOPOVIL_EXECUTABLE)).dir().filePath("topovil-fenetre");
    QFile::remove(folder + "/topovil");
    QFile::remove(folder + "/topovil-fenetre");
    return QFile::copy(QStringLiteral(TOPOVIL_EXECUTABLE), folder + "/topovil")
           && QFile::copy(window, folder + "/topovil-fenetre");
}

inline ProgramRun runProgram(const QTemporaryDir &root, const QStringList &arguments,
                             const QStringList &xdgDataDirs = {},
                             const std::function<void(QProcessEnvironment &)> &adjust = {},
                             const QByteArray &input = {})
{
    ProgramRun run;
    const QString folder = root.filePath(QStringLiteral("programme"));
    QDir().mkpath(folder);
    const QString program = folder + QStringLiteral("/topovil");
    if (!QFileInfo::exists(program) && !copyProgram(folder))
        return run;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("maison")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root.filePath(QStringLiteral("maison/donnees")));
    env.insert(QStringLiteral("XDG_DATA_DIRS"),
               xdgDataDirs.isEmpty() ? root.filePath(QStringLiteral("systeme")) : xdgDataDirs.join(QLatin1Char(':')));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (adjust)
        adjust(env);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("still running");
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
