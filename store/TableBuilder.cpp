#include "store/TableBuilder.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace {

// Texts up to this length are looked up among those already stored in their
// column; up to this many distinct ones are remembered a column, so that a
// column of unique names costs a bounded dictionary while it loads.
constexpr size_t ShortText = 32;
constexpr size_t MaxRemembered = 1 << 16;
constexpr size_t SoonTold = 4096;
// The rows whose texts tell how much room a column's texts will need.
constexpr size_t TextRoomRows = 1024;

// A text's place is 32 bits of start and 32 of length in the buffer.
constexpr size_t MaxChars = 0xffffffffu;

} // namespace

// The short texts stored so far in one column, found by their content. The
// table of slots holds places in the column's buffer, so it never copies a
// text, and reads through the buffer as it is at the time (it may have
// moved). Open addressing, at most half full: a load looks up every cell.
class TableBuilder::Interner
{
public:
    explicit Interner(const std::vector<char16_t> &chars) : m_chars(chars), m_slots(64, 0) {}

    // The place of an equal text stored before, or 0 with `place` remembered.
    std::uint64_t findOrRemember(std::uint64_t place)
    {
        if (m_givenUp)
            return 0;
        ++m_lookups;
        const QStringView text = textOf(place);
        size_t slot = slotOf(text);
        for (; m_slots[slot] != 0; slot = (slot + 1) & (m_slots.size() - 1)) {
            if (textOf(m_slots[slot]) == text) {
                ++m_hits;
                return m_slots[slot];
            }
        }
        if (m_remembered < MaxRemembered) {
            if (place != 0) { // an empty text at the start, which 0 cannot tell from no text
                m_slots[slot] = place;
                if (2 * ++m_remembered > m_slots.size())
                    grow();
            }
        } else if (m_hits < m_lookups / 2) {
            m_givenUp = true; // a column of mostly unique texts: looking up costs more than it saves
        }
        // A column of names, where few repeat, is told sooner.
        if (m_lookups == SoonTold && m_hits < m_lookups / 8)
            m_givenUp = true;
        return 0;
    }

private:
    QStringView textOf(std::uint64_t place) const
    {
        return QStringView(m_chars.data() + std::uint32_t(place), qsizetype(place >> 32));
    }
    // FNV-1a over the text's units: short texts, hashed at every cell.
    size_t slotOf(QStringView text) const
    {
        std::uint64_t hash = 14695981039346656037u;
        for (const QChar c : text)
            hash = (hash ^ c.unicode()) * 1099511628211u;
        return size_t(hash ^ (hash >> 32)) & (m_slots.size() - 1);
    }
    void grow()
    {
        std::vector<std::uint64_t> old(2 * m_slots.size(), 0);
        old.swap(m_slots);
        for (const std::uint64_t place : old) {
            if (place == 0)
                continue;
            size_t slot = slotOf(textOf(place));
            while (m_slots[slot] != 0)
                slot = (slot + 1) & (m_slots.size() - 1);
            m_slots[slot] = place;
        }
    }

    const std::vector<char16_t> &m_chars;
    std::vector<std::uint64_t> m_slots;
    size_t m_remembered = 0;
    size_t m_lookups = 0;
    size_t m_hits = 0;
    bool m_givenUp = false;
};

TableBuilder::TableBuilder(QString name, QStringList columns, size_t memoryLimit) : m_limit(memoryLimit)
{
    m_table.name = std::move(name);
    m_table.columns = std::move(columns);
    m_table.data.resize(size_t(m_table.columns.size()));
    for (const Column &column : m_table.data)
        m_interners.push_back(std::make_unique<Interner>(column.m_chars));
}

TableBuilder::~TableBuilder() = default;

void TableBuilder::reserveRows(size_t rows)
{
    // Only what the budget allows: a count read from a file may be wrong.
    rows = std::min(rows, m_limit / (sizeof(std::uint64_t) * std::max<size_t>(1, m_table.data.size())));
    m_expectedRows = rows;
    for (Column &column : m_table.data)
        makeRoom(column.m_cells, rows);
}

void TableBuilder::spend(size_t bytes)
{
    m_bytes += bytes;
    if (m_bytes > m_limit)
        throw TableTooLarge{m_limit};
}

// What a block holds is its whole capacity: it is counted before it grows,
// so that no block ever holds more than the limit allows.
template <typename T>
void TableBuilder::makeRoom(std::vector<T> &buffer, size_t more)
{
    const size_t needed = buffer.size() + more;
    if (needed <= buffer.capacity())
        return;
    const size_t grown = std::max(needed, buffer.capacity() + buffer.capacity() / 2);
    spend((grown - buffer.capacity()) * sizeof(T));
    buffer.reserve(grown);
}

// At the first rows of a table whose row count is known, each text buffer
// gets the room those rows promise, and a twentieth more: grown by halves
// instead, a buffer of millions of names is held twice while it moves.
void TableBuilder::reserveTextRoom()
{
    for (Column &column : m_table.data) {
        const auto promised = size_t(double(column.m_chars.size()) / double(m_rows) * double(m_expectedRows) * 1.05);
        // Never more than half of what is left of the budget: the first rows may be long ones.
        if (promised <= column.m_chars.capacity()
            || (promised - column.m_chars.capacity()) * sizeof(char16_t) > (m_limit - m_bytes) / 2)
            continue;
        makeRoom(column.m_chars, promised - column.m_chars.size());
        m_textRoomGiven = true;
    }
}

