#include "communes/SearchMatches.h"

#include "communes/NumberText.h"

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

QString matchLine(const Recordset &records, int row, const QString &code)
{
    QStringList fields;
    for (const char16_t *name : {u"commune", u"codepos", u"departement"}) {
        const QVariant value = records.column(records.fieldIndex(name)).value(size_t(row));
        fields << (value.isNull() ? QString() : valueToText(value));
    }
    if (!code.isEmpty())
        fields[1] = code;
    return fields.join(QStringLiteral(" — "));
}
