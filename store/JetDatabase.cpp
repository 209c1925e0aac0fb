#include "store/JetDatabase.h"

#include "store/DatabaseError.h"
#include "store/TableBuilder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUuid>
#include <QtEndian>

#include <mdbtools.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

// A user table listed in the catalog.
struct UserTable
{
    QString name;
    unsigned long definitionPage = 0;
};

} // namespace

// libmdb reads the file through its own handle; the catalog of user tables is
// read once, at opening (see readCatalog).
struct JetDatabase::Handle
{
    MdbHandle *mdb = nullptr;
    std::vector<UserTable> tables;

    ~Handle() { mdb_close(mdb); }
};

namespace {

// The top bits of a row's offset in its page's row table are flags: a deleted
// row (which includes a row moved elsewhere: its new copy is also marked
// deleted, so that a page scan sees it once), and a moved row, whose slot then
// holds where the row now lives.
constexpr int RowOffsetMask = 0x1fff;
constexpr int DeletedRowFlag = 0x8000;
constexpr int MovedRowFlag = 0x4000;
// A moved row may have moved again; a chain longer than this is a loop.
constexpr int MaxRowMoves = 8;

// Access allows 255 columns and 32 indexes a table; libmdb cracks rows into a
// fixed array of MDB_MAX_COLS fields. Larger counts mean a damaged definition.
constexpr unsigned MaxIndexes = 256;

// The catalog, MSysObjects, is a table whose definition is on page 2; a file
// needs at least that many pages.
constexpr unsigned long CatalogPage = 2;
constexpr qint64 MinimumPages = CatalogPage + 1;

// libmdb tells of the damage it meets in English warnings of its own on the
// standard error; the program's French message says all the user needs. The
// error output is sent to /dev/null while libmdb reads (for the whole
// process: whatever another thread writes then is lost with it).
class LibmdbSilence
{
public:
    LibmdbSilence()
    {
        const std::lock_guard lock(s_mutex);
        if (s_depth++ > 0)
            return;
        std::fflush(stderr);
        s_saved = ::dup(STDERR_FILENO);
        if (s_saved < 0)
            return; // closed: nothing is shown anyway
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
    }
    ~LibmdbSilence()
    {
        const std::lock_guard lock(s_mutex);
        if (--s_depth > 0 || s_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(s_saved, STDERR_FILENO);
        ::close(s_saved);
        s_saved = -1;
    }
    LibmdbSilence(const LibmdbSilence &) = delete;
    LibmdbSilence &operator=(const LibmdbSilence &) = delete;

private:
    static inline std::mutex s_mutex;
    static inline int s_depth = 0;
    static inline int s_saved = -1;
};

// A damaged spot found while reading a table; the caller names the table.
struct DamagedData
{
    QString why;
};

DatabaseError openError(const QString &path, const QString &why)
{
    return DatabaseError(QStringLiteral("Impossible d'ouvrir la base « %1 » : %2.").arg(path, why));
}

// Cheap checks that keep libmdb away from files it could misread: the engine
// signature and version on the first page, and a size made of whole pages.
void checkFileShape(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw openError(path, QStringLiteral("fichier introuvable"));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw openError(path, QStringLiteral("le fichier ne peut pas être lu"));

    const QByteArray head = file.read(0x15);
    if (head.size() < 0x15 || !hasJetSignature(head))
        throw openError(path, QStringLiteral("ce n'est pas une base Access"));

    const int version = quint8(head.at(0x14));
    if (version > MDB_VER_ACCDB_2019)
        throw openError(path, QStringLiteral("version de format Access inconnue (%1)").arg(version));
    const qint64 pageSize = version == MDB_VER_JET3 ? 2048 : 4096;
    const qint64 size = file.size();
    if (size % pageSize != 0)
        throw openError(path, QStringLiteral("fichier tronqué ou endommagé (%1 octets, pas un nombre "
                                             "entier de pages de %2 octets)")
                                  .arg(size)
                                  .arg(pageSize));
    if (size < MinimumPages * pageSize)
        throw openError(path, QStringLiteral("fichier tronqué (%1 octets, trop court pour contenir "
                                             "le catalogue des tables)")
                                  .arg(size));
}

struct TableDefinitionDeleter
{
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};
using TableDefinition = std::unique_ptr<MdbTableDef, TableDefinitionDeleter>;

// The table's definition and columns, refused when their counts could not
// come from Access (they size libmdb's arrays and offsets).
TableDefinition readDefinition(MdbCatalogEntry &entry)
{
    TableDefinition table(mdb_read_table(&entry));
    if (!table)
        throw DamagedData{QStringLiteral("définition illisible")};
    // libmdb reads the first byte of the map of the table's pages unchecked.
    if (table->num_cols == 0 || table->num_cols > MDB_MAX_COLS || table->num_var_cols > table->num_cols
        || table->num_real_idxs > MaxIndexes || !table->usage_map || table->map_sz == 0)
        throw DamagedData{QStringLiteral("définition incohérente")};
    if (!mdb_read_columns(table.get()) || table->columns->len != table->num_cols)
        throw DamagedData{QStringLiteral("colonnes illisibles")};
    return table;
}

// Numbers are taken from their stored bytes, never through libmdb's text,
// which follows the C library's current locale (a decimal comma under French)
// and shows binary noise (0.90109 as 0.9010899999999999).
double storedDouble(const unsigned char *bytes)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes));
}

