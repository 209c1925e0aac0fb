#include "search/SearchMatches.h"

#include "store/NumberText.h"

#include <algorithm>

SearchMatches::SearchMatches(std::vector<Match> matches) : m_matches(std::move(matches))
{
    m_rows.reserve(m_matches.size());
    for (const Match &match : m_matches)
        m_rows.push_back(match.row);
}

SearchMatches::SearchMatches(const std::vector<int> &rows, MatchKind kind) : m_rows(rows)
{
    m_matches.reserve(rows.size());
    for (const int row : rows)
        m_matches.push_back({row, kind, {}, {}, 0});
}

QString SearchMatches::code(int index) const
{
    return index >= 0 && index < count() ? m_matches[size_t(index)].code : QString();
}

QString SearchMatches::postcode(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const Match &match = m_matches[size_t(index)];
    const bool isInsee = match.kind == MatchKind::InseeCode || match.kind == MatchKind::FormerInseeCode
                         || match.kind == MatchKind::AtDate;
    return isInsee ? QString() : match.code;
}

bool SearchMatches::hasKind(MatchKind kind) const
{
    return std::any_of(m_matches.begin(), m_matches.end(), [kind](const Match &match) { return match.kind == kind; });
}

int SearchMatches::next()
{
    if (m_rows.empty())
        return -1;
    m_index = (m_index + 1) % count();
    return row();
}

int SearchMatches::select(int index)
{
    if (m_rows.empty())
        return -1;
    m_index = std::clamp(index, 0, count() - 1);
    return row();
}

QString SearchMatches::countText() const
{
    return QStringLiteral("%1 sur %2").arg(m_index + 1).arg(count());
}

OtherName SearchMatches::otherName(int index) const
{
    return index >= 0 && index < count() ? m_matches[size_t(index)].other : OtherName{};
}

namespace {

QString fieldOfRow(const Recordset &records, int row, const char16_t *name)
{
    const QVariant value = records.column(records.fieldIndex(name)).value(size_t(row));
    return value.isNull() ? QString() : valueToText(value);
}

} // namespace

QString otherNameWay(MatchKind kind, const OtherName &other, const QString &from, const QString &current,
                     WayLength length)
{
    // The steps say the kind and date of each change; an associée or a
    // déléguée still says what it is today, with the day it became one when
    // that was its one step.
    const std::vector<HistoryStep> &steps = other.steps;
    const bool partOfIt = kind == MatchKind::Deleguee || kind == MatchKind::Associee;
    if (partOfIt && steps.size() == 1 && steps.front().name == current)
        return QStringLiteral("%1 → %2 (%3, %4)").arg(from, current, other.kind, frenchDate(steps.front().date));
    if (steps.empty())
        return {};
    const QString way = length == WayLength::Whole ? wayText(from, steps, current) : shortWayText(from, steps, current);
    return partOfIt ? way + QStringLiteral(" ; aujourd'hui %1").arg(other.kind) : way;
}

QString otherNameText(const Recordset &records, const SearchMatches &matches, int index, WayLength length)
{
    const Match &match = matches.match(index);
    const QString current = fieldOfRow(records, match.row, u"commune");
    QString text;
    switch (match.kind) {
    case MatchKind::InseeCode:
        return QStringLiteral("code INSEE %1 → %2").arg(match.code, current);
    case MatchKind::Postcode:
        // Told only beside communes found by an INSEE code: both kinds of
        // code then say which they are.
        if (!matches.hasKind(MatchKind::InseeCode) && !matches.hasKind(MatchKind::FormerInseeCode))
            return {};
        return QStringLiteral("code postal %1 → %2").arg(match.code, current);
    case MatchKind::FormerInseeCode:
        text = QStringLiteral("%1, code INSEE %2").arg(match.other.name, match.code);
        break;
    default:
        if (match.other.name.isEmpty())
            return {};
        text = match.other.name;
    }
    if (const QString way = otherNameWay(match.kind, match.other, text, current, length); !way.isEmpty())
        return way;
    text += QStringLiteral(" → ") + current;
    return match.other.kind.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(match.other.kind);
}

QString matchLine(const Recordset &records, const SearchMatches &matches, int index, WayLength length)
{
    const int row = matches.rows()[size_t(index)];
    QStringList fields;
    for (const char16_t *name : {u"commune", u"codepos", u"departement"})
        fields << fieldOfRow(records, row, name);
    if (const QString other = otherNameText(records, matches, index, length); !other.isEmpty())
        fields[0] = other;
    if (const QString code = matches.postcode(index); !code.isEmpty())
        fields[1] = code;
    return fields.join(QStringLiteral(" — "));
}
