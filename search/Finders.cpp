#include "search/Finders.h"

#include "geometry/NearestCommunes.h"
#include "names/CommuneSearch.h"
#include "names/UsualForms.h"
#include "search/InseeCodeSearch.h"
#include "search/LocatorSearch.h"
#include "search/PositionSearch.h"
#include "search/PostcodeSearch.h"

#include <algorithm>
#include <array>

namespace {

std::vector<int> currentNameRows(SearchTables &tables, const Query &query)
{
    if (const NameIndex *index = tables.nameIndex(); index && query.isPlainName())
        return index->find(query);
    return findAllCommunes(tables.communes(), query.pattern());
}

// Current names, followed by the other names that share them.
void findByNames(SearchTables &tables, const Query &query, Found &found, MatchKind nameKind)
{
    found.add(currentNameRows(tables, query), nameKind);
    found.add(tables.otherNames().find(tables.communes(), query));
}

void findByCurrentNames(SearchTables &tables, const Query &query, Found &found)
{
    // A plain name, on a store that can be asked for the few rows that may
    // hold it, needs no read of the whole table.
    if (std::optional<SearchMatches> quick = tables.fromCandidates(query)) {
        found.add(quick->all());
        return;
    }
    findByNames(tables, query, found, MatchKind::Name);
}

// Read only when no current name matches, so that a current name never reads it.
void findByFormerNames(SearchTables &tables, const Query &query, Found &found)
{
    found.add(tables.history().find(tables.communes(), query));
}

// The labels of La Poste that name no commune (LES MILLES, PUYRICARD).
void findByPostOffices(SearchTables &tables, const Query &query, Found &found)
{
    found.add(tables.postOffices().find(tables.communes(), query));
}

void findByLocator(SearchTables &tables, const Query &query, Found &found)
{
    const std::vector<int> rows = findCommunesByLocator(tables.communes(), query.trimmed());
    // A square that holds no commune finds the one nearest to its centre.
    const bool inside = !rows.empty() && liesInSquare(tables.communes(), rows.front(), query.trimmed());
    found.add(rows, inside ? MatchKind::Locator : MatchKind::Nearest);
    if (const std::optional<QPointF> centre = locatorCentre(query.trimmed()))
        found.m_place = GeoPoint{centre->y(), centre->x()};
}

// Both kinds of code: each match says which it is.
void findByCodes(SearchTables &tables, const Query &query, Found &found)
{
    std::vector<Match> byInsee = findCommunesByInseeCode(tables.db(), tables.communes(), query.trimmed());
    if (isPostcodeText(query.trimmed())) {
        if (const std::optional<LikePattern> pattern = LikePattern::compile(query.trimmed()))
            found.add(findCommunesByPostcode(tables.communes(), tables.postalCodes(), *pattern));
    }
    found.add(std::move(byInsee));
    // An arrondissement's own INSEE code finds its city, with its postal code.
    if (const QString name = arrondissementOfInseeCode(query.trimmed()); !name.isEmpty()) {
        if (const std::optional<Query> arrondissement = Query::make(name))
            found.add(tables.otherNames().find(tables.communes(), *arrondissement));
    }
}

void findByWholeCityCode(SearchTables &tables, const Query &query, Found &found)
{
    if (const std::optional<Query> city = Query::make(cityOfWholeCityCode(query.trimmed())))
        found.add(findAllCommunes(tables.communes(), city->pattern()), MatchKind::UsualForm);
}

// « Paris 15e » by the arrondissement's name; else the name with its article
// taken away or put before it.
void findByUsualForms(SearchTables &tables, const Query &query, Found &found)
{
    if (const QString name = arrondissementName(query.folded()); !name.isEmpty()) {
        if (const std::optional<Query> arrondissement = Query::make(name))
            found.add(tables.otherNames().find(tables.communes(), *arrondissement));
        if (!found.empty())
            return;
    }
    std::vector<Query> variants;
    for (const QString &variant : articleVariants(query.folded())) {
        if (std::optional<Query> made = Query::make(variant))
            variants.push_back(std::move(*made));
    }
    for (const Query &variant : variants)
        findByNames(tables, variant, found, MatchKind::UsualForm);
    for (const Query &variant : variants) {
        if (found.empty())
            findByFormerNames(tables, variant, found);
    }
}

void findByPosition(SearchTables &tables, const Query &query, Found &found)
{
    if (std::optional<SearchMatches> byPosition = findCommunesByPosition(tables.communes(), query.typed())) {
        found.m_refusal = byPosition->refusal();
        found.m_reason = byPosition->refusalReason();
        found.m_place = byPosition->place();
        found.add(byPosition->all());
    }
}

// What the name or code designated on the date: the communes, associées and
// déléguées of that day that bore it, each leading to today's commune, and
// today's communes that have been as they are since before the history.
void findAtDate(SearchTables &tables, const Query &query, Found &found)
{
    const CommuneStates &states = tables.states();
    if (!states.available()) {
        found.m_reason = RefusalReason::NoHistory;
        found.m_refusal = dateNeedsHistory();
        return;
    }
    const DatePeriod &period = *query.period();
    const Recordset &communes = tables.communes();
    const bool byCode = isInseeCodeText(query.trimmed());
    const QString code = query.trimmed().toString().toUpper();
    std::vector<int> rows;
    if (byCode) {
        for (int row = 0; row < int(states.rows().column(states.rows().fieldIndex(u"code_insee")).size()); ++row) {
            if (states.code(row) == code)
                rows.push_back(row);
        }
    } else {
        rows = findAllCommunes(states.rows(), query.pattern());
    }
    // The name of the day as INSEE wrote it, when the store keeps it.
    const Column &names = states.rows().column(states.rows().fieldIndex(u"commune"));
    std::vector<Match> matches;
    for (const int row : rows) {
        const std::optional<int> commune = communes.rowOfRowid(states.target(row));
        const QString official = states.officialName(row);
        if (commune && states.heldDuring(row, period))
            matches.push_back(
                Match{*commune,
                      MatchKind::AtDate,
                      states.code(row),
                      {official.isEmpty() ? names.value(size_t(row)).toString() : official, states.type(row), {}},
                      0});
    }
    // Today's communes as they have been since before the history.
    std::vector<int> current;
    if (byCode) {
        for (const Match &match : findCommunesByInseeCode(tables.db(), communes, query.trimmed())) {
            if (match.kind == MatchKind::InseeCode)
                current.push_back(match.row);
        }
    } else {
        current = currentNameRows(tables, query);
    }
    const int codeColumn = communes.table() ? communes.table()->columnIndex(u"code_insee") : -1;
    const int officialColumn = communes.table() ? communes.table()->columnIndex(u"nom") : -1;
    const int nameColumn = officialColumn >= 0 ? officialColumn : communes.fieldIndex(u"commune");
    for (const int row : current) {
        if (states.changedSince1943(communes.rowidOf(row)))
            continue;
        const QString codeToday =
            codeColumn >= 0 ? communes.column(codeColumn).value(size_t(row)).toString() : QString();
        matches.push_back(
            Match{row,
                  MatchKind::AtDate,
                  codeToday,
                  {communes.column(nameColumn).value(size_t(row)).toString(), QStringLiteral("commune"), {}},
                  0});
    }
    // In the order of today's communes, as every search lists them.
    std::stable_sort(matches.begin(), matches.end(), [](const Match &a, const Match &b) { return a.row < b.row; });
    found.add(std::move(matches));
}

void findNearest(SearchTables &tables, const Query &query, Found &found)
{
    for (const NearbyCommune &nearby : nearestCommunes(tables.communes(), *query.point(), query.nearestCount()))
        found.add(Match{nearby.row, MatchKind::Nearest, {}, {}, 0});
}

// A text searched today; one with a date is read only by findAtDate.
bool anyText(const Query &query)
{
    return !query.point() && !query.period();
}

bool datedText(const Query &query)
{
    return query.period().has_value();
}

bool locatorText(const Query &query)
{
    return anyText(query) && isLocatorText(query.trimmed());
}

bool codeText(const Query &query)
{
    return anyText(query) && (isPostcodeText(query.trimmed()) || isInseeCodeText(query.trimmed()));
}

bool wholeCityCode(const Query &query)
{
    return anyText(query) && !cityOfWholeCityCode(query.trimmed()).isEmpty();
}

bool noPostcode(const Query &query)
{
    return anyText(query) && !isPostcodeText(query.trimmed());
}

bool nearPoint(const Query &query)
{
    return query.point().has_value();
}

// The order in which the kinds of search are asked: the first that finds a
// commune answers.
const std::array<Finder, FinderCount> finderOrder = {{
    {datedText, findAtDate},
    {anyText, findByCurrentNames},
    {anyText, findByFormerNames},
    {anyText, findByPostOffices},
    {locatorText, findByLocator},
    {codeText, findByCodes},
    {wholeCityCode, findByWholeCityCode},
    {anyText, findByUsualForms},
    {noPostcode, findByPosition},
    {nearPoint, findNearest},
}};

} // namespace

const std::array<Finder, FinderCount> &finders()
{
    return finderOrder;
}
