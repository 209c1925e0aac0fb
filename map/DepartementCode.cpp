#include "map/DepartementCode.h"

#include "map/DepartementTable.h"
#include "store/NameFolding.h"
#include "store/NumberText.h"

#include <optional>

namespace {

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !text.isEmpty();
}

} // namespace

QString departementMapNumber(QStringView codepos, QStringView departementName)
{
    const QString byPostcode = QString::number(leadingNumber(codepos.left(2)));
    const std::optional<DepartementRow> row = LookupDepartement(byPostcode);
    if (row && row->number != 0 && row->displayName() != departementName) {
        for (const DepartementRow &own : DepartementTable()) {
            if (own.number != 0 && own.displayName() == departementName)
                return QString::number(own.number);
        }
    }
    return byPostcode;
}

QString departementCode(QStringView inseeCode, QStringView codepos, QStringView departementName)
{
    const QStringView insee = inseeCode.trimmed();
    if (insee.size() == 5)
        return insee.left(insee.startsWith(u"97") ? 3 : 2).toString().toUpper();
    const QStringView code = codepos.trimmed();
    if (code.size() < 2)
        return {};
    if (code.startsWith(u"97") || code.startsWith(u"98"))
        return code.left(3).toString();
    if (code.startsWith(u"20")) {
        // Corsica shares its postal codes' 20: the name tells which half.
        const QString name = foldName(departementName);
        if (name.contains(QLatin1String("SUD")))
            return QStringLiteral("2A");
        if (name.contains(QLatin1String("HAUTE")))
            return QStringLiteral("2B");
    }
    return code.left(2).toString();
}

QString departementCodeOfText(QStringView typed)
{
    const QString text = typed.trimmed().toString().toUpper();
    if (text == u"2A" || text == u"2B")
        return text;
    if (!allDigits(text) || text.size() > 3)
        return {};
    if (text.size() == 3)
        return text.startsWith(u"97") ? text : QString();
    return text.size() == 1 ? QLatin1Char('0') + text : text;
}

QStringList departementCodesOfPostcode(QStringView postcode)
{
    const QStringView code = postcode.trimmed();
    if (code.size() != 5 || !allDigits(code))
        return {};
    if (code.startsWith(u"20"))
        return {QStringLiteral("2A"), QStringLiteral("2B")};
    return {code.left(code.startsWith(u"97") ? 3 : 2).toString()};
}
