#include "store/PostalCodes.h"

#include "store/DatabaseError.h"

PostalCodes::PostalCodes(Database &db, const Recordset &communes, bool candidates)
    : m_communes(communes), m_codepos(communes.fieldIndex(u"codepos"))
{
    try {
        if (candidates) {
            std::vector<qint64> rowids;
            for (int row = 0; row < communes.recordCount(); ++row)
                rowids.push_back(communes.rowidOf(row));
            m_codes = db.openLinkedRows(QStringLiteral("codes_postaux"), QStringLiteral("commune"), rowids);
        }
        if (!m_codes)
            m_codes = db.openRecordset(QStringLiteral("codes_postaux"));
    } catch (const DatabaseError &) {
        return; // a user's own file: its codepos alone
    }
    try {
        const Column &rowids = m_codes->column(m_codes->fieldIndex(u"commune"));
        m_codeColumn = m_codes->fieldIndex(u"codepos");
        const Column &texts = m_codes->column(m_codeColumn);
        // Counted first, then placed: two passes, no list per commune.
        std::vector<int> communeOf(rowids.size(), -1);
        m_first.assign(size_t(communes.recordCount()) + 1, 0);
        for (size_t i = 0; i < rowids.size(); ++i) {
            const std::optional<int> row = communes.rowOfRowid(rowids.value(i).toLongLong());
            if (row && !texts.isNull(i)) {
                communeOf[i] = *row;
                ++m_first[size_t(*row) + 1];
            }
        }
        for (size_t row = 1; row < m_first.size(); ++row)
            m_first[row] += m_first[row - 1];
        m_byCommune.resize(size_t(m_first.back()));
        std::vector<int> next(m_first.begin(), m_first.end() - 1);
        for (size_t i = 0; i < communeOf.size(); ++i) {
            if (communeOf[i] >= 0)
                m_byCommune[size_t(next[size_t(communeOf[i])]++)] = int(i);
        }
    } catch (const DatabaseError &) {
        m_codes.reset(); // not a table this program wrote
        m_first.clear();
    }
}

namespace {

void appendCode(QString &codes, const Column &column, size_t row)
{
    if (!codes.isEmpty())
        codes += QLatin1Char(' ');
    if (column.kind(row) == Column::Kind::Text)
        codes += column.text(row);
    else
        codes += column.value(row).toString();
}

} // namespace

QString PostalCodes::joined(int row) const
{
    if (row < 0 || row >= m_communes.recordCount())
        return {};
    QString codes;
    if (!m_first.empty()) {
        const Column &texts = m_codes->column(m_codeColumn);
        for (int i = m_first[size_t(row)]; i < m_first[size_t(row) + 1]; ++i)
            appendCode(codes, texts, size_t(m_byCommune[size_t(i)]));
    }
    if (codes.isEmpty() && !m_communes.column(m_codepos).isNull(size_t(row)))
        appendCode(codes, m_communes.column(m_codepos), size_t(row));
    return codes;
}

QStringList PostalCodes::of(int row) const
{
    if (row < 0 || row >= m_communes.recordCount())
        return {};
    QStringList codes;
    if (!m_first.empty()) {
        const Column &texts = m_codes->column(m_codeColumn);
        for (int i = m_first[size_t(row)]; i < m_first[size_t(row) + 1]; ++i)
            codes << texts.value(size_t(m_byCommune[size_t(i)])).toString();
    }
    if (codes.isEmpty()) {
        const Column &codepos = m_communes.column(m_codepos);
        if (!codepos.isNull(size_t(row)))
            codes << codepos.value(size_t(row)).toString();
    }
    return codes;
}

bool PostalCodes::has(int row, QStringView code) const
{
    if (row < 0 || row >= m_communes.recordCount())
        return false;
    const auto is = [&](const Column &column, size_t at) {
        return column.kind(at) == Column::Kind::Text ? column.text(at) == code : column.value(at).toString() == code;
    };
    if (!m_first.empty() && m_first[size_t(row)] < m_first[size_t(row) + 1]) {
        const Column &texts = m_codes->column(m_codeColumn);
        for (int i = m_first[size_t(row)]; i < m_first[size_t(row) + 1]; ++i) {
            if (is(texts, size_t(m_byCommune[size_t(i)])))
                return true;
        }
        return false;
    }
    const Column &codepos = m_communes.column(m_codepos);
    return !codepos.isNull(size_t(row)) && is(codepos, size_t(row));
}

QStringList PostalCodes::codeposFirst(int row) const
{
    QStringList codes = of(row);
    const Column &column = m_communes.column(m_codepos);
    if (row < 0 || row >= m_communes.recordCount() || column.isNull(size_t(row)))
        return codes;
    const QString codepos = column.value(size_t(row)).toString();
    if (const qsizetype at = codes.indexOf(codepos); at > 0)
        codes.move(at, 0);
    else if (at < 0)
        codes.prepend(codepos);
    return codes;
}

QString otherPostcodesText(const QStringList &codes)
{
    return codes.size() > 1 ? QStringLiteral("(+%1)").arg(codes.size() - 1) : QString();
}
