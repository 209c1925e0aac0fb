#include "store/SqliteDatabase.h"

#include "store/DatabaseError.h"
#include "store/FileSize.h"
#include "store/NameFolding.h"
#include "store/TableBuilder.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>

namespace {

// No commune store has a value anywhere near this long (the longest are
// names of some forty letters). Kept low so that a store of huge values,
// even one whose file takes little room on disk, is refused at its first
// such value rather than after reading gigabytes of them.
constexpr int MaxValueBytes = 64 << 10;

// How long a read waits for another program to finish writing the store
// before it gives up and says so.
constexpr int BusyWaitMs = 3000;

// A store is data, but its schema can make reading it compute: a view is a
// query, a generated column an expression, and either can be written to run
// for ever. A read is held to what the file's size warrants in steps of
// SQLite's engine (reading the shipped store takes about one per six bytes of
// it; twenty per byte are allowed, 200 000 at least), and is given up as soon
// as the database is closed. The memory the rows take is held by the table
// builder.
class ReadBudget
{
public:
    ReadBudget(sqlite3 *db, qint64 fileSize, const std::atomic<bool> &stop)
        : m_db(db), m_stop(stop), m_thousandsOfSteps(std::max<qint64>(200, fileSize / 50)),
          m_valueBytes(ValueBytesFloor + size_t(std::max<qint64>(0, fileSize)))
    {
        sqlite3_progress_handler(m_db, 1000, &ReadBudget::spendSteps, this);
    }
    ~ReadBudget() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }
    ReadBudget(const ReadBudget &) = delete;
    ReadBudget &operator=(const ReadBudget &) = delete;

    bool stopped() const { return m_stop; }

    // A table's texts come from the bytes its file holds: more than that
    // (and a margin for what views compute) is a file whose holes read as
    // values, gigabytes of them. Refused as they come, before memory fills.
    bool spendValueBytes(size_t bytes)
    {
        m_valueBytesRead += bytes;
        return m_valueBytesRead <= m_valueBytes;
    }
    size_t valueBytes() const { return m_valueBytes; }

private:
    static int spendSteps(void *data)
    {
        auto *budget = static_cast<ReadBudget *>(data);
        return --budget->m_thousandsOfSteps < 0 || budget->m_stop;
    }

    sqlite3 *m_db;
    const std::atomic<bool> &m_stop;
    qint64 m_thousandsOfSteps;
    static constexpr size_t ValueBytesFloor = 64u << 20;
    size_t m_valueBytes;
    size_t m_valueBytesRead = 0;
};

// SQLite's catch-all code covers failures of the schema and of what a view
// computes; its English text says which. The common ones are told in
// French, keeping only the names they hold (a table, a function).
QString errorReason(const QString &english)
{
    struct Known
    {
        const char *english;
        const char *french; // %1: what follows the colon, if anything
    };
    static const Known known[] = {
        {"no such table", "une table dont elle dépend est absente (%1)"},
        {"no such view", "une vue dont elle dépend est absente (%1)"},
        {"no such column", "une colonne dont elle dépend est absente (%1)"},
        {"no such function", "elle utilise une fonction inconnue de cette version de SQLite (%1)"},
        {"no such module", "elle utilise un module inconnu de cette version de SQLite (%1)"},
        {"no such collation sequence", "elle utilise un ordre de tri inconnu (%1)"},
        {"unknown function", "elle utilise une fonction inconnue de cette version de SQLite (%1)"},
        {"malformed JSON", "une valeur JSON qu'elle lit est mal formée"},
        {"bad JSON path", "un chemin JSON qu'elle emploie est mal formé"},
        {"JSON cannot hold BLOB", "une valeur binaire ne peut pas être lue en JSON"},
        {"integer overflow", "un calcul sur des entiers dépasse leur taille"},
        {"unsupported file format", "le format du fichier est plus récent que cette version de SQLite"},
        {"wrong number of arguments", "une fonction y est appelée avec un mauvais nombre d'arguments (%1)"},
        {"too many columns", "elle a trop de colonnes"},
        {"too many levels of trigger recursion", "trop de déclencheurs s'appellent l'un l'autre"},
        {"circularly defined", "une vue est définie par elle-même"},
        {"parser stack overflow", "sa définition est trop imbriquée"},
        {"Expression tree is too large", "sa définition est trop imbriquée"},
        {"string or blob too big", "une valeur dépasse la taille permise"},
        {"ambiguous column name", "un nom de colonne y est ambigu (%1)"},
        {"misuse of aggregate", "une fonction d'agrégat y est mal employée (%1)"},
        {"syntax error", "sa définition contient une erreur de syntaxe"},
        {"malformed database schema", "le schéma de la base est endommagé"},
    };
    for (const Known &entry : known) {
        const qsizetype at = english.indexOf(QLatin1String(entry.english));
        if (at < 0)
            continue;
        const qsizetype colon = english.indexOf(QLatin1String(": "), at);
        const QString detail = colon < 0 ? QString() : english.mid(colon + 2).trimmed();
        QString reason = QString::fromUtf8(entry.french);
        if (reason.contains(QLatin1String("%1")))
            reason = detail.isEmpty() ? reason.remove(QLatin1String(" (%1)")) : reason.arg(detail);
        return reason;
    }
    return QStringLiteral("la définition de la table, ou d'une vue dont elle dépend, ne peut pas être calculée");
}

