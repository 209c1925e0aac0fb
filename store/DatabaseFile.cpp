#include "store/DatabaseFile.h"

#include "store/DatabaseError.h"
#include "store/JetDatabase.h"
#include "store/SqliteDatabase.h"

#include <QFile>
#include <QFileInfo>

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
        if (!QFileInfo::exists(path))
            throw DatabaseError(QStringLiteral("Le fichier de données « %1 » est introuvable.").arg(path));
        throw DatabaseError(QStringLiteral("Le fichier de données « %1 » ne peut pas être lu.").arg(path));
    case DatabaseKind::Unknown:
        break;
    }
    throw DatabaseError(QStringLiteral("Le fichier « %1 » n'est ni une base Access ni une base SQLite.").arg(path));
}