// A single-precision number as the double whose shortest decimal form is the
// same, so that 4.92582f reads 4.92582 and not 4.925819873809814.
double singleAsDouble(const unsigned char *bytes)
{
    const float single = std::bit_cast<float>(qFromLittleEndian<quint32>(bytes));
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, single);
    double value = single;
    std::from_chars(text, written.ptr, value);
    return value;
}

// Access keeps a date as days since 30 December 1899, the fraction being the
// time of day whatever the sign of the day number.
QVariant dateValue(double days)
{
    constexpr double FirstDay = -657434; // 1 January 100
    constexpr double EndDay = 2958466;   // 1 January 10000
    if (!(days >= FirstDay && days < EndDay))
        return days;
    const double whole = std::trunc(days);
    qint64 seconds = std::llround(std::abs(days - whole) * 86400.0);
    QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    if (seconds >= 86400) {
        date = date.addDays(1);
        seconds = 0;
    }
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds)));
}

QVariant guidValue(const unsigned char *bytes)
{
    const QUuid guid(qFromLittleEndian<quint32>(bytes), qFromLittleEndian<quint16>(bytes + 4),
                     qFromLittleEndian<quint16>(bytes + 6), bytes[8], bytes[9], bytes[10], bytes[11], bytes[12],
                     bytes[13], bytes[14], bytes[15]);
    return guid.toString();
}

// Text and memo come from libmdb as UTF-8, whatever the locale: it converts
// with iconv between named character sets.
QString ownedText(char *text)
{
    const QString result = QString::fromUtf8(text ? text : "");
    g_free(text);
    return result;
}

// Reads the rows of one table, page by page in the order of the table's map
// of pages, as libmdb's own reader does.
class RowReader
{
public:
    RowReader(MdbHandle *mdb, MdbTableDef *table, const std::atomic<bool> &stop)
        : m_mdb(mdb), m_table(table), m_stop(stop)
    {
        for (guint i = 0; i < table->num_cols; ++i)
            m_columns.push_back(static_cast<const MdbColumn *>(g_ptr_array_index(table->columns, i)));
    }

    // Appends the rows of the table to data: all of them, or the first
    // maxRows when it is not 0.
    void read(TableBuilder &data, size_t maxRows);

private:
    bool readSlot(int slot, guint32 page, TableBuilder &data);
    void readRowAt(int start, size_t size, TableBuilder &data);
    QVariant fieldValue(const MdbColumn &column, const MdbField &field);
    QString text(const unsigned char *bytes, int size);
    QString memo(const unsigned char *bytes, int size);

    MdbHandle *m_mdb;
    MdbTableDef *m_table;
    const std::atomic<bool> &m_stop;
    std::vector<const MdbColumn *> m_columns;
    std::vector<char> m_textBuffer;
};

