#include "search/FindCommunes.h"

#include "search/CommuneSearch.h"
#include "search/LocatorSearch.h"
#include "search/OtherNameSearch.h"
#include "search/PostcodeSearch.h"

SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed,
                           const NameIndex *names)
{
    std::optional<std::vector<int>> indexed = names ? names->find(typed) : std::nullopt;
    std::vector<int> rows = indexed ? std::move(*indexed) : findAllCommunes(communes, pattern);
    if (!rows.empty())
        return SearchMatches(std::move(rows));
    QStringList codes;
    std::vector<OtherName> others;
    for (OtherNameMatch &match : findCommunesByOtherName(db, communes, pattern)) {
        rows.push_back(match.row);
        codes << match.code;
        others.push_back(std::move(match.other));
    }
    if (!rows.empty())
        return SearchMatches(std::move(rows), std::move(codes), std::move(others));
    if (isLocatorText(typed))
        return SearchMatches(findCommunesByLocator(communes, typed));
    if (!isPostcodeText(typed))
        return {};
    const std::optional<LikePattern> code = LikePattern::compile(typed);
    if (!code)
        return {};
    for (const PostcodeMatch &match : findCommunesByPostcode(db, communes, *code)) {
        rows.push_back(match.row);
        codes << match.code;
    }
    return SearchMatches(std::move(rows), std::move(codes));
}
