#include "search/OtherNameSearch.h"

#include "names/CommuneSearch.h"
#include "store/DatabaseError.h"

#include <algorithm>

namespace {

QString textAt(const Column &column, int row)
{
    return column.isNull(size_t(row)) ? QString() : column.value(size_t(row)).toString();
}

int columnOrMissing(const Recordset &records, const char16_t *name)
{
    try {
        return records.fieldIndex(name);
    } catch (const DatabaseError &) {
        return -1;
    }
}

} // namespace

OtherNameTable::OtherNameTable(Database &db, const QString &table)
{
    try {
        Recordset rows = db.openRecordset(table);
        m_names = rows.fieldIndex(u"commune");
        m_kinds = rows.fieldIndex(u"nature");
        m_targets = rows.fieldIndex(u"actuelle");
        m_codes = columnOrMissing(rows, u"codepos");
        m_steps = columnOrMissing(rows, u"etapes");
        m_rows = std::move(rows);
    } catch (const DatabaseError &) {
        // No such table, or not one that this program wrote.
    }
}

void OtherNameTable::buildIndex()
{
    if (m_rows && !m_index)
        m_index.emplace(*m_rows);
}

std::vector<int> OtherNameTable::matchingRows(const Query &query) const
{
    if (!m_rows)
        return {};
    return m_index && query.isPlainName() ? m_index->find(query) : findAllCommunes(*m_rows, query.pattern());
}

bool OtherNameTable::anyMatches(const Query &query) const
{
    return !matchingRows(query).empty();
}

std::vector<Match> OtherNameTable::find(const Recordset &communes, const Query &query) const
{
    const std::vector<int> found = matchingRows(query);
    if (found.empty())
        return {};
    const Column &names = m_rows->column(m_names);
    const Column &kinds = m_rows->column(m_kinds);
    const Column &targets = m_rows->column(m_targets);
    std::vector<Match> matches;
    for (const int row : found) {
        bool isNumber = false;
        const std::optional<int> commune = communes.rowOfRowid(targets.value(size_t(row)).toLongLong(&isNumber));
        if (!isNumber || !commune)
            continue;
        const QString kind = textAt(kinds, row);
        std::vector<HistoryStep> steps =
            m_steps >= 0 ? parseHistorySteps(textAt(m_rows->column(m_steps), row)) : std::vector<HistoryStep>{};
        Match match{*commune, otherNameKind(kind), {}, {textAt(names, row), kind, std::move(steps)}, yearOfKind(kind)};
        if (m_codes >= 0)
            match.code = textAt(m_rows->column(m_codes), row);
        matches.push_back(std::move(match));
    }
    // The shipped table lists them in the order of the communes already.
    std::stable_sort(matches.begin(), matches.end(), [](const Match &a, const Match &b) { return a.row < b.row; });
    return matches;
}