// Down to what the block holds. A buffer of texts given its room beforehand
// is left as it is when it holds nearly all of it: a block shrunk is copied,
// and held twice while it moves.
template <typename T>
void TableBuilder::trim(std::vector<T> &buffer, bool roomGiven)
{
    const size_t spare = (buffer.capacity() - buffer.size()) * sizeof(T);
    if (spare == 0 || (roomGiven && spare < buffer.capacity() * sizeof(T) / 8))
        return;
    buffer.shrink_to_fit();
    m_bytes -= spare;
}

void TableBuilder::appendCell(int index, Column::Kind kind, std::uint64_t cell)
{
    Column &target = column(index);
    if (!target.m_kinds.empty())
        makeRoom(target.m_kinds, 1);
    else if (target.m_size > 0 && kind != target.m_uniformKind)
        makeRoom(target.m_kinds, target.m_size + 1); // the column turns mixed
    target.appendKind(kind);
    if (kind == Column::Kind::Null && target.m_cells.empty())
        return; // a column of NULLs so far keeps nothing per cell
    makeRoom(target.m_cells, target.m_size - target.m_cells.size());
    if (target.m_cells.size() + 1 < target.m_size)
        target.m_cells.resize(target.m_size - 1);
    target.m_cells.push_back(cell);
}

void TableBuilder::appendNull(int index)
{
    appendCell(index, Column::Kind::Null, 0);
}

void TableBuilder::appendInteger(int index, qint64 value)
{
    appendCell(index, Column::Kind::Integer, std::bit_cast<std::uint64_t>(value));
}

void TableBuilder::appendReal(int index, double value)
{
    appendCell(index, Column::Kind::Real, std::bit_cast<std::uint64_t>(value));
}

void TableBuilder::appendText(int index, QStringView text)
{
    std::vector<char16_t> &chars = column(index).m_chars;
    const size_t start = chars.size();
    const auto length = size_t(text.size());
    if (start + length > MaxChars)
        throw TableTooLarge{m_limit};
    makeRoom(chars, length);
    chars.insert(chars.end(), text.utf16(), text.utf16() + length);
    std::uint64_t place = Column::span(std::uint32_t(start), std::uint32_t(length));
    if (length <= ShortText) {
        if (const std::uint64_t stored = m_interners[size_t(index)]->findOrRemember(place)) {
            chars.resize(start);
            place = stored;
        }
    }
    appendCell(index, Column::Kind::Text, place);
}

void TableBuilder::appendUtf8(int index, const char *text, size_t bytes)
{
    // Plain ASCII, nearly every text of a commune table, widens in place.
    char16_t ascii[ShortText];
    if (bytes <= ShortText) {
        size_t i = 0;
        for (; i < bytes && static_cast<unsigned char>(text[i]) < 0x80; ++i)
            ascii[i] = char16_t(static_cast<unsigned char>(text[i]));
        if (i == bytes) {
            appendText(index, QStringView(ascii, qsizetype(bytes)));
            return;
        }
    }
    appendText(index, QString::fromUtf8(text, qsizetype(bytes)));
}

void TableBuilder::append(int index, const QVariant &value)
{
    if (value.isNull()) {
        appendNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::QString:
        appendText(index, *static_cast<const QString *>(value.constData()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendReal(index, value.toDouble());
        return;
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
        appendInteger(index, value.toLongLong());
        return;
    default:
        break;
    }
    Column &target = column(index);
    spend(size_t(value.toByteArray().size()));
    makeRoom(target.m_others, 1);
    target.m_others.push_back(value);
    appendCell(index, Column::Kind::Other, target.m_others.size() - 1);
}

void TableBuilder::endRow()
{
    ++m_rows;
    if (m_rows == TextRoomRows && m_expectedRows > 2 * TextRoomRows)
        reserveTextRoom();
    // A NULL at the end of a column kept nothing: the row count says it is there.
    for (Column &column : m_table.data)
        Q_ASSERT(column.m_size == m_rows);
    if (m_check)
        m_check(m_table, m_rows - 1);
}

void TableBuilder::setRowid(qint64 rowid)
{
    spend(2 * sizeof(qint64)); // what the vector may hold as it doubles
    m_table.rowids.add(rowid);
}

namespace {

bool holdsText(const Column &column)
{
    for (size_t row = 0; row < column.size(); ++row) {
        if (column.kind(row) == Column::Kind::Text)
            return true;
    }
    return false;
}

} // namespace

TableData TableBuilder::finish()
{
    for (Column &column : m_table.data) {
        if (!column.m_cells.empty() && column.m_cells.size() < column.m_size) {
            makeRoom(column.m_cells, column.m_size - column.m_cells.size());
            column.m_cells.resize(column.m_size);
        }
        trim(column.m_cells);
        trim(column.m_chars, m_textRoomGiven);
        trim(column.m_kinds);
        trim(column.m_others);
    }
    m_interners.clear();
    m_table.rowids.finish();
    // Folded once here, on the thread that reads the table, so that no
    // search ever folds a name.
    // A column without a single text (the links of codes_postaux) names nothing.
    if (const int commune = m_table.columnIndex(u"commune"); commune >= 0 && holdsText(m_table.data[size_t(commune)])) {
        m_table.foldedNames = std::make_shared<const FoldedNames>(m_table.data[size_t(commune)]);
        spend(m_table.foldedNames->memoryBytes()); // held to the same limit as the table
    }
    m_table.memoryLimit = m_limit;
    return std::move(m_table);
}
