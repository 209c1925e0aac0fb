#include "names/LikePattern.h"

namespace {

QString invalidPattern(const char *reason)
{
    return QStringLiteral("Motif de recherche invalide : %1").arg(QString::fromUtf8(reason));
}

} // namespace

std::optional<LikePattern> LikePattern::compile(QStringView pattern, QString *error)
{
    LikePattern compiled;
    auto fail = [error](const char *reason) -> std::optional<LikePattern> {
        if (error)
            *error = invalidPattern(reason);
        return std::nullopt;
    };
    auto tokenCount = [&compiled] { return std::uint32_t(compiled.m_tokens.size()); };
    auto addToken = [&compiled](Token token) {
        compiled.m_tokens.push_back(token);
        compiled.m_text.append(QChar(token.ch));
    };

    const qsizetype size = pattern.size();
    std::uint32_t segmentBegin = 0;
    qsizetype i = 0;
    while (i < size) {
        const char16_t c = pattern[i].unicode();
        if (c == u'*') {
            // A run of stars is one star: an empty segment between them
            // would only cost time in every match.
            if (!compiled.m_hasStar || segmentBegin != tokenCount())
                compiled.endSegment(segmentBegin);
            compiled.m_hasStar = true;
            segmentBegin = tokenCount();
            ++i;
        } else if (c == u'?') {
            addToken({Kind::AnyChar, 0, 0, 0});
            ++i;
        } else if (c == u'#') {
            addToken({Kind::Digit, 0, 0, 0});
            ++i;
        } else if (c == u'[') {
            qsizetype j = i + 1;
            const bool negated = j < size && pattern[j] == u'!';
            if (negated)
                ++j;
            const auto first = std::uint32_t(compiled.m_ranges.size());
            while (j < size && pattern[j] != u']') {
                const char16_t low = pattern[j].unicode();
                if (j + 2 < size && pattern[j + 1] == u'-' && pattern[j + 2] != u']') {
                    compiled.m_ranges.push_back({low, pattern[j + 2].unicode()});
                    j += 3;
                } else {
                    compiled.m_ranges.push_back({low, low});
                    ++j;
                }
            }
            if (j >= size)
                return fail("crochet non fermé");
            const auto count = std::uint32_t(compiled.m_ranges.size()) - first;
            if (count == 0)
                return fail("liste vide");
            addToken({negated ? Kind::NotInList : Kind::InList, 0, first, count});
            i = j + 1;
        } else {
            addToken({Kind::Literal, c, 0, 0});
            ++i;
        }
    }
    compiled.endSegment(segmentBegin);
    compiled.buildFinders();
    compiled.m_minLength = qsizetype(compiled.m_tokens.size());
    const Segment &head = compiled.m_segments.front();
    if (head.length() > 0 && compiled.m_tokens[head.begin].kind == Kind::Literal)
        compiled.m_firstChar = compiled.m_tokens[head.begin].ch;
    return compiled;
}

void LikePattern::endSegment(std::uint32_t begin)
{
    const auto end = std::uint32_t(m_tokens.size());
    bool literal = true;
    for (std::uint32_t t = begin; t < end && literal; ++t)
        literal = m_tokens[t].kind == Kind::Literal;
    m_segments.push_back({begin, end, literal});
}

// The middles with wildcards are searched along the name; each gets its
// bit-parallel finder now, so that no search ever tries them at each place
// token by token.
void LikePattern::buildFinders()
{
    for (size_t s = 1; s + 1 < m_segments.size(); ++s) {
        Segment &segment = m_segments[s];
        if (segment.literal)
            continue;
        std::vector<char16_t> boundaries;
        for (std::uint32_t t = segment.begin; t < segment.end; ++t) {
            const Token &token = m_tokens[t];
            if (token.kind == Kind::Literal) {
                boundaries.push_back(token.ch);
                boundaries.push_back(char16_t(token.ch + 1));
            }
            for (std::uint32_t r = token.first; r < token.first + token.count; ++r) {
                boundaries.push_back(m_ranges[r].low);
                boundaries.push_back(char16_t(m_ranges[r].high + 1));
            }
        }
        const auto fits = [this, &segment](int token, char16_t c) {
            return tokenMatches(m_tokens[segment.begin + std::uint32_t(token)], c);
        };
        segment.finder = int(m_finders.size());
        m_finders.emplace_back(int(segment.length()), fits, std::move(boundaries));
    }
}

bool LikePattern::tokenMatches(const Token &token, char16_t c) const
{
    switch (token.kind) {
    case Kind::Literal:
        return c == token.ch;
    case Kind::AnyChar:
        return true;
    case Kind::Digit:
        return c >= u'0' && c <= u'9';
    case Kind::InList:
    case Kind::NotInList: {
        bool listed = false;
        for (std::uint32_t r = token.first; r < token.first + token.count && !listed; ++r)
            listed = c >= m_ranges[r].low && c <= m_ranges[r].high;
        return listed == (token.kind == Kind::InList);
    }
    }
    return false;
}

bool LikePattern::segmentMatchesAt(const Segment &segment, QStringView name, qsizetype at) const
{
    if (segment.literal)
        return name.sliced(at, segment.length()) == QStringView(m_text).sliced(segment.begin, segment.length());
    for (std::uint32_t t = segment.begin; t < segment.end; ++t, ++at) {
        if (!tokenMatches(m_tokens[t], name[at].unicode()))
            return false;
    }
    return true;
}

// The leftmost place at or after `from` where the segment fits wholly before
// `to`, or -1. A literal segment is a plain text search, which stays fast
// however long the segment is.
qsizetype LikePattern::findSegment(const Segment &segment, QStringView name, qsizetype from, qsizetype to) const
{
    if (segment.literal)
        return name.first(to).indexOf(QStringView(m_text).sliced(segment.begin, segment.length()), from);
    if (segment.finder >= 0)
        return m_finders[size_t(segment.finder)].find(name, from, to);
    for (qsizetype at = from; at + segment.length() <= to; ++at) {
        if (segmentMatchesAt(segment, name, at))
            return at;
    }
    return -1;
}

// Every token stands for exactly one character, so the segments have fixed
// lengths: the head is pinned to the start of the name, the tail to its end,
// and each middle segment is best placed at its leftmost fit after the one
// before it. No choice is ever revisited and each middle is found in one pass
// from where the one before it ended, so a match reads the name about once,
// however many stars there are.
bool LikePattern::matches(QStringView name) const
{
    const qsizetype length = name.size();
    const auto needed = qsizetype(m_tokens.size());
    if (!m_hasStar)
        return length == needed && segmentMatchesAt(m_segments.front(), name, 0);
    if (length < needed)
        return false;

    const Segment &head = m_segments.front();
    const Segment &tail = m_segments.back();
    if (!segmentMatchesAt(head, name, 0) || !segmentMatchesAt(tail, name, length - tail.length()))
        return false;

    qsizetype from = head.length();
    const qsizetype to = length - tail.length();
    for (std::size_t s = 1; s + 1 < m_segments.size(); ++s) {
        const Segment &middle = m_segments[s];
        const qsizetype at = findSegment(middle, name, from, to);
        if (at < 0)
            return false;
        from = at + middle.length();
    }
    return true;
}

bool likeMatch(QStringView name, const LikePattern &pattern)
{
    return pattern.matches(name);
}

bool hasWildcard(QStringView text)
{
    for (const QChar c : text) {
        if (c == u'?' || c == u'*' || c == u'#' || c == u'[')
            return true;
    }
    return false;
}
