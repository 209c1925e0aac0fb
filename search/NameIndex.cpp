#include "search/NameIndex.h"

#include "search/Query.h"
#include "store/FoldedNames.h"
#include "store/NameFolding.h"

#include <QHash>
#include <algorithm>
#include <bit>

namespace {

size_t hashOf(QStringView text)
{
    return qHash(text, size_t(0));
}

// A byte of the hash that the slot's place does not already tell.
std::uint8_t tagOf(size_t hash)
{
    return std::uint8_t(hash >> (sizeof(size_t) * 8 - 8));
}

} // namespace

NameIndex::NameIndex(const Recordset &records) : m_records(records)
{
    m_names = &m_records.column(m_records.fieldIndex(u"commune"));
    const FoldedNames *folded = m_records.foldedNames();
    m_sameAsNames = m_names->isAllText() && (!folded || folded->sameAsNames());
    if (folded && !folded->sameAsNames())
        m_folded = folded;
    std::vector<int> named;
    named.reserve(m_names->size());
    for (size_t row = 0; row < m_names->size(); ++row) {
        if (m_names->isNull(row))
            continue; // a NULL name matches nothing
        named.push_back(int(row));
        // A number stored as a name is matched as it reads.
        if (m_names->kind(row) != Column::Kind::Text)
            m_madeStored.emplace(int(row), m_names->value(row).toString());
        if (!m_sameAsNames && !m_folded)
            m_madeFolded.emplace(int(row), foldName(text(Form::Stored, int(row))));
    }
    fill(m_byStored, Form::Stored, named);
    if (!m_sameAsNames)
        fill(m_byFolded, Form::Folded, named);
}

QStringView NameIndex::text(Form form, int row) const
{
    if (form == Form::Folded && !m_sameAsNames) {
        if (!m_folded)
            return m_madeFolded.at(row);
        const std::uint64_t place = m_folded->cells()[row];
        return QStringView(m_folded->chars() + std::uint32_t(place), qsizetype(place >> 32));
    }
    if (m_names->kind(size_t(row)) == Column::Kind::Text)
        return m_names->text(size_t(row));
    return m_madeStored.at(row);
}

void NameIndex::fill(Slots &table, Form form, const std::vector<int> &rows)
{
    // Half full at most, so that a look-up reads few table.
    const size_t size = std::bit_ceil(std::max<size_t>(16, rows.size() * 2));
    table.rows.assign(size, 0);
    table.tags.assign(size, 0);
    table.mask = size - 1;
    // Rows go in in table order, and a row of the same name lands further
    // on: a look-up meets them in table order.
    for (const int row : rows) {
        const size_t hash = hashOf(text(form, row));
        size_t at = hash & table.mask;
        while (table.rows[at] != 0)
            at = (at + 1) & table.mask;
        table.rows[at] = std::uint32_t(row) + 1;
        table.tags[at] = tagOf(hash);
    }
}

std::vector<int> NameIndex::rowsOf(const Slots &table, Form form, QStringView wanted) const
{
    std::vector<int> rows;
    if (table.rows.empty())
        return rows;
    const size_t hash = hashOf(wanted);
    const std::uint8_t tag = tagOf(hash);
    for (size_t at = hash & table.mask; table.rows[at] != 0; at = (at + 1) & table.mask) {
        const int row = int(table.rows[at] - 1);
        if (table.tags[at] == tag && text(form, row) == wanted)
            rows.push_back(row);
    }
    return rows;
}

std::vector<int> NameIndex::find(const Query &query) const
{
    const Slots &folded = m_sameAsNames ? m_byStored : m_byFolded;
    std::vector<int> rows = rowsOf(folded, m_sameAsNames ? Form::Stored : Form::Folded, query.folded());
    if (query.folded() == query.typed())
        return rows;
    const std::vector<int> asTyped = rowsOf(m_byStored, Form::Stored, query.typed());
    if (!asTyped.empty()) {
        std::vector<int> both;
        std::set_union(rows.begin(), rows.end(), asTyped.begin(), asTyped.end(), std::back_inserter(both));
        rows = std::move(both);
    }
    return rows;
}
