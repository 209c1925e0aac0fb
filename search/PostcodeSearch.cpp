#include "search/PostcodeSearch.h"

#include "store/DatabaseError.h"

bool isPostcodeText(QStringView typed)
{
    int digits = 0;
    for (const QChar c : typed) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            ++digits;
        else if (!QStringView(u"?*#[]!-").contains(c))
            return false;
    }
    return digits >= 2;
}

namespace {

QString codeText(const Column &column, size_t row)
{
    return column.isNull(row) ? QString() : column.value(row).toString();
}

// The codes of table codes_postaux, or nothing when the file has no such
// table (a user's own insee.mdb).
std::optional<Recordset> postcodeTable(Database &db)
{
    try {
        return db.openRecordset(QStringLiteral("codes_postaux"));
    } catch (const DatabaseError &) {
        return std::nullopt;
    }
}

} // namespace

std::vector<PostcodeMatch> findCommunesByPostcode(Database &db, const Recordset &communes, const LikePattern &pattern)
{
    const int count = communes.recordCount();
    std::vector<QString> found(static_cast<size_t>(count));
    if (const std::optional<Recordset> codes = postcodeTable(db)) {
        const Column &rowids = codes->column(codes->fieldIndex(u"commune"));
        const Column &values = codes->column(codes->fieldIndex(u"codepos"));
        for (size_t i = 0; i < rowids.size(); ++i) {
            const std::optional<int> row = communes.rowOfRowid(rowids.value(i).toLongLong());
            const QString code = codeText(values, i);
            if (row && found[size_t(*row)].isNull() && likeMatch(code, pattern))
                found[size_t(*row)] = code;
        }
    } else {
        const Column &values = communes.column(communes.fieldIndex(u"codepos"));
        for (size_t row = 0; row < size_t(count); ++row) {
            const QString code = codeText(values, row);
            if (!values.isNull(row) && likeMatch(code, pattern))
                found[row] = code;
        }
    }
    std::vector<PostcodeMatch> matches;
    for (int row = 0; row < count; ++row) {
        if (!found[size_t(row)].isNull())
            matches.push_back({row, found[size_t(row)]});
    }
    return matches;
}
