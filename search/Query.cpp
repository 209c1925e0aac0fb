#include "search/Query.h"

#include "names/UsualForms.h"

#include "store/CommuneDatabase.h"
#include "store/NameFolding.h"

std::optional<Query> Query::make(QStringView text, Constraints constraints, QString *error)
{
    Query query;
    query.m_typed = text.toString().toUpper();
    query.m_writtenLength = characterCount(text);
    const QStringView trimmed = QStringView(query.m_typed).trimmed();
    query.m_trimmedFrom = trimmed.data() - query.m_typed.constData();
    query.m_trimmedLength = trimmed.size();
    query.m_folded = foldPattern(query.m_typed);
    query.m_plain = !hasWildcard(query.m_typed) && !hasWildcard(query.m_folded);
    PostcodeText postcode = readPostcode(constraints.postcode);
    constraints.postcode = std::move(postcode.code);
    query.m_postcodeZeroAdded = postcode.zeroAdded;
    constraints.departement = constraints.departement.trimmed();
    constraints.date = constraints.date.trimmed();
    if (!constraints.date.isEmpty()) {
        query.m_period = parseDatePeriod(constraints.date);
        if (!query.m_period) {
            if (error)
                *error = QStringLiteral("date invalide : « %1 » (AAAA, AAAA-MM ou AAAA-MM-JJ)").arg(constraints.date);
            return std::nullopt;
        }
    }
    query.m_constraints = std::move(constraints);
    // A plain name compiles whenever its length does; a pattern is compiled
    // now, to be refused now.
    if (!query.m_plain || query.m_writtenLength > NamePattern::MaxLength) {
        query.m_pattern = NamePattern::compile(query.m_typed, query.m_folded, error, query.m_writtenLength);
        if (!query.m_pattern)
            return std::nullopt;
    }
    return query;
}

const NamePattern &Query::pattern() const
{
    if (!m_pattern)
        m_pattern = NamePattern::compile(m_typed, m_folded, nullptr, m_writtenLength);
    return *m_pattern;
}

Query Query::near(GeoPoint point, int count)
{
    Query query;
    query.m_point = point;
    query.m_nearestCount = count;
    return query;
}
