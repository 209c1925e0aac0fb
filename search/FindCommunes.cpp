#include "search/FindCommunes.h"

#include "departements/Departement.h"
#include "geometry/NearestCommunes.h"
#include "search/CommuneSearch.h"
#include "search/InseeCodeSearch.h"
#include "search/LocatorSearch.h"
#include "search/PositionSearch.h"
#include "search/PostcodeSearch.h"
#include "search/Suggestions.h"
#include "search/UsualForms.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

#include <algorithm>
#include <array>
#include <unordered_map>

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

namespace {

// The matches of one finder in the order they are found. A commune found by
// its own name, or by a code, is listed once; each of its other names may
// list it again (MARSEILLE 1* finds the city by eight arrondissements).
class Found
{
public:
    void add(Match match)
    {
        const bool byItself = !isOtherName(match.kind) && match.kind != MatchKind::InseeCode;
        if (const int seen = listed(match.row); seen != 0 && (byItself || seen == 2))
            return;
        m_matches.push_back(std::move(match));
        m_byItself.push_back(byItself);
        if (!m_index.empty() || m_matches.size() > 32)
            indexLast();
    }
    void add(std::vector<Match> matches)
    {
        for (Match &match : matches)
            add(std::move(match));
    }
    void add(const std::vector<int> &rows, MatchKind kind)
    {
        for (const int row : rows)
            add(Match{row, kind, {}, {}, 0});
    }
    bool empty() const { return m_matches.empty(); }

    std::vector<Match> m_matches;
    QString m_refusal;
    std::optional<GeoPoint> m_place;

private:
    // 0: the row is not listed yet; 1: only by other names; 2: by itself.
    int listed(int row) const
    {
        int seen = 0;
        if (m_index.empty()) {
            // A few matches, the usual answer: read them, no map is made.
            for (size_t i = 0; i < m_matches.size(); ++i) {
                if (m_matches[i].row == row)
                    seen = std::max(seen, m_byItself[i] ? 2 : 1);
            }
        } else if (const auto at = m_index.find(row); at != m_index.end()) {
            seen = at->second ? 2 : 1;
        }
        return seen;
    }

    void indexLast()
    {
        if (m_index.empty()) {
            for (size_t i = 0; i + 1 < m_matches.size(); ++i)
                m_index[m_matches[i].row] |= m_byItself[i];
        }
        m_index[m_matches.back().row] |= m_byItself.back();
    }

