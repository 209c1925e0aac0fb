#include "names/Suggestions.h"

#include "names/LikePattern.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <map>
#include <string_view>

namespace {

std::u16string_view view(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())};
}

std::uint32_t lettersOf(QStringView text)
{
    std::uint32_t letters = 0;
    for (const QChar c : text) {
        if (c >= u'A' && c <= u'Z')
            letters |= 1u << (c.unicode() - u'A');
    }
    return letters;
}

// Keeps the `limit` best of the entries offered, best first.
template <typename Better>
class Best
{
public:
    Best(size_t limit, Better better) : m_limit(limit), m_better(better) {}

    void offer(std::uint32_t entry)
    {
        if (m_kept.size() == m_limit && !m_better(entry, m_kept.back()))
            return;
        m_kept.insert(std::upper_bound(m_kept.begin(), m_kept.end(), entry, m_better), entry);
        if (m_kept.size() > m_limit)
            m_kept.pop_back();
    }
    const std::vector<std::uint32_t> &kept() const { return m_kept; }

private:
    size_t m_limit;
    Better m_better;
    std::vector<std::uint32_t> m_kept;
};

} // namespace

int boundedEditDistance(QStringView a, QStringView b, int limit)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Three rows of the table of distances between prefixes, the one before
    // last for the swaps.
    std::vector<int> before(size_t(m + 1)), previous(size_t(m + 1)), current(size_t(m + 1));
    for (qsizetype j = 0; j <= m; ++j)
        previous[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = int(i);
        int rowBest = current[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, previous[size_t(j - 1)] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[size_t(j - 2)] + 1);
            current[size_t(j)] = d;
            rowBest = std::min(rowBest, d);
        }
        if (rowBest > limit)
            return limit + 1; // no later row can come back under the limit
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return std::min(previous[size_t(m)], limit + 1);
}

Recordset SuggestionIndex::otherNamesIn(Database *db)
{
    try {
        return db ? db->openRecordset(QStringLiteral("autres_noms")) : Recordset();
    } catch (const DatabaseError &) {
        return {}; // no other names in this file
    }
}

size_t SuggestionIndex::expectedBytes(const Recordset &communes, const Recordset &others)
{
    // An entry, its places in the name and length orders, two later words,
    // and the population read while making it.
    constexpr size_t PerName = sizeof(Entry) + 2 * 4 + 2 * sizeof(WordStart) + 8;
    return PerName * size_t(communes.recordCount() + (others.table() ? others.recordCount() : 0));
}

SuggestionIndex::SuggestionIndex(const Recordset &communes, Database *db, Use use)
    : SuggestionIndex(communes, otherNamesIn(db), use)
{
}

SuggestionIndex::SuggestionIndex(const Recordset &communes, const Recordset &others, Use use) : m_communes(communes)
{
    m_communeNames = m_communes.fieldIndex(u"commune");
    const Column &names = m_communes.column(m_communeNames);
    const Column *populations = nullptr;
    try {
        populations = &m_communes.column(m_communes.fieldIndex(u"population"));
    } catch (const DatabaseError &) {
        // a user's own file: the suggestions keep the table's order
    }
    const auto add = [this](std::uint32_t sourceRow, int communeRow, qint64 population, bool other) {
        Entry entry{sourceRow, communeRow, std::int32_t(std::clamp<qint64>(population, -1, INT32_MAX)), 0, 0, other};
        const QStringView name = folded(entry);
        if (name.isEmpty() || name.size() > UINT16_MAX)
            return;
        entry.letters = lettersOf(name);
        entry.length = std::uint16_t(name.size());
        m_entries.push_back(entry);
    };
    // Sized once: grown by halves, the entries of millions of names would be
    // held twice while they move.
    m_entries.reserve(size_t(m_communes.recordCount()) + size_t(others.table() ? others.recordCount() : 0));
    std::vector<qint64> populationOf(size_t(m_communes.recordCount()), -1);
    for (int row = 0; row < m_communes.recordCount(); ++row) {
        if (names.kind(size_t(row)) != Column::Kind::Text)
            continue;
        if (populations && !populations->isNull(size_t(row)))
            populationOf[size_t(row)] = populations->value(size_t(row)).toLongLong();
        add(std::uint32_t(row), row, populationOf[size_t(row)], false);
    }
    const size_t currentCount = m_entries.size();
    if (others.table()) {
        try {
            m_others = others;
            m_otherNames = m_others.fieldIndex(u"commune");
            const Column &otherNames = m_others.column(m_otherNames);
            const Column &targets = m_others.column(m_others.fieldIndex(u"actuelle"));
            for (int row = 0; row < m_others.recordCount(); ++row) {
                bool isNumber = false;
                const std::optional<int> commune =
                    m_communes.rowOfRowid(targets.value(size_t(row)).toLongLong(&isNumber));
                if (!isNumber || !commune || otherNames.kind(size_t(row)) != Column::Kind::Text)
                    continue;
                add(std::uint32_t(row), *commune, populationOf[size_t(*commune)], true);
            }
        } catch (const DatabaseError &) {
            m_otherNames = -1; // no other names in this file
        }
    }

    if (use == Use::WhileTypingToo)
        sortByName(currentCount);

    // By length, in entry order within each length: counted, not sorted.
    size_t longest = 0;
    for (const Entry &entry : m_entries)
        longest = std::max<size_t>(longest, entry.length);
    m_lengthStart.assign(longest + 2, 0);
    for (const Entry &entry : m_entries)
        ++m_lengthStart[size_t(entry.length) + 1];
    for (size_t length = 1; length < m_lengthStart.size(); ++length)
        m_lengthStart[length] += m_lengthStart[length - 1];
    m_byLength.resize(m_entries.size());
    std::vector<std::uint32_t> next(m_lengthStart.begin(), m_lengthStart.end() - 1);
    for (std::uint32_t i = 0; i < m_entries.size(); ++i)
        m_byLength[next[m_entries[i].length]++] = i;
}