// SQLite's own texts are English: each failure is told in French, with
// SQLite's code for whoever looks further.
QString sqliteReason(sqlite3 *db, int code)
{
    QString reason;
    switch (code & 0xff) {
    case SQLITE_ERROR:
        reason = errorReason(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)));
        break;
    case SQLITE_CORRUPT:
        reason = QStringLiteral("le fichier est endommagé");
        break;
    case SQLITE_NOTADB:
        reason = QStringLiteral("ce n'est pas une base SQLite valide");
        break;
    case SQLITE_FORMAT:
    case SQLITE_RANGE:
    case SQLITE_MISMATCH:
        reason = QStringLiteral("le fichier contient des données d'un format inattendu");
        break;
    case SQLITE_TOOBIG:
        reason = QStringLiteral("une valeur dépasse %1 Kio").arg(MaxValueBytes >> 10);
        break;
    case SQLITE_NOMEM:
        reason = QStringLiteral("mémoire insuffisante");
        break;
    case SQLITE_CANTOPEN:
        reason = QStringLiteral("le fichier ne peut pas être ouvert");
        break;
    case SQLITE_IOERR:
    case SQLITE_NOLFS:
        reason = QStringLiteral("erreur de lecture du fichier");
        break;
    case SQLITE_FULL:
        reason = QStringLiteral("plus de place pour les fichiers temporaires");
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        reason = QStringLiteral("accès refusé");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        reason = QStringLiteral("un autre programme est en train d'y écrire ; réessayez quand il aura fini");
        break;
    case SQLITE_INTERRUPT:
    case SQLITE_ABORT:
        reason = QStringLiteral("lecture interrompue");
        break;
    case SQLITE_SCHEMA:
        reason = QStringLiteral("le schéma de la base a changé pendant la lecture");
        break;
    case SQLITE_READONLY:
        if (code == SQLITE_READONLY_ROLLBACK) {
            reason = QStringLiteral("une modification y a été interrompue avant sa fin et le fichier en garde une "
                                    "partie (son journal est resté) ; pour l'annuler, ouvrez la base une fois avec "
                                    "sqlite3, par exemple « sqlite3 FICHIER 'PRAGMA quick_check;' », puis relancez "
                                    "Topovil");
            break;
        }
        [[fallthrough]];
    case SQLITE_CONSTRAINT:
        reason = QStringLiteral("la lecture a tenté une écriture, refusée");
        break;
    default: // SQLite's own faults (internal, misuse, protocol...)
        reason = QStringLiteral("erreur interne de SQLite");
    }
    return QStringLiteral("%1 [code SQLite %2]").arg(reason).arg(code);
}

