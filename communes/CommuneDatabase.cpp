#include "communes/CommuneDatabase.h"

#include "communes/DatabaseError.h"
#include "communes/DatabaseFile.h"

#include <QDir>
#include <QFileInfo>

QString communeDataPath(const QString &programDir)
{
    const QDir dir(programDir);
    const QString access = dir.filePath(QStringLiteral("insee.mdb"));
    if (QFileInfo::exists(access))
        return access;
    return dir.filePath(QStringLiteral("insee.sqlite"));
}

std::unique_ptr<Database> openCommuneDatabase(const QString &path)
{
    std::unique_ptr<Database> db = openDatabase(path);
    Recordset first = db->openRecordset(QStringLiteral("insee1"));
    if (first.recordCount() == 0)
        throw DatabaseError(QStringLiteral("La table insee1 de « %1 » ne contient aucune commune.").arg(path));
    for (const char *field : communeFields) {
        const QString name = QLatin1String(field);
        QVariant value;
        try {
            value = first.field(name);
        } catch (const DatabaseError &) {
            throw DatabaseError(QStringLiteral("La table insee1 de « %1 » n'a pas de champ %2.").arg(path, name));
        }
        if (value.isNull())
            throw DatabaseError(QStringLiteral("Le premier enregistrement de « %1 » a un champ %2 vide.")
                                    .arg(path, name));
    }
    return db;
}