void SuggestionIndex::sortByName(size_t currentCount)
{
    m_byName.resize(currentCount);
    for (std::uint32_t i = 0; i < currentCount; ++i)
        m_byName[i] = i;
    std::sort(m_byName.begin(), m_byName.end(), [this](std::uint32_t a, std::uint32_t b) {
        return view(folded(m_entries[a])) < view(folded(m_entries[b]));
    });
    for (std::uint32_t i = 0; i < currentCount; ++i) {
        const QStringView name = folded(m_entries[i]);
        for (qsizetype at = 1; at < name.size(); ++at) {
            if (name[at - 1] == u' ' && name[at] != u' ')
                m_byWord.push_back({i, std::uint16_t(at)});
        }
    }
    std::sort(m_byWord.begin(), m_byWord.end(), [this](WordStart a, WordStart b) {
        return view(folded(m_entries[a.entry]).mid(a.offset)) < view(folded(m_entries[b.entry]).mid(b.offset));
    });
}

QStringView SuggestionIndex::folded(const Entry &entry) const
{
    const Recordset &table = entry.other ? m_others : m_communes;
    const FoldedNames *folded = table.foldedNames();
    if (!folded || folded->sameAsNames())
        return stored(entry);
    const std::uint64_t place = folded->cells()[entry.sourceRow];
    return QStringView(folded->chars() + std::uint32_t(place), qsizetype(place >> 32));
}

QStringView SuggestionIndex::stored(const Entry &entry) const
{
    return entry.other ? m_others.column(m_otherNames).text(entry.sourceRow)
                       : m_communes.column(m_communeNames).text(entry.sourceRow);
}

Suggestion SuggestionIndex::suggestion(const Entry &entry, int edits) const
{
    return {stored(entry).toString(), entry.communeRow, edits, entry.population};
}

