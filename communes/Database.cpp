#include "communes/Database.h"

#include "communes/DatabaseError.h"

#include <QRegularExpression>

Recordset Database::openRecordset(const QString &tableName)
{
    if (!m_open)
        throw DatabaseError(QStringLiteral("La base de données « %1 » est fermée.").arg(m_path));
    const QString key = tableName.toLower();
    auto found = m_tables.constFind(key);
    if (found == m_tables.constEnd())
        found = m_tables.insert(key, std::make_shared<const TableData>(readTable(tableName)));
    return Recordset(*found);
}

Recordset Database::openQuery(const QString &sql)
{
    return openRecordset(tableNameOfQuery(sql));
}

void Database::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_tables.clear();
    releaseFile();
}

QString tableNameOfQuery(const QString &sql)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+(?:\[([^\]]+)\]|([A-Za-z_][A-Za-z0-9_]*))\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(sql);
    if (!match.hasMatch())
        throw DatabaseError(QStringLiteral("Requête non prise en charge : « %1 » "
                                           "(seule la forme SELECT * FROM table est lue).")
                                .arg(sql));
    return match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
}
