#include "store/CommuneDatabase.h"

#include "store/DatabaseError.h"
#include "store/DatabaseFile.h"

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

qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --count;
    return count;
}

// Refuses, as soon as it is read, a commune name that could make a search crawl.
static void checkCommuneName(const TableData &table, int commune, size_t row, const QString &path)
{
    if (commune < 0)
        return;
    const Column &names = table.data[size_t(commune)];
    const qsizetype length =
        names.kind(row) == Column::Kind::Text ? characterCount(names.text(row)) : names.value(row).toString().size();
    if (length > MaxCommuneNameLength)
        throw DatabaseError(QStringLiteral("Le nom de commune de l'enregistrement %1 de « %2 » a %3 caractères ; "
                                           "un nom en a au plus %4.")
                                .arg(row + 1)
                                .arg(path)
                                .arg(length)
                                .arg(MaxCommuneNameLength));
}

std::unique_ptr<Database> openCommuneDatabase(const QString &path)
{
    std::unique_ptr<Database> db = openDatabase(path);
    // Each read checks with its own copy, which finds the column once.
    db->setRecordCheck(QStringLiteral("insee1"), [path, commune = -2](const TableData &table, size_t row) mutable {
        if (commune == -2)
            commune = table.columnIndex(u"commune");
        checkCommuneName(table, commune, row, path);
    });
    // Only the first record is needed here: the rest may be read later.
    Recordset first = db->openFirstRecord(QStringLiteral("insee1"));
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
            throw DatabaseError(
                QStringLiteral("Le premier enregistrement de « %1 » a un champ %2 vide.").arg(path, name));
    }
    const qsizetype nameLength = characterCount(first.fieldText(u"commune"));
    if (nameLength > MaxCommuneNameLength)
        throw DatabaseError(QStringLiteral("Le nom de commune du premier enregistrement de « %1 » a %2 caractères ; "
                                           "un nom en a au plus %3.")
                                .arg(path)
                                .arg(nameLength)
                                .arg(MaxCommuneNameLength));
    return db;
}

std::optional<Recordset> openCommuneCandidates(Database &db, const QString &foldedName)
{
    std::optional<Recordset> rows = db.openNameCandidates(QStringLiteral("insee1"), foldedName);
    if (!rows)
        return std::nullopt;
    const Column &names = rows->column(rows->fieldIndex(u"commune"));
    for (size_t row = 0; row < names.size(); ++row) {
        if (names.kind(row) == Column::Kind::Text ? names.text(row).size() > MaxCommuneNameLength
                                                  : names.value(row).toString().size() > MaxCommuneNameLength)
            return std::nullopt;
    }
    return rows;
}

QString officialName(const Recordset &records)
{
    const int column = records.table() ? records.table()->columnIndex(u"nom") : -1;
    return column >= 0 && records.hasCurrentRecord() ? records.valueAt(column).toString() : QString();
}
