#include "store/DatabaseFile.h"

#include "store/DatabaseError.h"
#include "store/JetDatabase.h"
#include "store/SqliteDatabase.h"
#include "store/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DatabaseKind sniffDatabaseFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DatabaseKind::Missing;
    const QByteArray head = file.read(32);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return DatabaseKind::Sqlite;
    if (hasJetSignature(head))
        return DatabaseKind::Jet;
    return DatabaseKind::Unknown;
}

// Why a file cannot be read, from what the system says of it: "missing"
// alone would send the user looking for a file that is there.
static QString unreadableFile(const QString &path)
{
    struct stat info
    {
    };
    const int error = ::stat(QFile::encodeName(path).constData(), &info) == 0 ? 0 : errno;
    QString why;
    switch (error) {
    case ENOENT:
        return QStringLiteral("Le fichier de données « %1 » est introuvable.").arg(path);
    case ELOOP:
        why = QStringLiteral("les liens symboliques qui y mènent forment une boucle");
        break;
    case ENOTDIR:
        why = QStringLiteral("un élément de son chemin n'est pas un dossier");
        break;
    case ENAMETOOLONG:
        why = QStringLiteral("son chemin est trop long");
        break;
    case EACCES:
    case EPERM:
        why = QStringLiteral("accès refusé");
        break;
    case 0: { // it is there: opening it is what fails, and says why
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return QStringLiteral("Le fichier de données « %1 » ne peut pas être lu.").arg(path);
        }
        why = systemErrorText(errno);
        break;
    }
    default:
        return QStringLiteral("Le fichier de données « %1 » ne peut pas être lu.").arg(path);
    }
    return QStringLiteral("Le fichier de données « %1 » ne peut pas être lu : %2.").arg(path, why);
}

std::unique_ptr<Database> openDatabase(const QString &path)
{
    // A pipe or a device would block the first read for ever: only a regular
    // file is opened, even to look at its first bytes.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw DatabaseError(QStringLiteral("« %1 » n'est pas un fichier ordinaire (dossier, tube, périphérique "
                                           "ou socket) : il ne peut pas servir de fichier de données.")
                                .arg(path));
    switch (sniffDatabaseFile(path)) {
    case DatabaseKind::Jet:
        return std::make_unique<JetDatabase>(path);
    case DatabaseKind::Sqlite:
        return std::make_unique<SqliteDatabase>(path);
    case DatabaseKind::Missing:
        throw DatabaseError(unreadableFile(path));
    case DatabaseKind::Unknown:
        break;
    }
    throw DatabaseError(QStringLiteral("Le fichier « %1 » n'est ni une base Access ni une base SQLite.").arg(path));
}