    std::vector<bool> m_byItself;
    std::unordered_map<int, bool> m_index; // once there are many
};

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
        found.m_refusal = QStringLiteral("ce fichier de données ne dit pas l'histoire des communes : une date "
                                         "demande la table livrée avec Topovil");
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

// One kind of search: whether it reads the query at all, and what it finds.
struct Finder
{
    bool (*accepts)(const Query &);
    void (*find)(SearchTables &, const Query &, Found &);
};

// The order in which the kinds of search are asked: the first that finds a
// commune answers.
const std::array<Finder, 10> finders = {{
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

// How far the constraints given are eased, in order.
enum class Ease { AllGiven, PostcodeAlone, PostcodesDepartement, DepartementGiven, Nothing };

struct Easing
{
    Ease ease;
    SearchMatches::Held held;
};

// At most five steps; none is made on the heap, for the many searches of a batch.
struct Easings
{
    std::array<Easing, 5> steps;
    size_t count = 0;

    void push_back(Easing easing) { steps[count++] = easing; }
    const Easing *begin() const { return steps.data(); }
    const Easing *end() const { return steps.data() + count; }
};

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

// Tells which matches the constraints keep, eased so far.
class ConstraintCheck
{
public:
    ConstraintCheck(SearchTables &tables, const Constraints &given)
        : m_tables(tables), m_given(given), m_code(Departement::fromCodeText(given.departement).code()),
          m_name(m_code.isEmpty() ? foldName(given.departement) : QString()),
          m_codesOfPostcode(Departement::codesOfPostcode(given.postcode))
    {
    }

    bool keeps(const Match &match, Ease ease)
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

private:
    bool hasPostcode(const Match &match)
    {
        const bool ownCode = match.kind != MatchKind::InseeCode && match.kind != MatchKind::FormerInseeCode
                             && match.kind != MatchKind::AtDate;
        return (ownCode && match.code == m_given.postcode) || m_tables.postalCodes().has(match.row, m_given.postcode);
    }

    bool inDepartementGiven(int row)
    {
        return m_code.isEmpty() ? m_tables.departementName(row) == m_name : m_tables.departementCode(row) == m_code;
    }

    SearchTables &m_tables;
    const Constraints &m_given;
    QString m_code; // the département given as a code; empty for a name
    QString m_name; // the département given as a name, folded
    QStringList m_codesOfPostcode;
};

// The finders in their order, the constraints eased as far as needed.
SearchMatches findAsWritten(SearchTables &tables, const Query &query)
{
    const Constraints &given = query.constraints();
    ConstraintCheck check(tables, given);
    // Each finder runs once at most; easing the constraints reads again what it found.
    std::array<std::optional<Found>, finders.size()> ran;
    for (const Easing &easing : easings(given)) {
        for (size_t i = 0; i < finders.size(); ++i) {
            if (!finders[i].accepts(query))
                continue;
            if (!ran[i]) {
                ran[i].emplace();
                finders[i].find(tables, query, *ran[i]);
            }
            if (!ran[i]->m_refusal.isEmpty())
                return SearchMatches::refused(ran[i]->m_refusal);
            std::vector<Match> kept;
            for (const Match &match : ran[i]->m_matches) {
                if (check.keeps(match, easing.ease))
                    kept.push_back(match);
            }
            if (kept.empty())
                continue;
            // The postal code that held is the one the answer gives.
            if (easing.ease == Ease::AllGiven || easing.ease == Ease::PostcodeAlone) {
                for (Match &match : kept) {
                    if (!given.postcode.isEmpty() && match.code.isEmpty())
                        match.code = given.postcode;
                }
            }
            SearchMatches matches(std::move(kept));
            matches.setHeld(easing.held);
            matches.setPlace(ran[i]->m_place);
            return matches;
        }
    }
    return {};
}

SearchMatches withRepair(const SearchMatches &found, Repair repair)
{
    std::vector<Match> matches = found.all();
    for (Match &match : matches) {
        if (match.repair == Repair::None)
            match.repair = repair;
    }
    SearchMatches repaired(std::move(matches));
    repaired.setHeld(found.held());
    repaired.setPlace(found.place());
    return repaired;
}

// The text read again as a list may have written it: a CEDEX line, then the
// article last.
std::optional<SearchMatches> findReread(SearchTables &tables, const Query &query)
{
    std::optional<Query> reread;
    Repair repair = Repair::None;
    if (const std::optional<CedexLine> cedex = readCedexLine(query.typed())) {
        Constraints constraints = query.constraints();
        if (constraints.postcode.isEmpty())
            constraints.postcode = cedex->postcode;
        reread = Query::make(cedex->name, constraints);
        repair = Repair::Cedex;
    } else if (const QString inFront = articleInFront(query.typed()); !inFront.isEmpty()) {
        reread = Query::make(inFront, query.constraints());
        repair = Repair::ArticleLast;
    }
    if (!reread)
        return std::nullopt;
    const SearchMatches found = findCommunes(tables, *reread);
    if (found.count() == 0)
        return std::nullopt;
    return withRepair(found, repair);
}

QString foldedNameOf(const Recordset &communes, const Column &names, int row)
{
    if (names.isNull(size_t(row)))
        return {};
    const FoldedNames *folded = communes.foldedNames();
    if (folded && !folded->sameAsNames()) {
        const std::uint64_t place = folded->cells()[row];
        return QString(reinterpret_cast<const QChar *>(folded->chars() + std::uint32_t(place)), qsizetype(place >> 32));
    }
    if (names.kind(size_t(row)) == Column::Kind::Text)
        return names.text(size_t(row)).toString();
    return foldName(names.value(size_t(row)).toString());
}

// A name that La Poste shortened or cut, or that is misspelt, taken only
// when one commune alone among those the constraints keep fits it: first
// those of the postal code given, then of its département, then of the
// département given.
std::optional<SearchMatches> findNearConstraints(SearchTables &tables, const Query &query, bool misspelt)
{
    const Constraints &given = query.constraints();
    if (!given.any() || !query.isPlainName() || query.folded().isEmpty())
        return std::nullopt;
    const Recordset &communes = tables.communes();
    const Column &names = communes.column(communes.fieldIndex(u"commune"));
    ConstraintCheck check(tables, given);
    for (const Easing &easing : easings(given)) {
        if (easing.ease == Ease::Nothing)
            break;
        std::vector<Match> spelled;
        std::vector<Match> corrected;
        for (int row = 0; row < int(names.size()); ++row) {
            if (!check.keeps(Match{row, MatchKind::Name, {}, {}, 0}, easing.ease))
                continue;
            const QString name = foldedNameOf(communes, names, row);
            if (const PosteSpelling spelling = posteSpelling(query.folded(), name); spelling != PosteSpelling::Other)
                spelled.push_back({row,
                                   MatchKind::Name,
                                   {},
                                   {},
                                   0,
                                   spelling == PosteSpelling::Cut ? Repair::Cut : Repair::Abbreviated});
            else if (misspelt && boundedEditDistance(query.folded(), name, 2) <= 2)
                corrected.push_back({row, MatchKind::Correction, {}, {}, 0, Repair::Misspelt});
        }
        // Two communes that fit are a choice this search does not make.
        std::vector<Match> &taken = !spelled.empty() ? spelled : corrected;
        if (taken.size() > 1)
            return std::nullopt;
        if (taken.size() == 1) {
            if (easing.ease == Ease::AllGiven || easing.ease == Ease::PostcodeAlone)
                taken.front().code = given.postcode;
            SearchMatches matches(std::move(taken));
            matches.setHeld(easing.held);
            return matches;
        }
    }
    return std::nullopt;
}

} // namespace

SearchMatches findCommunes(SearchTables &tables, const Query &query)
{
    SearchMatches found = findAsWritten(tables, query);
    if (!found.refusal().isEmpty() || query.point())
        return found;
    // A name found only where none of the constraints holds, while one commune
    // of the code given begins with it (LA CROIX for LA CROIX SUR ROUDOULE),
    // is that commune shortened.
    if (found.count() > 0) {
        if (found.held() == SearchMatches::Held::Neither) {
            if (std::optional<SearchMatches> near = findNearConstraints(tables, query, false))
                return std::move(*near);
        }
        return found;
    }
    if (std::optional<SearchMatches> reread = findReread(tables, query))
        return std::move(*reread);
    if (std::optional<SearchMatches> near = findNearConstraints(tables, query, true))
        return std::move(*near);
    return found;
}
