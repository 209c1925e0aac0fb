#pragma once

#include "store/Database.h"

#include <QByteArray>

struct sqlite3;

// The commune store that ships with the program, opened read-only.
class SqliteDatabase : public Database
{
public:
    explicit SqliteDatabase(const QString &path);
    ~SqliteDatabase() override;

    std::optional<Recordset> openNameCandidates(const QString &tableName, const QString &foldedName) override;
    std::optional<Recordset> openLinkedRows(const QString &tableName, const QString &column,
                                            const std::vector<qint64> &rowids) override;

protected:
    TableData readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop) override;
    void releaseFile() override;
    std::unique_ptr<Database> openAgain() const override;

private:
    // Whether the table of that name is a view (or cannot be told).
    bool isView(const QString &tableName);
    // Reads the table's rows, all of them or those `where` (the SQL after
    // WHERE) keeps.
    TableData selectRows(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop, const QString *where);

    sqlite3 *m_db = nullptr;
    QByteArray m_candidateName; // the folded name whose candidate rows are read
};
