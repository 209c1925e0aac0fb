#pragma once

#include "store/Database.h"

struct sqlite3;

// The commune store that ships with the program, opened read-only.
class SqliteDatabase : public Database
{
public:
    explicit SqliteDatabase(const QString &path);
    ~SqliteDatabase() override;

protected:
    TableData readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop) override;
    void releaseFile() override;

private:
    sqlite3 *m_db = nullptr;
};
