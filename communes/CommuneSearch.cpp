#include "communes/CommuneSearch.h"

namespace {

// The first row from `row` on whose name matches, or `end`. Names are read
// in place from the column's buffer; the pattern's cheap test of length and
// first letter turns most rows away before the full match.
int findName(const Column &names, int row, int end, const LikePattern &pattern)
{
    if (names.isAllText()) {
        const std::uint64_t *cells = names.cells().data();
        const char16_t *chars = names.chars();
        for (; row < end; ++row) {
            const std::uint64_t place = cells[row];
            const char16_t *name = chars + std::uint32_t(place);
            const auto length = qsizetype(place >> 32);
            if (pattern.mayMatch(name, length) && likeMatch(QStringView(name, length), pattern))
                return row;
        }
        return end;
    }
    for (; row < end; ++row) {
        switch (names.kind(size_t(row))) {
        case Column::Kind::Null:
            continue; // a NULL name matches nothing
        case Column::Kind::Text:
            if (likeMatch(names.text(size_t(row)), pattern))
                return row;
            continue;
        default: // a number stored as a name is matched as it reads
            if (likeMatch(names.value(size_t(row)).toString(), pattern))
                return row;
        }
    }
    return end;
}

} // namespace

ScanResult scanForCommune(Recordset &records, const LikePattern &pattern)
{
    const int commune = records.fieldIndex(u"commune");
    const int start = records.position();
    const int end = records.recordCount();
    if (start >= end)
        return {};
    if (start < 0)
        records.valueAt(commune); // throws: no current record
    const int found = findName(records.column(commune), start, end, pattern);
    records.moveTo(found);
    return {found<end, found> start};
}
