#pragma once

#include "store/Recordset.h"

#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

class Query;

// The names of a whole table (its column commune) by their text, for the
// many searches of a batch: a search for a plain name (no wildcard) is then a
// look-up instead of a scan, and finds exactly the rows the scan finds
// (CommuneSearch.h): a name whose folded form is the folded text, or whose
// stored form is the text as typed.
//
// The index holds rows, not texts: it reads each row's name where the table
// keeps it, so that it costs ten to twenty bytes a commune beside the table.
class NameIndex
{
public:
    explicit NameIndex(const Recordset &records);

    // The rows, in table order, whose name a plain name finds.
    std::vector<int> find(const Query &query) const;

private:
    enum class Form { Stored, Folded };

    // The rows by the hash of one form of their name, open addressing: a
    // slot holds a row + 1 (0: empty) and a byte of the hash, so that most
    // rows of other names are passed without reading their text.
    struct Slots
    {
        std::vector<std::uint32_t> rows;
        std::vector<std::uint8_t> tags;
        size_t mask = 0;
    };

    QStringView text(Form form, int row) const;
    void fill(Slots &table, Form form, const std::vector<int> &rows);
    std::vector<int> rowsOf(const Slots &table, Form form, QStringView wanted) const;

    Recordset m_records; // keeps the buffers the names are read from
    const Column *m_names = nullptr;
    const FoldedNames *m_folded = nullptr; // null: folded forms made here, or the names themselves
    bool m_sameAsNames = false;
    // The few forms no buffer holds: a number stored as a name, a name
    // folded here when the table has no folded forms.
    std::unordered_map<int, QString> m_madeStored;
    std::unordered_map<int, QString> m_madeFolded;
    Slots m_byStored;
    Slots m_byFolded; // empty when every name is its own folded form
};
