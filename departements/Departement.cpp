#include "departements/Departement.h"

#include "departements/DepartementTable.h"
#include "store/NameFolding.h"
#include "store/NumberText.h"

namespace {

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !text.isEmpty();
}

bool isCorsicanHalf(QStringView code)
{
    return code == u"2A" || code == u"2B";
}

// The names of the past, with the first day each was no more.
struct FormerNameRow
{
    const char16_t *code;
    const char16_t *name;
    const char16_t *until;
};

constexpr FormerNameRow formerNameRows[] = {
    {u"20", u"Corse", u"1976-01-01"},
    {u"75", u"Seine", u"1968-01-01"},
    {u"78", u"Seine-et-Oise", u"1968-01-01"},
};

QString codeOfPostcode(QStringView codepos, QStringView departementName)
{
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

long long mapNumberOfPostcode(QStringView codepos, QStringView departementName)
{
    const long long byPostcode = leadingNumber(codepos.left(2));
    const std::optional<DepartementRow> row = LookupDepartement(QString::number(byPostcode));
    if (row && !row->isOverseas() && QLatin1String(row->name) != departementName) {
        for (const DepartementRow &own : DepartementTable()) {
            if (!own.isOverseas() && QLatin1String(own.name) == departementName)
                return own.number;
        }
    }
    return byPostcode;
}

QString codeOfMapNumber(int number)
{
    return QString::number(number).rightJustified(2, QLatin1Char('0'));
}

} // namespace

Departement Departement::ofCommune(QStringView inseeCode, QStringView codepos, QStringView departementName)
{
    if (inseeCode.trimmed().size() == 5)
        return ofInseeCode(inseeCode);
    return ofPostcode(codepos, departementName);
}

Departement Departement::ofInseeCode(QStringView inseeCode)
{
    const QStringView code = inseeCode.trimmed();
    return Departement(code.left(code.startsWith(u"97") ? 3 : 2).toString().toUpper());
}

Departement Departement::ofPostcode(QStringView codepos, QStringView departementName)
{
    Departement departement(codeOfPostcode(codepos, departementName));
    departement.m_mapNumber = mapNumberOfPostcode(codepos, departementName);
    return departement;
}

QStringList Departement::codesOfPostcode(QStringView postcode)
{
    const QStringView code = postcode.trimmed();
    if (code.size() != 5 || !allDigits(code))
        return {};
    if (code.startsWith(u"20"))
        return {QStringLiteral("2A"), QStringLiteral("2B")};
    return {code.left(code.startsWith(u"97") ? 3 : 2).toString()};
}

QString Departement::postcodePrefix(QStringView codepos)
{
    return codepos.left(2).toString();
}

Departement Departement::fromCodeText(QStringView typed)
{
    const QString text = typed.trimmed().toString().toUpper();
    if (isCorsicanHalf(text))
        return Departement(text);
    if (!allDigits(text) || text.size() > 3)
        return {};
    if (text.size() == 3)
        return text.startsWith(u"97") ? Departement(text) : Departement();
    return Departement(text.size() == 1 ? QLatin1Char('0') + text : text);
}

Departement Departement::fromText(QStringView typed)
{
    if (Departement byCode = fromCodeText(typed); !byCode.isNull())
        return byCode;
    const QString name = foldName(typed);
    if (name.isEmpty())
        return {};
    for (const DepartementRow &row : DepartementTable()) {
        if (!row.isOverseas() && foldName(row.displayName()) == name)
            return Departement(codeOfMapNumber(row.number));
    }
    for (const FormerNameRow &former : formerNameRows) {
        if (foldName(former.name) == name)
            return Departement(QString::fromUtf16(former.code));
    }
    return {};
}

bool Departement::isInseeCode(QStringView text)
{
    const QStringView code = text.trimmed();
    if (code.size() != 5 || !allDigits(code.mid(2)))
        return false;
    return allDigits(code.left(2)) || isCorsicanHalf(code.left(2).toString().toUpper());
}

bool Departement::isOverseasMapNumber(double number)
{
    return number > lastMetropolitanNumber;
}

std::optional<long long> Departement::mapNumberValue() const
{
    if (m_mapNumber)
        return m_mapNumber;
    if (m_code.isEmpty())
        return std::nullopt;
    // Both halves of Corsica share one map.
    return isCorsicanHalf(m_code) ? 20 : leadingNumber(QStringView(m_code).left(2));
}

QString Departement::mapNumber() const
{
    const std::optional<long long> number = mapNumberValue();
    return number ? QString::number(*number) : QString();
}

bool Departement::isOverseas() const
{
    const std::optional<long long> number = mapNumberValue();
    return number && isOverseasMapNumber(double(*number));
}

QString Departement::mapName() const
{
    const std::optional<DepartementRow> row = LookupDepartement(mapNumber());
    return row ? row->displayName() : QString();
}

std::vector<Departement::FormerName> Departement::formerNames() const
{
    std::vector<FormerName> names;
    for (const FormerNameRow &former : formerNameRows) {
        if (m_code == QStringView(former.code))
            names.push_back({QString::fromUtf16(former.name), QString::fromUtf16(former.until)});
    }
    return names;
}

QString Departement::formerNameOn(QStringView isoDate) const
{
    for (const FormerNameRow &former : formerNameRows) {
        if (m_code == QStringView(former.code) && isoDate < QStringView(former.until))
            return QString::fromUtf16(former.name);
    }
    return {};
}
