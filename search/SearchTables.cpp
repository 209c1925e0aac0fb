#include "search/SearchTables.h"

#include "departements/Departement.h"
#include "names/CommuneSearch.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

SearchTables::SearchTables(Database &db, const Recordset &communes) : m_db(db), m_whole(&communes) {}

SearchTables::SearchTables(Database &db) : m_db(db) {}

const Recordset &SearchTables::whole()
{
    if (!m_whole) {
        m_read = m_db.openRecordset(QStringLiteral("insee1"));
        m_whole = &*m_read;
    }
    return *m_whole;
}

const Recordset &SearchTables::communes()
{
    return m_candidates ? *m_candidates : whole();
}

void SearchTables::indexNames()
{
    // The other tables are read while insee1 is: a batch needs them all.
    m_db.readAlongside({QStringLiteral("autres_noms"), QStringLiteral("historique"),
                        QStringLiteral("localites_postales"), QStringLiteral("codes_postaux"),
                        QStringLiteral("departements")});
    if (!m_names)
        m_names.emplace(whole());
    otherNames();
    history();
    postOffices();
    m_otherNames->buildIndex();
    m_history->buildIndex();
    m_postOffices->buildIndex();
}

const OtherNameTable &SearchTables::otherNames()
{
    if (!m_otherNames)
        m_otherNames.emplace(m_db, QStringLiteral("autres_noms"));
    return *m_otherNames;
}

const OtherNameTable &SearchTables::history()
{
    if (!m_history)
        m_history.emplace(m_db, QStringLiteral("historique"));
    return *m_history;
}

const OtherNameTable &SearchTables::postOffices()
{
    if (!m_postOffices)
        m_postOffices.emplace(m_db, QStringLiteral("localites_postales"));
    return *m_postOffices;
}

const CommuneStates &SearchTables::states()
{
    if (!m_states)
        m_states.emplace(m_db);
    return *m_states;
}

const DepartementNames &SearchTables::departements()
{
    if (!m_departements)
        m_departements.emplace(m_db);
    return *m_departements;
}

const PostalCodes &SearchTables::postalCodes()
{
    if (!m_postalCodes)
        m_postalCodes.emplace(m_db, communes(), m_candidates.has_value());
    return *m_postalCodes;
}

const SuggestionIndex *SearchTables::suggestions()
{
    if (m_lender)
        return m_lender();
    if (!m_suggestions)
        m_suggestions.emplace(whole(), &m_db, SuggestionIndex::Use::AfterTypoOnly);
    return &*m_suggestions;
}

QString SearchTables::departementCode(int row)
{
    const Recordset &communes = this->communes();
    // Kept for the table read: a batch asks it of every commune a constraint may keep.
    if (m_departementsOf != &communes) {
        m_departementsOf = &communes;
        m_departementCodes.assign(size_t(communes.recordCount()), std::nullopt);
    }
    if (row < 0 || size_t(row) >= m_departementCodes.size())
        return {};
    std::optional<QString> &kept = m_departementCodes[size_t(row)];
    if (!kept)
        kept = departementCodeOfRow(communes, row);
    return *kept;
}

QString SearchTables::departementCodeOfRow(const Recordset &communes, int row)
{
    if (m_inseeColumn == -2) {
        try {
            m_inseeColumn = communes.fieldIndex(u"code_insee");
        } catch (const DatabaseError &) {
            m_inseeColumn = -1; // a user's own file, which knows no INSEE codes
        }
    }
    const auto text = [&](int column) {
        const QVariant value = communes.column(column).value(size_t(row));
        return value.isNull() ? QString() : value.toString();
    };
    return Departement::ofCommune(m_inseeColumn >= 0 ? text(m_inseeColumn) : QString(),
                                  text(communes.fieldIndex(u"codepos")), text(communes.fieldIndex(u"departement")))
        .code();
}

QString SearchTables::departementName(int row)
{
    const Recordset &communes = this->communes();
    return foldName(communes.column(communes.fieldIndex(u"departement")).value(size_t(row)).toString());
}

bool SearchTables::otherNamesMayMatch(const Query &query)
{
    if (m_otherNames)
        return m_otherNames->anyMatches(query);
    // The few rows of other names that may hold it, without the whole table.
    try {
        if (const std::optional<Recordset> rows =
                m_db.openNameCandidates(QStringLiteral("autres_noms"), query.folded()))
            return !findAllCommunes(*rows, query.pattern()).empty();
    } catch (const DatabaseError &) {
        return false; // a file without other names
    }
    return otherNames().anyMatches(query);
}

std::optional<SearchMatches> SearchTables::fromCandidates(const Query &query)
{
    if (m_whole || !query.isPlainName() || query.constraints().any())
        return std::nullopt;
    std::optional<Recordset> candidates = openCommuneCandidates(m_db, query.folded());
    if (!candidates)
        return std::nullopt;
    const std::vector<int> rows = findAllCommunes(*candidates, query.pattern());
    // Other names that share the name follow its communes, and only the
    // whole table says where they lead.
    if (rows.empty() || otherNamesMayMatch(query))
        return std::nullopt;
    m_candidates = std::move(candidates);
    return SearchMatches(rows, MatchKind::Name);
}