void RowReader::read(TableBuilder &data, size_t maxRows)
{
    data.reserveRows(maxRows > 0 ? std::min<size_t>(maxRows, m_table->num_rows) : m_table->num_rows);
    size_t rows = 0;
    mdb_rewind_table(m_table);
    while (mdb_read_next_dpg(m_table)) {
        if (m_stop)
            throw DamagedData{QStringLiteral("lecture interrompue")};
        const guint32 page = m_table->cur_phys_pg;
        const int slotCount = mdb_get_int16(m_mdb->pg_buf, m_mdb->fmt->row_count_offset);
        for (int slot = 0; slot < slotCount; ++slot) {
            rows += readSlot(slot, page, data);
            if (maxRows > 0 && rows == maxRows)
                return;
        }
    }
    // A truncated or damaged file loses pages: fewer rows than the definition
    // counts. More is possible after Access was stopped before it updated the count.
    if (rows < m_table->num_rows)
        throw DamagedData{QStringLiteral("%1 enregistrements lus sur %2").arg(rows).arg(m_table->num_rows)};
}

// Appends the row in one slot of the current page; false for a deleted row.
bool RowReader::readSlot(int slot, guint32 page, TableBuilder &data)
{
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(m_mdb, slot, &start, &size) != 0)
        throw DamagedData{QStringLiteral("table des lignes endommagée (page %1)").arg(page)};
    if (start & DeletedRowFlag)
        return false;
    if (!(start & MovedRowFlag)) {
        readRowAt(start & RowOffsetMask, size, data);
        return true;
    }

    // The slot holds the row number (one byte) and page (three bytes) of the
    // row's new place.
    for (int move = 0; move < MaxRowMoves && (start & MovedRowFlag); ++move) {
        const unsigned char *where = m_mdb->pg_buf + (start & RowOffsetMask);
        if (size < 4)
            throw DamagedData{QStringLiteral("ligne déplacée illisible (page %1)").arg(page)};
        const int row = where[0];
        const unsigned long target = where[1] | where[2] << 8 | where[3] << 16;
        if (mdb_read_pg(m_mdb, target) != m_mdb->fmt->pg_size || m_mdb->pg_buf[0] != MDB_PAGE_DATA
            || quint32(mdb_get_int32(m_mdb->pg_buf, 4)) != m_table->entry->table_pg
            || mdb_find_row(m_mdb, row, &start, &size) != 0)
            throw DamagedData{QStringLiteral("ligne déplacée introuvable (page %1)").arg(page)};
    }
    if (start & MovedRowFlag)
        throw DamagedData{QStringLiteral("ligne déplacée introuvable (page %1)").arg(page)};
    readRowAt(start & RowOffsetMask, size, data);
    // Back to the page being scanned.
    if (mdb_read_pg(m_mdb, page) != m_mdb->fmt->pg_size)
        throw DamagedData{QStringLiteral("page %1 illisible").arg(page)};
    return true;
}

// A damaged field throws part way through a row; the whole table is then
// given up, so a half-appended row is never seen.
void RowReader::readRowAt(int start, size_t size, TableBuilder &data)
{
    MdbField fields[MDB_MAX_COLS];
    if (size == 0 || mdb_crack_row(m_table, start, size, fields) < 0)
        throw DamagedData{QStringLiteral("enregistrement illisible (page %1)").arg(m_mdb->cur_pg)};
    for (size_t i = 0; i < m_columns.size(); ++i)
        data.append(int(i), fieldValue(*m_columns[i], fields[i]));
    data.endRow();
}

QVariant RowReader::fieldValue(const MdbColumn &column, const MdbField &field)
{
    // A Yes/No value is kept in the row's null bit; Access counts Yes as -1.
    if (column.col_type == MDB_BOOL)
        return qlonglong(field.is_null ? 0 : -1);
    if (field.is_null)
        return QVariant();
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > m_mdb->fmt->pg_size)
        throw DamagedData{QStringLiteral("champ %1 hors de sa page").arg(QString::fromUtf8(column.name))};
    const unsigned char *bytes = m_mdb->pg_buf + field.start;
    const auto require = [&](int size) {
        if (field.siz < size)
            throw DamagedData{QStringLiteral("champ %1 trop court").arg(QString::fromUtf8(column.name))};
    };

    switch (column.col_type) {
    case MDB_BYTE:
        require(1);
        return qlonglong(bytes[0]);
    case MDB_INT:
        require(2);
        return qlonglong(qFromLittleEndian<qint16>(bytes));
    case MDB_LONGINT:
    case MDB_COMPLEX:
        require(4);
        return qlonglong(qFromLittleEndian<qint32>(bytes));
    case MDB_MONEY: // a whole number of ten-thousandths
        require(8);
        return double(qFromLittleEndian<qint64>(bytes)) / 10000.0;
    case MDB_FLOAT:
        require(4);
        return singleAsDouble(bytes);
    case MDB_DOUBLE:
        require(8);
        return storedDouble(bytes);
    case MDB_DATETIME:
        require(8);
        return dateValue(storedDouble(bytes));
    case MDB_TEXT:
        return text(bytes, field.siz);
    case MDB_MEMO:
        return memo(bytes, field.siz);
    case MDB_REPID:
        require(16);
        return guidValue(bytes);
    case MDB_NUMERIC: // libmdb writes the decimal digits itself, with a dot
        require(17);
        return ownedText(mdb_numeric_to_string(m_mdb, field.start, column.col_scale, column.col_prec));
    default: // binary data and OLE objects: the bytes kept in the row
        return QByteArray(reinterpret_cast<const char *>(bytes), field.siz);
    }
}