// Frees a prepared statement at the end of a scope, whatever happens.
struct Statement
{
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

// The store is opened without its journals (see below): a write they still
// hold would show stale rows, or rows never committed. Such a store is
// refused, saying how to mend it, and neither file is touched.
void refuseUnfinishedWrites(const QString &path)
{
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
        const QFileInfo journal(path + suffix);
        if (journal.exists() && !journal.isFile())
            throw DatabaseError(QStringLiteral("Impossible d'ouvrir la base « %1 » : « %2 », la place de son "
                                               "journal, n'est pas un fichier ordinaire (dossier, tube, "
                                               "périphérique ou socket). Déplacez-le, puis relancez Topovil.")
                                    .arg(path, journal.filePath()));
    }
    // Committed changes may still wait in the write-ahead log beside the file.
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo(wal).size() > 0)
        throw DatabaseError(
            QStringLiteral("Impossible d'ouvrir la base « %1 » : des modifications ne sont pas encore reportées "
                           "dans le fichier (elles attendent dans « %2 »). Pour les y reporter, ouvrez la base "
                           "une fois avec sqlite3 et exécutez « PRAGMA wal_checkpoint(TRUNCATE); », "
                           "puis relancez Topovil.")
                .arg(path, wal));
}

// Whether the file's header says it keeps a write-ahead log (bytes 18 and 19
// of a SQLite header are 2 then, 1 for a rollback journal).
bool keepsWriteAheadLog(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header[18] == 2 && header[19] == 2;
}

} // namespace

SqliteDatabase::SqliteDatabase(const QString &path) : Database(path)
{
    refuseUnfinishedWrites(path);
    // Read-only under SQLite's locks, so that a program writing the store
    // meanwhile is waited for, not read half-way. A store kept in write-ahead
    // mode with no change waiting in its log is read immutable instead: its
    // file only changes when changes are carried over from the log, and a
    // reader with locks would have to write a shared-memory file beside it.
    const QByteArray uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded()
        + (keepsWriteAheadLog(path) ? QByteArrayLiteral("?immutable=1") : QByteArrayLiteral("?mode=ro"));
    const int rc =
        sqlite3_open_v2(uri.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = sqliteReason(m_db, rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(QStringLiteral("Impossible d'ouvrir la base « %1 » : %2.").arg(path, why));
    }
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, MaxValueBytes);
    sqlite3_busy_timeout(m_db, BusyWaitMs);
    sqlite3_extended_result_codes(m_db, 1); // tells an interrupted change from other refusals
    // Each table is read through once, and its rows kept by the program: a
    // cache of 256 KiB reuses its memory where a larger one would take a
    // fresh page of memory for each page of the file (half the page faults
    // of a one-shot search).
    sqlite3_exec(m_db, "PRAGMA cache_size = -256", nullptr, nullptr, nullptr);
}

SqliteDatabase::~SqliteDatabase()
{
    stopLoading();
    sqlite3_close(m_db);
}

std::unique_ptr<Database> SqliteDatabase::openAgain() const
{
    return std::make_unique<SqliteDatabase>(path());
}

void SqliteDatabase::releaseFile()
{
    sqlite3_close(m_db);
    m_db = nullptr;
}

// SQL's view of mayFoldTo: whether the row may hold the name the function
// was made for (its user data, read once instead of at every row). A name
// too long is let through, for the read to refuse it.
static void mayHoldName(sqlite3_context *context, int, sqlite3_value **values)
{
    if (sqlite3_value_type(values[0]) != SQLITE_TEXT) {
        sqlite3_result_int(context, 1);
        return;
    }
    const auto *name = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    const auto bytes = size_t(sqlite3_value_bytes(values[0]));
    const auto *wanted = static_cast<const QByteArray *>(sqlite3_user_data(context));
    sqlite3_result_int(context, bytes > 255 || mayFoldTo(name, bytes, {wanted->constData(), size_t(wanted->size())}));
}

