#include "history/DepartementNames.h"

#include "departements/Departement.h"
#include "history/CommuneEvents.h"
#include "store/DatabaseError.h"

namespace {

QString textOf(const Recordset &rows, int column, size_t row)
{
    if (column < 0 || rows.column(column).isNull(row))
        return {};
    return rows.column(column).value(row).toString();
}

} // namespace

DepartementNames::DepartementNames(Database &db)
{
    try {
        const Recordset rows = db.openRecordset(QStringLiteral("departements"));
        const int code = rows.fieldIndex(u"code");
        const int name = rows.fieldIndex(u"nom");
        const int label = rows.table() ? rows.table()->columnIndex(u"libelle") : -1;
        const int region = rows.table() ? rows.table()->columnIndex(u"region") : -1;
        for (size_t row = 0; row < rows.column(code).size(); ++row) {
            m_departements.push_back({textOf(rows, code, row), textOf(rows, name, row), textOf(rows, label, row),
                                      textOf(rows, region, row)});
        }
    } catch (const DatabaseError &) {
        // No such table, or not one that this program wrote.
        m_departements.clear();
    }
    for (int i = 0; i < int(m_departements.size()); ++i)
        m_byCode.insert(m_departements[size_t(i)].code, i);
}

const DepartementNames::Stored *DepartementNames::find(QStringView inseeCode) const
{
    const QString code = Departement::ofInseeCode(inseeCode).code();
    const auto at = m_byCode.constFind(QStringView(code));
    return at == m_byCode.constEnd() ? nullptr : &m_departements[size_t(*at)];
}

QString DepartementNames::nameOn(QStringView inseeCode, QStringView isoDate) const
{
    if (const QString former = formerDepartement(inseeCode, isoDate); !former.isEmpty())
        return former.toUpper();
    const Stored *departement = find(inseeCode);
    return departement ? departement->name : QString();
}

QString DepartementNames::labelOn(QStringView inseeCode, QStringView isoDate) const
{
    if (const QString former = formerDepartement(inseeCode, isoDate); !former.isEmpty())
        return former;
    return label(inseeCode);
}

QString DepartementNames::label(QStringView inseeCode) const
{
    const Stored *departement = find(inseeCode);
    return departement ? departement->label : QString();
}

QString DepartementNames::regionOf(QStringView inseeCode) const
{
    const Stored *departement = find(inseeCode);
    return departement ? departement->region : QString();
}
