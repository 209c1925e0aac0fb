#pragma once

#include <QString>
#include <QTemporaryDir>
#include <sqlite3.h>

// A commune table of 1,000,000 rows for the benchmarks, made once per run in
// a temporary folder: the shipped rows again and again, each copy's names
// suffixed with its number ("PARIS 2", "PARIS 3", ...), so that no two names
// repeat. Also a table of the shipped first row alone. Empty paths when the
// shipped store is absent or the files cannot be written.
struct BenchTables
{
    QString million;
    QString oneRow;
};

inline const BenchTables &benchTables()
{
    static QTemporaryDir dir;
    static const BenchTables tables = [] {
        const QByteArray shipped = TOPOVIL_SOURCE_DIR "/data/insee.sqlite";
        BenchTables made{dir.filePath(QStringLiteral("million.sqlite")), dir.filePath(QStringLiteral("one.sqlite"))};
        const auto make = [&](const QString &path, const char *rows) {
            sqlite3 *db = nullptr;
            bool ok = dir.isValid() && sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK;
            const QByteArray sql = "ATTACH '" + shipped
                                   + "' AS shipped;"
                                     "CREATE TABLE insee1 (commune TEXT, longitude REAL, latitude REAL, "
                                     "codepos TEXT, departement TEXT, population INTEGER);"
                                   + QByteArray(rows) + ";DETACH shipped;";
            ok = ok && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
            sqlite3_close(db);
            return ok;
        };
        const bool ok =
            make(made.million, "WITH RECURSIVE copy(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM copy WHERE n < 30) "
                               "INSERT INTO insee1 SELECT CASE n WHEN 1 THEN commune ELSE commune || ' ' || n END, "
                               "longitude, latitude, codepos, departement, population "
                               "FROM copy, shipped.insee1 ORDER BY n, shipped.insee1.rowid LIMIT 1000000")
            && make(made.oneRow,
                    "INSERT INTO insee1 SELECT commune, longitude, latitude, codepos, departement, population "
                    "FROM shipped.insee1 ORDER BY rowid LIMIT 1");
        return ok ? made : BenchTables{};
    }();
    return tables;
}