std::optional<Recordset> SqliteDatabase::openNameCandidates(const QString &tableName, const QString &foldedName)
{
    // A view is a query: the rows it gives for one name may cost nothing while
    // the whole view is refused for what it computes (a table crossed with
    // itself gives each commune once per row). Read whole, it is judged once.
    if (!m_db || isView(tableName))
        return std::nullopt;
    m_candidateName = foldedName.toUtf8();
    sqlite3_create_function_v2(m_db, "topovil_may_hold_name", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &m_candidateName,
                               mayHoldName, nullptr, nullptr, nullptr);
    const QString where = QStringLiteral("topovil_may_hold_name(commune)");
    const std::atomic<bool> stop = false;
    return Recordset(std::make_shared<const TableData>(selectRows(tableName, 0, stop, &where)));
}

std::optional<Recordset> SqliteDatabase::openLinkedRows(const QString &tableName, const QString &column,
                                                        const std::vector<qint64> &rowids)
{
    if (!m_db)
        return std::nullopt;
    QStringList numbers;
    for (const qint64 rowid : rowids)
        numbers << QString::number(rowid);
    QString quoted = column;
    quoted.replace(u'"', QStringLiteral("\"\""));
    const QString where = QStringLiteral("\"%1\" IN (%2)").arg(quoted, numbers.join(u','));
    const std::atomic<bool> stop = false;
    return Recordset(std::make_shared<const TableData>(selectRows(tableName, 0, stop, &where)));
}

bool SqliteDatabase::isView(const QString &tableName)
{
    Statement lookup;
    if (sqlite3_prepare_v2(m_db, "SELECT 1 FROM sqlite_master WHERE type = 'view' AND lower(name) = lower(?1)", -1,
                           &lookup.handle, nullptr)
        != SQLITE_OK)
        return true; // unknown: read whole
    const QByteArray name = tableName.toUtf8();
    sqlite3_bind_text(lookup.handle, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    return sqlite3_step(lookup.handle) != SQLITE_DONE;
}

TableData SqliteDatabase::readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop)
{
    return selectRows(tableName, maxRows, stop, nullptr);
}