std::vector<Suggestion> SuggestionIndex::whileTyping(QStringView typed, size_t limit) const
{
    if (hasWildcard(typed))
        return {};
    const QString prefix = foldName(typed);
    if (prefix.size() < 2)
        return {};
    const std::u16string_view wanted = view(prefix);
    const auto startsWith = [&](QStringView name) { return view(name).substr(0, wanted.size()) <=> wanted; };
    const auto morePopulous = [this](std::uint32_t a, std::uint32_t b) {
        const Entry &x = m_entries[a];
        const Entry &y = m_entries[b];
        return x.population != y.population ? x.population > y.population : x.communeRow < y.communeRow;
    };

    Best first(limit, morePopulous);
    auto low = std::partition_point(m_byName.begin(), m_byName.end(),
                                    [&](std::uint32_t e) { return startsWith(folded(m_entries[e])) < 0; });
    auto high = std::partition_point(low, m_byName.end(),
                                     [&](std::uint32_t e) { return startsWith(folded(m_entries[e])) == 0; });
    for (auto it = low; it != high; ++it)
        first.offer(*it);
    std::vector<Suggestion> shown;
    for (const std::uint32_t e : first.kept())
        shown.push_back(suggestion(m_entries[e], 0));
    if (shown.size() == limit)
        return shown;

    Best later(limit - shown.size(), morePopulous);
    const auto wordAt = [&](WordStart w) { return startsWith(folded(m_entries[w.entry]).mid(w.offset)); };
    const QString blankPrefix = u' ' + prefix;
    const std::u16string_view afterBlank = view(blankPrefix);
    auto wordLow = std::partition_point(m_byWord.begin(), m_byWord.end(), [&](WordStart w) { return wordAt(w) < 0; });
    auto wordHigh = std::partition_point(wordLow, m_byWord.end(), [&](WordStart w) { return wordAt(w) == 0; });
    for (auto it = wordLow; it != wordHigh; ++it) {
        // A name with the prefix at its start is listed already, and a name
        // with two such words is offered once.
        const std::u16string_view name = view(folded(m_entries[it->entry]));
        if (name.substr(0, wanted.size()) == wanted || name.find(afterBlank) < size_t(it->offset - 1))
            continue;
        later.offer(it->entry);
    }
    for (const std::uint32_t e : later.kept())
        shown.push_back(suggestion(m_entries[e], 0));
    return shown;
}

std::vector<Suggestion> SuggestionIndex::afterTypo(QStringView typed, size_t limit) const
{
    constexpr int MaxEdits = 2;
    if (hasWildcard(typed))
        return {};
    const QString wanted = foldName(typed);
    if (wanted.size() < 2 || m_lengthStart.empty())
        return {};
    const std::uint32_t letters = lettersOf(wanted);
    const size_t shortest = size_t(std::max<qsizetype>(1, wanted.size() - MaxEdits));
    const size_t longest = std::min(size_t(wanted.size() + MaxEdits), m_lengthStart.size() - 2);
    // The best entry for each distinct name.
    std::map<std::u16string_view, std::pair<int, std::uint32_t>> best;
    const auto better = [this](std::pair<int, std::uint32_t> a, std::pair<int, std::uint32_t> b) {
        const Entry &x = m_entries[a.second];
        const Entry &y = m_entries[b.second];
        if (a.first != b.first)
            return a.first < b.first;
        if (x.population != y.population)
            return x.population > y.population;
        if (x.other != y.other)
            return !x.other;
        return a.second < b.second;
    };
    for (size_t length = shortest; length <= longest; ++length) {
        for (std::uint32_t i = m_lengthStart[length]; i < m_lengthStart[length + 1]; ++i) {
            const Entry &entry = m_entries[m_byLength[i]];
            // Each letter on one side only takes an edit of its own.
            if (std::popcount(letters & ~entry.letters) > MaxEdits
                || std::popcount(entry.letters & ~letters) > MaxEdits)
                continue;
            const QStringView name = folded(entry);
            const int edits = boundedEditDistance(wanted, name, MaxEdits);
            if (edits > MaxEdits)
                continue;
            const std::pair<int, std::uint32_t> found{edits, m_byLength[i]};
            auto [at, inserted] = best.try_emplace(view(name), found);
            if (!inserted && better(found, at->second))
                at->second = found;
        }
    }
    std::vector<std::pair<int, std::uint32_t>> ranked;
    for (const auto &[name, found] : best)
        ranked.push_back(found);
    std::sort(ranked.begin(), ranked.end(), better);
    std::vector<Suggestion> shown;
    for (size_t i = 0; i < std::min(limit, ranked.size()); ++i)
        shown.push_back(suggestion(m_entries[ranked[i].second], ranked[i].first));
    return shown;
}

size_t SuggestionIndex::memoryBytes() const
{
    return m_entries.capacity() * sizeof(Entry) + m_byName.capacity() * 4 + m_byWord.capacity() * sizeof(WordStart)
           + m_byLength.capacity() * 4 + m_lengthStart.capacity() * 4;
}

QString noMatchMessage(QStringView typed, const std::vector<Suggestion> &suggestions)
{
    QString message = QStringLiteral("Aucune commune ne répond à « %1 ».").arg(typed.trimmed());
    if (suggestions.empty())
        return message;
    QStringList names;
    for (const Suggestion &suggestion : suggestions)
        names << suggestion.name;
    return message + QStringLiteral(" Vouliez-vous dire %1 ?").arg(names.join(QStringLiteral(", ")));
}
