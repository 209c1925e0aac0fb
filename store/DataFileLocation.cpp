#include "store/DataFileLocation.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The folders of a list variable such as $XDG_DATA_DIRS: absolute ones
// only, or the defaults when none is left.
QStringList xdgFolders(const QString &value, const QStringList &defaults)
{
    QStringList folders;
    for (const QString &folder : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders << folder;
    }
    return folders.isEmpty() ? defaults : folders;
}

QString topovilFile(const QString &folder, const char *name)
{
    return QDir(folder).filePath(QStringLiteral("topovil/") + QLatin1String(name));
}

} // namespace

DataFilePlaces DataFilePlaces::fromEnvironment(const QString &programDir)
{
    return {programDir, qEnvironmentVariable("HOME"), qEnvironmentVariable("XDG_DATA_HOME"),
            qEnvironmentVariable("XDG_DATA_DIRS")};
}

QStringList dataFileCandidates(const DataFilePlaces &places)
{
    const QDir program(places.programDir);
    QStringList candidates{program.filePath(QStringLiteral("insee.mdb"))};

    // A relative or empty $XDG_DATA_HOME takes the default; without a home
    // there is no user folder to look in.
    QString dataHome = places.xdgDataHome;
    if (!QDir::isAbsolutePath(dataHome))
        dataHome =
            QDir::isAbsolutePath(places.home) ? QDir(places.home).filePath(QStringLiteral(".local/share")) : QString();
    if (!dataHome.isEmpty())
        candidates << topovilFile(dataHome, "insee.mdb");
    for (const QString &folder :
         xdgFolders(places.xdgDataDirs, {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")}))
        candidates << topovilFile(folder, "insee.mdb");

    candidates << program.filePath(QStringLiteral("insee.sqlite"));
    return candidates;
}

QString findDataFile(const DataFilePlaces &places)
{
    const QStringList candidates = dataFileCandidates(places);
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.last();
}
