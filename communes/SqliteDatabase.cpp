#include "communes/SqliteDatabase.h"

#include "communes/DatabaseError.h"

#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>

namespace {

// No commune store has a value anywhere near this long.
constexpr int MaxValueBytes = 1 << 20;

// A store is data, but its schema can make reading it compute: a view is a
// query, a generated column an expression, and either can be written to run
// for ever or to fill the memory. A read is held to what the file's size
// warrants: steps of SQLite's engine (reading the shipped store takes about
// one per six bytes of it; twenty per byte are allowed, 200 000 at least)
// and bytes of text.
class ReadBudget
{
public:
    ReadBudget(sqlite3 *db, qint64 fileSize)
        : m_db(db), m_thousandsOfSteps(std::max<qint64>(200, fileSize / 50)),
          m_bytesLeft(4 * fileSize + MaxValueBytes)
    {
        sqlite3_progress_handler(m_db, 1000, &ReadBudget::spendSteps, this);
    }
    ~ReadBudget() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }
    ReadBudget(const ReadBudget &) = delete;
    ReadBudget &operator=(const ReadBudget &) = delete;

    // False once the values read add up to more than the file could hold.
    bool spendBytes(int bytes) { return (m_bytesLeft -= bytes) >= 0; }

private:
    static int spendSteps(void *budget) { return --static_cast<ReadBudget *>(budget)->m_thousandsOfSteps < 0; }

    sqlite3 *m_db;
    qint64 m_thousandsOfSteps;
    qint64 m_bytesLeft;
};

// Frees a prepared statement at the end of a scope, whatever happens.
struct Statement
{
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

} // namespace

SqliteDatabase::SqliteDatabase(const QString &path) : Database(path)
{
    // Immutable: SQLite takes no lock and writes nothing beside the file,
    // not even the shared-memory file of a store kept in write-ahead mode.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded()
                           + QByteArrayLiteral("?immutable=1");
    const int rc = sqlite3_open_v2(uri.constData(), &m_db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(QStringLiteral("Impossible d'ouvrir la base « %1 » : %2.").arg(path, why));
    }
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, MaxValueBytes);
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close(m_db);
}

void SqliteDatabase::releaseFile()
{
    sqlite3_close(m_db);
    m_db = nullptr;
}

TableData SqliteDatabase::readTable(const QString &tableName)
{
    auto fail = [&](const QString &why) {
        return DatabaseError(QStringLiteral("Lecture de la table %1 de « %2 » impossible : %3.")
                                 .arg(tableName, path(), why));
    };

    ReadBudget budget(m_db, QFileInfo(path()).size());
    // Look the name up first so that it is never spliced into SQL unchecked.
    Statement lookup;
    if (sqlite3_prepare_v2(m_db, "SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                 "AND lower(name) = lower(?1)", -1, &lookup.handle, nullptr) != SQLITE_OK)
        throw fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    const QByteArray wanted = tableName.toUtf8();
    sqlite3_bind_text(lookup.handle, 1, wanted.constData(), int(wanted.size()), SQLITE_TRANSIENT);
    const int found = sqlite3_step(lookup.handle);
    if (found == SQLITE_DONE)
        throw DatabaseError(QStringLiteral("La table %1 est absente de « %2 ».").arg(tableName, path()));
    if (found != SQLITE_ROW)
        throw fail(QString::fromUtf8(sqlite3_errmsg(m_db)));

    TableData table;
    table.name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(lookup.handle, 0)));
    QString quoted = table.name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\"").arg(quoted).toUtf8();

    Statement select;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &select.handle, nullptr) != SQLITE_OK)
        throw fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    const int columnCount = sqlite3_column_count(select.handle);
    for (int c = 0; c < columnCount; ++c)
        table.columns << QString::fromUtf8(sqlite3_column_name(select.handle, c));

    // Texts repeat down a column (the département of neighbouring communes):
    // a text equal to the one above shares its string instead of a new one.
    const size_t columns = size_t(columnCount);
    std::vector<QByteArray> lastBytes(columns);
    std::vector<QString> lastText(columns);
    int rc;
    while ((rc = sqlite3_step(select.handle)) == SQLITE_ROW) {
        for (int c = 0; c < columnCount; ++c) {
            switch (sqlite3_column_type(select.handle, c)) {
            case SQLITE_NULL:
                table.cells.emplace_back();
                break;
            case SQLITE_INTEGER:
                table.cells.emplace_back(qlonglong(sqlite3_column_int64(select.handle, c)));
                break;
            case SQLITE_FLOAT:
                table.cells.emplace_back(sqlite3_column_double(select.handle, c));
                break;
            default: {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select.handle, c));
                const int bytes = sqlite3_column_bytes(select.handle, c);
                if (!budget.spendBytes(bytes))
                    throw fail(QStringLiteral("ses valeurs dépassent de loin ce que le fichier peut contenir"));
                const QByteArrayView value(text, bytes);
                if (value != lastBytes[size_t(c)]) {
                    lastBytes[size_t(c)] = value.toByteArray();
                    lastText[size_t(c)] = QString::fromUtf8(value);
                }
                table.cells.emplace_back(lastText[size_t(c)]);
            }
            }
        }
    }
    if (rc == SQLITE_INTERRUPT)
        throw fail(QStringLiteral("elle demande bien plus de calcul que la taille du fichier ne le justifie"));
    if (rc != SQLITE_DONE)
        throw fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    return table;
}
