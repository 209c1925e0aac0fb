#include "search/ConstraintEasing.h"

#include "departements/Departement.h"
#include "store/NameFolding.h"

Easings easings(const Constraints &given)
{
    using Held = SearchMatches::Held;
    const bool postcode = !given.postcode.isEmpty();
    const bool departement = !given.departement.isEmpty();
    Easings order;
    if (!postcode && !departement) {
        order.push_back({Ease::Nothing, Held::NoneGiven});
        return order;
    }
    order.push_back({Ease::AllGiven, postcode ? Held::PostcodeAndDepartement : Held::DepartementOnly});
    if (postcode && departement)
        order.push_back({Ease::PostcodeAlone, Held::PostcodeOnly});
    if (postcode && !Departement::codesOfPostcode(given.postcode).isEmpty())
        order.push_back({Ease::PostcodesDepartement, Held::DepartementOnly});
    if (postcode && departement)
        order.push_back({Ease::DepartementGiven, Held::DepartementOnly});
    order.push_back({Ease::Nothing, Held::Neither});
    return order;
}

ConstraintCheck::ConstraintCheck(SearchTables &tables, const Constraints &given)
    : m_tables(tables), m_given(given), m_code(Departement::fromCodeText(given.departement).code()),
      m_name(m_code.isEmpty() ? foldName(given.departement) : QString()),
      m_codesOfPostcode(Departement::codesOfPostcode(given.postcode))
{
}

bool ConstraintCheck::keeps(const Match &match, Ease ease)
{
    switch (ease) {
    case Ease::AllGiven:
        return (m_given.postcode.isEmpty() || hasPostcode(match))
               && (m_given.departement.isEmpty() || inDepartementGiven(match.row));
    case Ease::PostcodeAlone:
        return hasPostcode(match);
    case Ease::PostcodesDepartement:
        return m_codesOfPostcode.contains(m_tables.departementCode(match.row));
    case Ease::DepartementGiven:
        return inDepartementGiven(match.row);
    case Ease::Nothing:
        break;
    }
    return true;
}

bool ConstraintCheck::hasPostcode(const Match &match)
{
    const bool ownCode = match.kind != MatchKind::InseeCode && match.kind != MatchKind::FormerInseeCode
                         && match.kind != MatchKind::AtDate;
    return (ownCode && match.code == m_given.postcode) || m_tables.postalCodes().has(match.row, m_given.postcode);
}

bool ConstraintCheck::inDepartementGiven(int row)
{
    return m_code.isEmpty() ? m_tables.departementName(row) == m_name : m_tables.departementCode(row) == m_code;
}
