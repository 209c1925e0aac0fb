#include "search/OtherNameSearch.h"

#include "search/CommuneSearch.h"
#include "store/DatabaseError.h"

#include <algorithm>

namespace {

QString textAt(const Column &column, int row)
{
    return column.isNull(size_t(row)) ? QString() : column.value(size_t(row)).toString();
}

} // namespace

std::vector<OtherNameMatch> findCommunesByOtherName(Database &db, const Recordset &communes, const NamePattern &pattern,
                                                    const QString &table)
{
    std::vector<OtherNameMatch> matches;
    try {
        const Recordset others = db.openRecordset(table);
        const Column &names = others.column(others.fieldIndex(u"commune"));
        const Column &kinds = others.column(others.fieldIndex(u"nature"));
        const Column &targets = others.column(others.fieldIndex(u"actuelle"));
        const Column *codes = nullptr;
        try {
            codes = &others.column(others.fieldIndex(u"codepos"));
        } catch (const DatabaseError &) {
            // The history names no postal code.
        }
        for (const int row : findAllCommunes(others, pattern)) {
            bool isNumber = false;
            const std::optional<int> commune = communes.rowOfRowid(targets.value(size_t(row)).toLongLong(&isNumber));
            if (!isNumber || !commune)
                continue;
            matches.push_back(
                {*commune, {textAt(names, row), textAt(kinds, row)}, codes ? textAt(*codes, row) : QString()});
        }
    } catch (const DatabaseError &) {
        return {}; // no such table, or not one that this program wrote
    }
    // The shipped table lists them in the order of the communes already.
    std::stable_sort(matches.begin(), matches.end(),
                     [](const OtherNameMatch &a, const OtherNameMatch &b) { return a.row < b.row; });
    return matches;
}
