#pragma once

#include <QStringView>

#include <array>
#include <bitset>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// The name patterns read the plain way: the pattern is a row of elements and
// the name runs through all of them at once, each element either waiting (a
// star) or taking one character. It shares only the rules with the program's
// matcher, so the two are held against each other: on every search of the
// random-use test, and on every short input of the pattern fuzzer.
class ReferencePattern
{
public:
    static std::optional<ReferencePattern> parse(QStringView text);
    bool matches(QStringView name) const;

private:
    struct Element
    {
        bool star = false;
        bool any = false;
        bool negated = false;
        std::vector<std::pair<char16_t, char16_t>> ranges; // one character is a range of one

        bool accepts(char16_t c) const
        {
            if (any)
                return true;
            bool listed = false;
            for (const auto &[low, high] : ranges)
                listed = listed || (c >= low && c <= high);
            return listed != negated;
        }
    };
    static constexpr size_t maxElements = 255;
    using States = std::bitset<maxElements + 1>;

    States acceptedBy(char16_t c) const;
    States closed(States states) const { return states | ((states & m_stars) << 1); }
    bool matchesSlowly(QStringView name) const;

    std::vector<Element> m_elements;
    qsizetype m_needed = 0; // characters that every match takes
    bool m_hasStar = false;
    States m_stars;
    std::array<States, 128> m_ascii; // acceptedBy for the characters names are made of
};

inline std::optional<ReferencePattern> ReferencePattern::parse(QStringView text)
{
    ReferencePattern pattern;
    auto &elements = pattern.m_elements;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        Element element;
        if (c == u'*') {
            ++i;
            pattern.m_hasStar = true;
            if (!elements.empty() && elements.back().star)
                continue; // two stars in a row match what one does
            element.star = true;
        } else if (c == u'?') {
            element.any = true;
            ++i;
        } else if (c == u'#') {
            element.ranges = {{u'0', u'9'}};
            ++i;
        } else if (c == u'[') {
            qsizetype from = i + 1;
            element.negated = from < text.size() && text[from] == u'!';
            if (element.negated)
                ++from;
            const qsizetype close = text.indexOf(u']', from);
            if (close < 0)
                return std::nullopt; // "[" without its "]"
            const QStringView list = text.sliced(from, close - from);
            if (list.isEmpty())
                return std::nullopt; // "[]", "[!]"
            for (qsizetype k = 0; k < list.size();) {
                if (k + 2 < list.size() && list[k + 1] == u'-') {
                    element.ranges.emplace_back(list[k].unicode(), list[k + 2].unicode());
                    k += 3;
                } else {
                    element.ranges.emplace_back(list[k].unicode(), list[k].unicode());
                    ++k;
                }
            }
            i = close + 1;
        } else {
            element.ranges = {{c, c}};
            ++i;
        }
        if (!element.star)
            ++pattern.m_needed;
        elements.push_back(std::move(element));
    }
    for (size_t e = 0; e < elements.size() && e < maxElements; ++e)
        pattern.m_stars[e] = elements[e].star;
    for (char16_t c = 0; c < 128; ++c)
        pattern.m_ascii[c] = pattern.acceptedBy(c);
    return pattern;
}

inline ReferencePattern::States ReferencePattern::acceptedBy(char16_t c) const
{
    States accepted;
    for (size_t e = 0; e < m_elements.size() && e < maxElements; ++e)
        accepted[e] = !m_elements[e].star && m_elements[e].accepts(c);
    return accepted;
}

inline bool ReferencePattern::matches(QStringView name) const
{
    if (name.size() < m_needed || (!m_hasStar && name.size() != m_needed))
        return false;
    if (m_elements.size() > maxElements)
        return matchesSlowly(name);
    States states = closed(States().set(0));
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        const States accepted = c < 128 ? m_ascii[c] : acceptedBy(c);
        states = closed(((states & accepted) << 1) | (states & m_stars));
        if (states.none())
            return false;
    }
    return states[m_elements.size()];
}

// The same walk for patterns too long for the bit rows.
inline bool ReferencePattern::matchesSlowly(QStringView name) const
{
    const size_t count = m_elements.size();
    std::vector<char> states(count + 1, 0);
    const auto close = [&](std::vector<char> &s) {
        for (size_t e = 0; e < count; ++e)
            if (s[e] && m_elements[e].star)
                s[e + 1] = 1;
    };
    states[0] = 1;
    close(states);
    for (const QChar ch : name) {
        std::vector<char> next(count + 1, 0);
        for (size_t e = 0; e < count; ++e) {
            if (!states[e])
                continue;
            if (m_elements[e].star)
                next[e] = 1;
            else if (m_elements[e].accepts(ch.unicode()))
                next[e + 1] = 1;
        }
        close(next);
        states.swap(next);
    }
    return states[count];
}
