#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <sqlite3.h>
#include <vector>

// Writes a small commune store for a test: table insee1 (or another name)
// with the five usual columns; a null QVariant writes a NULL.
inline bool writeCommuneStore(const QString &path, const std::vector<std::vector<QVariant>> &rows,
                              const QString &table = QStringLiteral("insee1"))
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const QByteArray create = QStringLiteral("CREATE TABLE %1 (commune TEXT, longitude REAL, latitude REAL, "
                                             "codepos TEXT, departement TEXT)")
                                  .arg(table)
                                  .toUtf8();
    bool ok = sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt *insert = nullptr;
    const QByteArray sql = QStringLiteral("INSERT INTO %1 VALUES (?1, ?2, ?3, ?4, ?5)").arg(table).toUtf8();
    ok = ok && sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr) == SQLITE_OK;
    for (const auto &row : rows) {
        if (!ok)
            break;
        for (int c = 0; c < int(row.size()); ++c) {
            const QVariant &value = row[size_t(c)];
            if (value.isNull())
                sqlite3_bind_null(insert, c + 1);
            else if (value.typeId() == QMetaType::Double)
                sqlite3_bind_double(insert, c + 1, value.toDouble());
            else
                sqlite3_bind_text(insert, c + 1, value.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
        }
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ok;
}

// Writes a new store in the folder, named store1.sqlite, store2.sqlite and so
// on, for tests that need many small stores; stops the test program if it
// cannot.
inline QString writeNumberedStore(const QTemporaryDir &dir, const std::vector<std::vector<QVariant>> &rows,
                                  const QString &table = QStringLiteral("insee1"))
{
    static int count = 0;
    const QString path = dir.filePath(QStringLiteral("store%1.sqlite").arg(++count));
    if (!writeCommuneStore(path, rows, table))
        qFatal("cannot write the test store");
    return path;
}

// A row of the five fields.
inline std::vector<QVariant> commune(const QVariant &name, const QVariant &longitude, const QVariant &latitude,
                                     const QVariant &codepos, const QVariant &departement)
{
    return {name, longitude, latitude, codepos, departement};
}
