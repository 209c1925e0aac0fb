#pragma once

#include "communes/Recordset.h"
#include "communes/TableData.h"

#include <QHash>
#include <QString>
#include <memory>

// An open commune database. The data is read-only, so each table is read
// once and kept: opening a recordset again is a new cursor over the same rows,
// which is what re-running the query would give.
class Database
{
public:
    virtual ~Database() = default;

    QString path() const { return m_path; }

    // All rows of a table, by its name (compared without regard to case).
    Recordset openRecordset(const QString &tableName);
    // The one query form the program runs: "SELECT * FROM <table>".
    Recordset openQuery(const QString &sql);

    // Releases the file; later opens fail.
    void close();
    bool isOpen() const { return m_open; }

protected:
    explicit Database(QString path) : m_path(std::move(path)) {}

    // Reads the whole table; throws DatabaseError when it does not exist.
    virtual TableData readTable(const QString &tableName) = 0;
    virtual void releaseFile() = 0;

private:
    QString m_path;
    bool m_open = true;
    QHash<QString, std::shared_ptr<const TableData>> m_tables;
};

// Parses "SELECT * FROM <table>" (keywords in any case, optional trailing
// semicolon and brackets around the name); returns the table name or throws.
QString tableNameOfQuery(const QString &sql);