QString RowReader::text(const unsigned char *bytes, int size)
{
    if (size == 0)
        return QStringLiteral("");
    // Each stored byte gives at most three bytes of UTF-8.
    m_textBuffer.resize(size_t(size) * 3 + 4);
    const int length = mdb_unicode2ascii(m_mdb, reinterpret_cast<const char *>(bytes), size_t(size),
                                         m_textBuffer.data(), m_textBuffer.size());
    return QString::fromUtf8(m_textBuffer.data(), length);
}

// A memo opens with a header: its length, flags in the top byte, then the
// place (page and row) of its text. With flag 0x80 the text follows the
// header in the row; with 0x40 it is the row at that place; without flags it
// is a chain of rows, each opening with the place of the next. libmdb follows
// a chain without noticing that it loops back on itself, and then never
// returns: the chain is followed here, each row once, up to the stated length.
QString RowReader::memo(const unsigned char *bytes, int size)
{
    if (size < MDB_MEMO_OVERHEAD)
        return QStringLiteral("");
    const quint32 header = qFromLittleEndian<quint32>(bytes);
    if (header & 0x80000000)
        return text(bytes + MDB_MEMO_OVERHEAD, size - MDB_MEMO_OVERHEAD);

    const auto damaged = [this] { return DamagedData{QStringLiteral("mémo illisible (page %1)").arg(m_mdb->cur_pg)}; };
    // Rows are found through libmdb's second page buffer: the page being
    // scanned stays in the first.
    const auto findRow = [&](quint32 place) {
        void *page = nullptr;
        int start = 0;
        size_t length = 0;
        if (mdb_find_pg_row(m_mdb, int(place), &page, &start, &length) != 0)
            throw damaged();
        return QByteArray(static_cast<const char *>(page) + start, qsizetype(length));
    };
    quint32 place = qFromLittleEndian<quint32>(bytes + 4);
    if (header & 0x40000000) {
        const QByteArray row = findRow(place);
        return text(reinterpret_cast<const unsigned char *>(row.constData()), int(row.size()));
    }
    if (header & 0xff000000)
        throw damaged();

    const qsizetype length = header & 0x00ffffff;
    QByteArray stored;
    QSet<quint32> visited;
    do {
        if (visited.contains(place))
            throw damaged();
        visited.insert(place);
        const QByteArray row = findRow(place);
        if (row.size() < 4 || stored.size() + row.size() - 4 > length)
            throw damaged();
        place = qFromLittleEndian<quint32>(row.constData());
        stored.append(row.constData() + 4, row.size() - 4);
    } while (place != 0);
    if (stored.size() != length)
        throw damaged();
    return text(reinterpret_cast<const unsigned char *>(stored.constData()), int(stored.size()));
}

TableData readTableData(MdbHandle *mdb, MdbCatalogEntry &entry, size_t maxRows, size_t memoryLimit,
                        const std::atomic<bool> &stop, RecordCheck check = {})
{
    const TableDefinition table = readDefinition(entry);
    QStringList columns;
    for (guint i = 0; i < table->num_cols; ++i)
        columns << QString::fromUtf8(static_cast<const MdbColumn *>(g_ptr_array_index(table->columns, i))->name);
    TableBuilder data(QString::fromUtf8(entry.object_name), columns, memoryLimit);
    data.setRecordCheck(std::move(check));
    try {
        RowReader(mdb, table.get(), stop).read(data, maxRows);
    } catch (const TableTooLarge &tooLarge) {
        throw DamagedData{QStringLiteral("elle occuperait plus de %1 Mo de mémoire, bien plus que la taille du "
                                         "fichier ne le justifie")
                              .arg(tooLarge.limit >> 20)};
    }
    return data.finish();
}

