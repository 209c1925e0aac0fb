#include "search/FindCommunes.h"

#include "search/CommuneSearch.h"
#include "search/HistorySearch.h"
#include "search/InseeCodeSearch.h"
#include "search/LocatorSearch.h"
#include "search/OtherNameSearch.h"
#include "search/PositionSearch.h"
#include "search/PostcodeSearch.h"
#include "search/UsualForms.h"

#include <unordered_set>

namespace {

// The matches of one search in the order they are found. A commune found by
// its own name, or by a code, is listed once; each of its other names may
// list it again (MARSEILLE 1* finds the city by eight arrondissements).
class Found
{
public:
    void add(int row, const QString &code = {}, const OtherName &other = {})
    {
        if (m_seen.count(row) && (other.name.isEmpty() || m_shownByItself.count(row)))
            return;
        m_seen.insert(row);
        if (other.name.isEmpty())
            m_shownByItself.insert(row);
        m_rows.push_back(row);
        m_codes << code;
        m_others.push_back(other);
        m_byOtherName = m_byOtherName || !other.name.isEmpty();
    }
    void add(std::vector<OtherNameMatch> matches)
    {
        for (const OtherNameMatch &match : matches)
            add(match.row, match.code, match.other);
    }
    bool empty() const { return m_rows.empty(); }

    SearchMatches take()
    {
        if (m_byOtherName)
            return SearchMatches(std::move(m_rows), std::move(m_codes), std::move(m_others));
        return SearchMatches(std::move(m_rows), std::move(m_codes));
    }

private:
    std::vector<int> m_rows;
    QStringList m_codes;
    std::vector<OtherName> m_others;
    std::unordered_set<int> m_seen;
    std::unordered_set<int> m_shownByItself;
    bool m_byOtherName = false;
};

// Current names first, then the other names that share them; the history
// only when neither finds anything, so that a current name never reads it.
void findByNames(Found &found, Database &db, const Recordset &communes, const NamePattern &pattern)
{
    for (const int row : findAllCommunes(communes, pattern))
        found.add(row);
    found.add(findCommunesByOtherName(db, communes, pattern));
    if (found.empty())
        found.add(findCommunesByFormerName(db, communes, pattern));
}

void findByUsualForms(Found &found, Database &db, const Recordset &communes, QStringView typed)
{
    if (const QString name = arrondissementName(typed); !name.isEmpty()) {
        if (const std::optional<NamePattern> pattern = NamePattern::compile(name))
            found.add(findCommunesByOtherName(db, communes, *pattern));
        if (!found.empty())
            return;
    }
    for (const QString &variant : articleVariants(typed)) {
        if (const std::optional<NamePattern> pattern = NamePattern::compile(variant))
            findByNames(found, db, communes, *pattern);
    }
}

void findByCodes(Found &found, Database &db, const Recordset &communes, QStringView code)
{
    std::vector<OtherNameMatch> byInsee = findCommunesByInseeCode(db, communes, code);
    if (isPostcodeText(code)) {
        if (const std::optional<LikePattern> pattern = LikePattern::compile(code)) {
            // Both kinds of code: each match says which it is.
            const bool tell = !byInsee.empty();
            for (const PostcodeMatch &match : findCommunesByPostcode(db, communes, *pattern))
                found.add(match.row, match.code,
                          tell ? OtherName{QStringLiteral("code postal %1").arg(match.code), {}} : OtherName{});
        }
    }
    found.add(std::move(byInsee));
    if (!found.empty())
        return;
    if (const QString city = cityOfWholeCityCode(code); !city.isEmpty()) {
        if (const std::optional<NamePattern> pattern = NamePattern::compile(city)) {
            for (const int row : findAllCommunes(communes, *pattern))
                found.add(row);
        }
    }
}

} // namespace

SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed,
                           const NameIndex *names)
{
    Found found;
    if (std::optional<std::vector<int>> indexed = names ? names->find(typed) : std::nullopt;
        indexed && !indexed->empty()) {
        for (const int row : *indexed)
            found.add(row);
        found.add(findCommunesByOtherName(db, communes, pattern));
        return found.take();
    }
    findByNames(found, db, communes, pattern);
    if (!found.empty())
        return found.take();
    // Blanks around a code are no part of it.
    const QStringView code = typed.trimmed();
    if (isLocatorText(code))
        return SearchMatches(findCommunesByLocator(communes, code));
    findByCodes(found, db, communes, code);
    if (found.empty())
        findByUsualForms(found, db, communes, typed);
    if (found.empty() && !isPostcodeText(code)) {
        if (std::optional<SearchMatches> byPosition = findCommunesByPosition(communes, typed))
            return std::move(*byPosition);
    }
    return found.take();
}
