#pragma once

#include "store/Recordset.h"
#include "store/TableData.h"

#include <QHash>
#include <QString>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

// An open commune database. The data is read-only, so each table is read
// once and kept: opening a recordset again is a new cursor over the same rows,
// which is what re-running the query would give.
//
// A table may also be read in the background: its first record is read at
// once, the rest on a thread of its own, and whatever needs the whole table
// waits for it.
class Database
{
public:
    virtual ~Database();

    QString path() const { return m_path; }

    // All rows of a table, by its name (compared without regard to case).
    // Waits for a background read in progress; throws its error.
    Recordset openRecordset(const QString &tableName);
    // The one query form the program runs: "SELECT * FROM <table>".
    Recordset openQuery(const QString &sql);
    // The first record of a table alone (none for an empty table), read at once.
    Recordset openFirstRecord(const QString &tableName);

    // The check every record of a whole read of the table must pass (see
    // RecordCheck). It may run on the background thread.
    void setRecordCheck(const QString &tableName, RecordCheck check);

    // Starts reading the whole table in the background. `done` is called on
    // that thread when the read ends, well or not.
    void startLoading(const QString &tableName, std::function<void()> done = {});
    // Whether a background read has not ended yet.
    bool isLoading() const;

    // Starts reading these tables on a connection and a thread of their own,
    // while this one reads others: for a batch, which needs every table
    // before its first line. An engine that cannot open its file twice (an
    // Access file) reads them when asked, as before. Asking for one of them
    // waits for them all; one that could not be read there is read when asked,
    // and fails then as it would have.
    void readAlongside(const QStringList &tableNames);

    // For a search of one plain name: the rows of a table whose name may
    // fold to `foldedName` (mayFoldTo), or is longer than 255 bytes or not a
    // text, which only the search itself can judge; in table order, read at
    // once without the whole table. Nothing when the engine cannot select
    // rows (an Access file is read whole).
    virtual std::optional<Recordset> openNameCandidates(const QString &tableName, const QString &foldedName);
    // The rows of a table whose `column` holds one of these rowids (the
    // postal codes of a few candidate communes), in table order, read at once
    // without the whole table; nothing when the engine cannot select rows.
    virtual std::optional<Recordset> openLinkedRows(const QString &tableName, const QString &column,
                                                    const std::vector<qint64> &rowids);

    // Releases the file, stopping a background read; later opens fail.
    void close();
    bool isOpen() const { return m_open; }

protected:
    explicit Database(QString path) : m_path(std::move(path)) {}

    // Reads up to maxRows rows of a table (all of them when maxRows is 0);
    // throws DatabaseError, also when it does not exist. A read is given up,
    // with a DatabaseError, once `stop` is set.
    virtual TableData readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop) = 0;
    virtual void releaseFile() = 0;
    // The same file opened again, for a read alongside this one's; none when
    // the engine cannot.
    virtual std::unique_ptr<Database> openAgain() const { return nullptr; }

    // Stops a background read and waits for its end. A backend calls it
    // first in its destructor: the read uses the backend's file handle.
    void stopLoading();

    // The memory a table read from this file may hold: a small multiple of
    // what the file's own bytes could describe.
    size_t tableMemoryLimit() const;
    // The check of the records of a read: none for a partial one.
    RecordCheck recordCheck(const QString &tableName, size_t maxRows) const;

private:
    using SharedTable = std::shared_ptr<const TableData>;

    SharedTable readWhole(Database &reader, const QString &tableName);
    void finishLoading();
    void finishReadingAlongside();

    QString m_path;
    bool m_open = true;
    QHash<QString, SharedTable> m_tables;
    QHash<QString, SharedTable> m_firstRecords;
    QHash<QString, QString> m_failures; // the errors of background reads
    QHash<QString, RecordCheck> m_checks;
    QString m_loadingKey;
    std::future<SharedTable> m_loading;
    QStringList m_alongsideKeys;
    std::future<QHash<QString, SharedTable>> m_alongside;
    std::atomic<bool> m_stop = false;
};

// Parses "SELECT * FROM <table>" (keywords in any case, optional trailing
// semicolon and brackets around the name); returns the table name or throws.
QString tableNameOfQuery(const QString &sql);
