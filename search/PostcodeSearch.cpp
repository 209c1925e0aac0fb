#include "search/PostcodeSearch.h"

bool isPostcodeText(QStringView typed)
{
    int digits = 0;
    for (const QChar c : typed) {
        if (c.unicode() >= u'0' && c.unicode() <= u'9')
            ++digits;
        else if (!QStringView(u"?*#[]!-").contains(c))
            return false;
    }
    return digits >= 2;
}

std::vector<Match> findCommunesByPostcode(const Recordset &communes, const PostalCodes &codes,
                                          const LikePattern &pattern)
{
    std::vector<Match> matches;
    for (int row = 0; row < communes.recordCount(); ++row) {
        for (const QString &code : codes.of(row)) {
            if (likeMatch(code, pattern)) {
                matches.push_back({row, MatchKind::Postcode, code, {}, 0});
                break;
            }
        }
    }
    return matches;
}