MdbCatalogEntry catalogEntry(MdbHandle *mdb, const QString &name, unsigned long definitionPage)
{
    MdbCatalogEntry entry{};
    entry.mdb = mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = definitionPage;
    qstrncpy(entry.object_name, name.toUtf8().constData(), sizeof entry.object_name);
    return entry;
}

// The user tables listed in MSysObjects. It is read with the same checked row
// reader as the data rather than with libmdb's catalog reader, which also
// decodes every object's property blobs: less of a damaged file gets parsed.
std::vector<UserTable> readCatalog(MdbHandle *mdb, size_t memoryLimit)
{
    MdbCatalogEntry entry = catalogEntry(mdb, QStringLiteral("MSysObjects"), CatalogPage);
    const std::atomic<bool> never = false;
    const TableData catalog = readTableData(mdb, entry, 0, memoryLimit, never);
    const int id = catalog.columnIndex(u"Id");
    const int name = catalog.columnIndex(u"Name");
    const int type = catalog.columnIndex(u"Type");
    const int flags = catalog.columnIndex(u"Flags");
    if (id < 0 || name < 0 || type < 0 || flags < 0)
        throw DamagedData{QStringLiteral("colonnes du catalogue absentes")};

    // A table's Id holds its definition page in its low three bytes; system
    // tables carry flags 0x80000002.
    constexpr qlonglong SystemTableFlags = 0x80000002;
    std::vector<UserTable> tables;
    for (size_t row = 0; row < catalog.rowCount(); ++row) {
        if ((catalog.cell(row, type).toLongLong() & 0x7f) != MDB_TABLE
            || (catalog.cell(row, flags).toLongLong() & SystemTableFlags))
            continue;
        tables.push_back(
            {catalog.cell(row, name).toString(), (unsigned long)(catalog.cell(row, id).toLongLong() & 0xffffff)});
    }
    return tables;
}

} // namespace

bool hasJetSignature(const QByteArray &head)
{
    const QByteArray engine = head.mid(4, 16);
    return head.size() >= 20 && head.at(0) == 0
           && (engine == QByteArrayLiteral("Standard Jet DB\0") || engine == QByteArrayLiteral("Standard ACE DB\0"));
}

JetDatabase::JetDatabase(const QString &path) : Database(path), m_handle(std::make_unique<Handle>())
{
    checkFileShape(path);
    const LibmdbSilence silence;
    // An absolute name: given a name it cannot find, libmdb searches $MDBPATH.
    // MDB_NOFLAGS opens the file for reading only.
    m_handle->mdb = mdb_open(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(), MDB_NOFLAGS);
    if (!m_handle->mdb)
        throw openError(path, QStringLiteral("format non reconnu par libmdb"));
    try {
        m_handle->tables = readCatalog(m_handle->mdb, tableMemoryLimit());
    } catch (const DamagedData &damage) {
        throw openError(path, QStringLiteral("catalogue des tables illisible (%1)").arg(damage.why));
    }
}

JetDatabase::~JetDatabase()
{
    stopLoading();
}

void JetDatabase::releaseFile()
{
    m_handle.reset();
}

TableData JetDatabase::readTable(const QString &tableName, size_t maxRows, const std::atomic<bool> &stop)
{
    const auto found = std::find_if(m_handle->tables.begin(), m_handle->tables.end(), [&](const UserTable &table) {
        return table.name.compare(tableName, Qt::CaseInsensitive) == 0;
    });
    if (found == m_handle->tables.end())
        throw DatabaseError(QStringLiteral("La table %1 est absente de « %2 ».").arg(tableName, path()));

    MdbCatalogEntry entry = catalogEntry(m_handle->mdb, found->name, found->definitionPage);
    const LibmdbSilence silence;
    try {
        return readTableData(m_handle->mdb, entry, maxRows, tableMemoryLimit(), stop, recordCheck(tableName, maxRows));
    } catch (const DamagedData &damage) {
        throw DatabaseError(
            QStringLiteral("Lecture de la table %1 de « %2 » impossible : %3.").arg(tableName, path(), damage.why));
    }
}
