#include "search/SearchMatches.h"

#include "store/NumberText.h"

#include <algorithm>

int SearchMatches::next()
{
    if (m_rows.empty())
        return -1;
    m_index = (m_index + 1) % count();
    return row();
}

int SearchMatches::select(int index)
{
    if (m_rows.empty())
        return -1;
    m_index = std::clamp(index, 0, count() - 1);
    return row();
}

QString SearchMatches::countText() const
{
    return QStringLiteral("%1 sur %2").arg(m_index + 1).arg(count());
}

OtherName SearchMatches::otherName(int index) const
{
    return index >= 0 && size_t(index) < m_others.size() ? m_others[size_t(index)] : OtherName{};
}

namespace {

QString fieldOfRow(const Recordset &records, int row, const char16_t *name)
{
    const QVariant value = records.column(records.fieldIndex(name)).value(size_t(row));
    return value.isNull() ? QString() : valueToText(value);
}

} // namespace

QString otherNameText(const Recordset &records, const SearchMatches &matches, int index)
{
    const OtherName other = matches.otherName(index);
    if (other.name.isEmpty())
        return {};
    const QString current = fieldOfRow(records, matches.rows()[size_t(index)], u"commune");
    const QString text = QStringLiteral("%1 → %2").arg(other.name, current);
    return other.kind.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(other.kind);
}

QString matchLine(const Recordset &records, const SearchMatches &matches, int index)
{
    const int row = matches.rows()[size_t(index)];
    QStringList fields;
    for (const char16_t *name : {u"commune", u"codepos", u"departement"})
        fields << fieldOfRow(records, row, name);
    if (const QString other = otherNameText(records, matches, index); !other.isEmpty())
        fields[0] = other;
    if (const QString code = matches.code(index); !code.isEmpty())
        fields[1] = code;
    return fields.join(QStringLiteral(" — "));
}