TableData SqliteDatabase::selectRows(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop,
                                     const QString *where)
{
    auto fail = [&](const QString &why) {
        return DatabaseError(
            QStringLiteral("Lecture de la table %1 de « %2 » impossible : %3.").arg(tableName, path(), why));
    };
    auto failed = [&](int code) { return fail(sqliteReason(m_db, code)); };

    ReadBudget budget(m_db, storedFileSize(path()), stop);
    // Look the name up first so that it is never spliced into SQL unchecked.
    Statement lookup;
    int rc = sqlite3_prepare_v2(m_db,
                                "SELECT name, type FROM sqlite_master WHERE type IN ('table','view') "
                                "AND lower(name) = lower(?1)",
                                -1, &lookup.handle, nullptr);
    if (rc != SQLITE_OK)
        throw failed(rc);
    const QByteArray wanted = tableName.toUtf8();
    sqlite3_bind_text(lookup.handle, 1, wanted.constData(), int(wanted.size()), SQLITE_TRANSIENT);
    rc = sqlite3_step(lookup.handle);
    if (rc == SQLITE_DONE)
        throw DatabaseError(QStringLiteral("La table %1 est absente de « %2 ».").arg(tableName, path()));
    if (rc != SQLITE_ROW)
        throw failed(rc);

    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(lookup.handle, 0)));
    const bool isView = qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(lookup.handle, 1)), "view") == 0;
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    const QString from = QStringLiteral(" FROM \"%1\"").arg(quoted);

    // A table's rows are counted first, so that its columns are sized once.
    size_t expectedRows = 0;
    if (!isView && maxRows != 1 && !where) {
        Statement count;
        const QByteArray sql = (QStringLiteral("SELECT count(*)") + from).toUtf8();
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &count.handle, nullptr) == SQLITE_OK
            && sqlite3_step(count.handle) == SQLITE_ROW)
            expectedRows = size_t(std::max<sqlite3_int64>(0, sqlite3_column_int64(count.handle, 0)));
    }

    // A table's rows are read with their rowids, which the other tables'
    // links name; a view, or a table without rowids, has none to read.
    Statement select;
    const auto prepare = [&](bool withRowid) {
        QString selectSql = (withRowid ? QStringLiteral("SELECT _rowid_, *") : QStringLiteral("SELECT *")) + from;
        if (where)
            selectSql += QStringLiteral(" WHERE ") + *where;
        if (withRowid) // the table's own order, which a covering index could change
            selectSql += QStringLiteral(" ORDER BY _rowid_");
        if (maxRows > 0)
            selectSql += QStringLiteral(" LIMIT %1").arg(maxRows);
        const QByteArray sql = selectSql.toUtf8();
        return sqlite3_prepare_v2(m_db, sql.constData(), -1, &select.handle, nullptr);
    };
    bool withRowid = !isView && prepare(true) == SQLITE_OK;
    for (int c = 1; withRowid && c < sqlite3_column_count(select.handle); ++c) {
        if (qstricmp(sqlite3_column_name(select.handle, c), "_rowid_") == 0)
            withRowid = false; // a column of that name hides the rowid
    }
    if (!withRowid) {
        sqlite3_finalize(select.handle);
        select.handle = nullptr;
        rc = prepare(false);
        if (rc != SQLITE_OK)
            throw failed(rc);
    }
    const int first = withRowid ? 1 : 0;
    const int columnCount = sqlite3_column_count(select.handle) - first;
    QStringList columns;
    for (int c = 0; c < columnCount; ++c)
        columns << QString::fromUtf8(sqlite3_column_name(select.handle, first + c));

    try {
        TableBuilder table(name, columns, tableMemoryLimit());
        table.setRecordCheck(recordCheck(tableName, maxRows));
        table.reserveRows(maxRows > 0 ? std::min(maxRows, expectedRows) : expectedRows);
        while ((rc = sqlite3_step(select.handle)) == SQLITE_ROW) {
            if (withRowid)
                table.setRowid(sqlite3_column_int64(select.handle, 0));
            for (int column = first; column < first + columnCount; ++column) {
                const int c = column - first;
                switch (sqlite3_column_type(select.handle, column)) {
                case SQLITE_NULL:
                    table.appendNull(c);
                    break;
                case SQLITE_INTEGER:
                    table.appendInteger(c, sqlite3_column_int64(select.handle, column));
                    break;
                case SQLITE_FLOAT:
                    table.appendReal(c, sqlite3_column_double(select.handle, column));
                    break;
                default: {
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(select.handle, column));
                    const size_t bytes = size_t(sqlite3_column_bytes(select.handle, column));
                    if (!budget.spendValueBytes(bytes))
                        throw fail(QStringLiteral("enregistrement %1 : ses valeurs passent %2 Mo, plus que le "
                                                  "fichier n'en occupe sur le disque")
                                       .arg(table.rowCount() + 1)
                                       .arg(budget.valueBytes() >> 20));
                    table.appendUtf8(c, text, bytes);
                }
                }
            }
            table.endRow();
        }
        if (rc == SQLITE_INTERRUPT)
            throw fail(budget.stopped() ? QStringLiteral("lecture interrompue")
                                        : QStringLiteral("elle demande bien plus de calcul que la taille du "
                                                         "fichier ne le justifie"));
        if (rc != SQLITE_DONE) // the record that could not be read is named
            throw fail(QStringLiteral("enregistrement %1 : %2").arg(table.rowCount() + 1).arg(sqliteReason(m_db, rc)));
        return table.finish();
    } catch (const TableTooLarge &tooLarge) {
        throw fail(QStringLiteral("elle occuperait plus de %1 Mo de mémoire, bien plus que la taille du fichier "
                                  "ne le justifie")
                       .arg(tooLarge.limit >> 20));
    }
}
