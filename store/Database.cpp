#include "store/Database.h"

#include "store/DatabaseError.h"
#include "store/FileSize.h"

#include <QRegularExpression>

#include <stdexcept>
#include <system_error>

namespace {

DatabaseError closedError(const QString &path)
{
    return DatabaseError(QStringLiteral("La base de données « %1 » est fermée.").arg(path));
}

DatabaseError outOfMemory(const QString &tableName, const QString &path)
{
    return DatabaseError(
        QStringLiteral("Lecture de la table %1 de « %2 » impossible : mémoire insuffisante.").arg(tableName, path));
}

} // namespace

Database::~Database()
{
    stopLoading();
}

void Database::stopLoading()
{
    m_stop = true;
    if (m_loading.valid())
        m_loading.wait();
    if (m_alongside.valid())
        m_alongside.wait();
}

size_t Database::tableMemoryLimit() const
{
    // A table in memory takes about twice the bytes of its rows in a file;
    // sixteen times the bytes the file really holds leaves room for any
    // honest table, and a floor keeps tiny files readable.
    constexpr size_t Floor = 64u << 20;
    return Floor + 16 * size_t(std::max<qint64>(0, storedFileSize(m_path)));
}

RecordCheck Database::recordCheck(const QString &tableName, size_t maxRows) const
{
    return maxRows == 0 ? m_checks.value(tableName.toLower()) : RecordCheck();
}

void Database::setRecordCheck(const QString &tableName, RecordCheck check)
{
    finishLoading();
    m_checks.insert(tableName.toLower(), std::move(check));
}

// Reads a whole table of this file through `reader`, this one or the file
// opened again; stopped with this one.
Database::SharedTable Database::readWhole(Database &reader, const QString &tableName)
{
    try {
        return std::make_shared<const TableData>(reader.readTable(tableName, 0, m_stop));
    } catch (const std::bad_alloc &) {
        throw outOfMemory(tableName, m_path);
    } catch (const std::length_error &) { // a buffer past what a vector can hold
        throw outOfMemory(tableName, m_path);
    }
}

Recordset Database::openRecordset(const QString &tableName)
{
    if (!m_open)
        throw closedError(m_path);
    finishLoading();
    const QString key = tableName.toLower();
    if (m_alongsideKeys.contains(key))
        finishReadingAlongside();
    if (const auto failed = m_failures.constFind(key); failed != m_failures.constEnd())
        throw DatabaseError(*failed);
    auto found = m_tables.constFind(key);
    if (found == m_tables.constEnd())
        found = m_tables.insert(key, readWhole(*this, tableName));
    return Recordset(*found);
}

Recordset Database::openQuery(const QString &sql)
{
    return openRecordset(tableNameOfQuery(sql));
}

Recordset Database::openFirstRecord(const QString &tableName)
{
    if (!m_open)
        throw closedError(m_path);
    const QString key = tableName.toLower();
    auto found = m_firstRecords.constFind(key);
    if (found == m_firstRecords.constEnd()) {
        finishLoading(); // the file is read by one thread at a time
        try {
            found = m_firstRecords.insert(key, std::make_shared<const TableData>(readTable(tableName, 1, m_stop)));
        } catch (const std::bad_alloc &) {
            throw outOfMemory(tableName, m_path);
        }
    }
    return Recordset(*found);
}

void Database::startLoading(const QString &tableName, std::function<void()> done)
{
    if (!m_open)
        throw closedError(m_path);
    finishLoading();
    m_loadingKey = tableName.toLower();
    try {
        m_loading = std::async(std::launch::async, [this, tableName, done = std::move(done)] {
            struct Notify
            {
                const std::function<void()> &done;
                ~Notify()
                {
                    // Whoever waits for the table still gets it, or its error,
                    // when the news cannot be sent (no memory left for it).
                    try {
                        if (done)
                            done();
                    } catch (...) {
                    }
                }
            } notify{done};
            return readWhole(*this, tableName);
        });
    } catch (const std::system_error &) {
        // Under a cap on processes or on memory the system may refuse the thread.
        throw DatabaseError(QStringLiteral("Lecture de la table %1 de « %2 » impossible : le système refuse de "
                                           "lancer un fil d'exécution de plus (trop de processus ou mémoire "
                                           "insuffisante).")
                                .arg(tableName, m_path));
    } catch (const std::bad_alloc &) {
        throw outOfMemory(tableName, m_path);
    }
}

bool Database::isLoading() const
{
    return m_loading.valid() && m_loading.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

// Takes in the table read in the background, or its error, once.
void Database::finishLoading()
{
    if (!m_loading.valid())
        return;
    try {
        m_tables.insert(m_loadingKey, m_loading.get());
    } catch (const DatabaseError &error) {
        // Kept, so that the table is never read again as if it could be valid.
        m_failures.insert(m_loadingKey, error.message());
        throw;
    }
}

void Database::readAlongside(const QStringList &tableNames)
{
    if (!m_open || m_alongside.valid())
        return;
    QStringList keys;
    for (const QString &name : tableNames) {
        if (!m_tables.contains(name.toLower()) && !m_failures.contains(name.toLower()))
            keys << name.toLower();
    }
    if (keys.isEmpty())
        return;
    std::unique_ptr<Database> again;
    try {
        again = openAgain();
    } catch (const DatabaseError &) {
        // Read here when asked, and fail then if the file is unreadable.
    }
    if (!again)
        return;
    again->m_checks = m_checks;
    try {
        m_alongside = std::async(std::launch::async, [this, again = std::move(again), keys]() mutable {
            QHash<QString, SharedTable> tables;
            for (const QString &key : keys) {
                try {
                    tables.insert(key, readWhole(*again, key));
                } catch (const DatabaseError &) {
                    // Read again when asked, for its error to be told then.
                }
            }
            again.reset(); // the file closed on the thread that read it
            return tables;
        });
        m_alongsideKeys = keys;
    } catch (const std::system_error &) {
        // No thread to spare: the tables are read here when asked.
    }
}

// Takes in the tables read alongside, once.
void Database::finishReadingAlongside()
{
    if (!m_alongside.valid())
        return;
    m_alongsideKeys.clear();
    m_tables.insert(m_alongside.get());
}

void Database::close()
{
    if (!m_open)
        return;
    m_open = false;
    stopLoading();
    m_loading = {};
    m_alongside = {};
    m_alongsideKeys.clear();
    m_tables.clear();
    m_firstRecords.clear();
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

std::optional<Recordset> Database::openNameCandidates(const QString &, const QString &)
{
    return std::nullopt;
}

std::optional<Recordset> Database::openLinkedRows(const QString &, const QString &, const std::vector<qint64> &)
{
    return std::nullopt;
}
