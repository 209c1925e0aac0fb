#include "communes/FindCommunes.h"

#include "communes/CommuneSearch.h"
#include "communes/LocatorSearch.h"
#include "communes/PostcodeSearch.h"

SearchMatches findCommunes(Database &db, const Recordset &communes, const NamePattern &pattern, QStringView typed)
{
    std::vector<int> rows = findAllCommunes(communes, pattern);
    if (rows.empty() && isLocatorText(typed))
        return SearchMatches(findCommunesByLocator(communes, typed));
    if (!rows.empty() || !isPostcodeText(typed))
        return SearchMatches(std::move(rows));
    const std::optional<LikePattern> code = LikePattern::compile(typed);
    if (!code)
        return {};
    QStringList codes;
    for (const PostcodeMatch &match : findCommunesByPostcode(db, communes, *code)) {
        rows.push_back(match.row);
        codes << match.code;
    }
    return SearchMatches(std::move(rows), std::move(codes));
}
