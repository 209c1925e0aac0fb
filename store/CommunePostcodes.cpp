#include "store/CommunePostcodes.h"

#include "store/Database.h"
#include "store/DatabaseError.h"

CommunePostcodes CommunePostcodes::read(Database &db, int communeCount)
{
    CommunePostcodes postcodes;
    postcodes.m_codes.resize(size_t(std::max(communeCount, 0)));
    try {
        const Recordset codes = db.openRecordset(QStringLiteral("codes_postaux"));
        const Column &rowids = codes.column(codes.fieldIndex(u"commune"));
        const Column &texts = codes.column(codes.fieldIndex(u"codepos"));
        for (size_t i = 0; i < rowids.size(); ++i) {
            const qlonglong rowid = rowids.value(i).toLongLong();
            if (rowid >= 1 && rowid <= qlonglong(postcodes.m_codes.size()) && !texts.isNull(i))
                postcodes.m_codes[size_t(rowid - 1)] << texts.value(i).toString();
        }
    } catch (const DatabaseError &) {
        // No such table: each commune has its codepos alone.
    }
    return postcodes;
}

QStringList CommunePostcodes::of(int row, const QString &codepos) const
{
    if (row < 0 || size_t(row) >= m_codes.size() || m_codes[size_t(row)].isEmpty())
        return codepos.isEmpty() ? QStringList() : QStringList{codepos};
    QStringList codes = m_codes[size_t(row)];
    // The commune's own code leads, as the record shows it when no code matched.
    if (const qsizetype at = codes.indexOf(codepos); at > 0)
        codes.move(at, 0);
    else if (at < 0 && !codepos.isEmpty())
        codes.prepend(codepos);
    return codes;
}

QString otherPostcodesText(const QStringList &codes)
{
    return codes.size() > 1 ? QStringLiteral("(+%1)").arg(codes.size() - 1) : QString();
}
