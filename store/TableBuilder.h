#pragma once

#include "store/TableData.h"

#include <memory>

// Thrown by TableBuilder when a table would hold more memory than allowed.
struct TableTooLarge
{
    size_t limit;
};

// Fills a TableData one row at a time, each cell appended to its column in
// order. Short texts that repeat down a column (département names, postal
// codes) are stored once. The memory the table keeps is counted as it grows,
// block by block as each is allocated, and held to a limit, so that no file
// can make the program hold far more than its rows and columns need.
class TableBuilder
{
public:
    TableBuilder(QString name, QStringList columns, size_t memoryLimit);
    ~TableBuilder();
    TableBuilder(const TableBuilder &) = delete;
    TableBuilder &operator=(const TableBuilder &) = delete;

    int columnCount() const { return int(m_table.columns.size()); }
    size_t rowCount() const { return m_rows; }
    // Room for this many rows, when the count is known beforehand.
    void reserveRows(size_t rows);
    // Run on each row as soon as it is closed.
    void setRecordCheck(RecordCheck check) { m_check = std::move(check); }

    void appendNull(int column);
    void appendInteger(int column, qint64 value);
    void appendReal(int column, double value);
    void appendText(int column, QStringView text);
    void appendUtf8(int column, const char *text, size_t bytes);
    // Any value: null, text and numbers as above, other types kept aside.
    void append(int column, const QVariant &value);

    // The SQLite rowid of the row being appended, for the tables that have one.
    void setRowid(qint64 rowid);

    // Closes a row of exactly one cell per column and checks it; throws
    // TableTooLarge, or what the record check throws.
    void endRow();

    // The table, with its blocks trimmed to what they hold.
    TableData finish();

private:
    class Interner;

    Column &column(int index) { return m_table.data[size_t(index)]; }
    void appendCell(int column, Column::Kind kind, std::uint64_t cell);
    void spend(size_t bytes);
    void reserveTextRoom();
    template <typename T>
    void makeRoom(std::vector<T> &buffer, size_t more);
    template <typename T>
    void trim(std::vector<T> &buffer, bool roomGiven = false);

    TableData m_table;
    std::vector<std::unique_ptr<Interner>> m_interners;
    size_t m_rows = 0;
    size_t m_expectedRows = 0; // from reserveRows: 0 when not told
    bool m_textRoomGiven = false;
    size_t m_bytes = 0;
    size_t m_limit;
    RecordCheck m_check;
};
