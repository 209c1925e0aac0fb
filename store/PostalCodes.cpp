#include "store/PostalCodes.h"

#include "store/DatabaseError.h"

PostalCodes::PostalCodes(Database &db, const Recordset &communes)
    : m_communes(communes), m_codepos(communes.fieldIndex(u"codepos"))
{
    try {
        const Recordset codes = db.openRecordset(QStringLiteral("codes_postaux"));
        const Column &rowids = codes.column(codes.fieldIndex(u"commune"));
        const Column &texts = codes.column(codes.fieldIndex(u"codepos"));
        m_listed.resize(size_t(communes.recordCount()));
        for (size_t i = 0; i < rowids.size(); ++i) {
            const std::optional<int> row = communes.rowOfRowid(rowids.value(i).toLongLong());
            if (row && !texts.isNull(i))
                m_listed[size_t(*row)] << texts.value(i).toString();
        }
    } catch (const DatabaseError &) {
        m_listed.clear(); // a user's own file: its codepos alone
    }
}

QStringList PostalCodes::of(int row) const
{
    if (row < 0 || row >= m_communes.recordCount())
        return {};
    if (size_t(row) < m_listed.size() && !m_listed[size_t(row)].isEmpty())
        return m_listed[size_t(row)];
    const Column &codepos = m_communes.column(m_codepos);
    return codepos.isNull(size_t(row)) ? QStringList() : QStringList{codepos.value(size_t(row)).toString()};
}
