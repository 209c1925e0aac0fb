#pragma once

#include "store/Database.h"

struct sqlite3;

// The commune store that ships with the program, opened read-only.
class SqliteDatabase : public Database
{
public:
    explicit SqliteDatabase(const QString &path);
    ~SqliteDatabase() override;

    std::optional<Recordset> openNameCandidates(const QString &tableName, const QString &foldedName) override;

protected:
    TableData readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop) override;
    void releaseFile() override;

private:
    // Whether the table of that name is a view (or cannot be told).
    bool isView(const QString &tableName);
    // Reads the table's rows, all of them or, with `candidateName`, those
    // openNameCandidates asks for.
    TableData selectRows(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop,
                         const QByteArray *candidateName);

    sqlite3 *m_db = nullptr;
};
