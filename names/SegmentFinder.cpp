#include "names/SegmentFinder.h"

#include <algorithm>

namespace {

constexpr int Latin1 = 256;

} // namespace

SegmentFinder::SegmentFinder(int tokenCount, const std::function<bool(int, char16_t)> &matches,
                             std::vector<char16_t> boundaries)
    : m_length(tokenCount), m_words((tokenCount + 63) / 64)
{
    // Above Latin-1 the characters fall into classes, between two
    // boundaries, within which every token fits all or none.
    boundaries.push_back(char16_t(Latin1));
    std::erase_if(boundaries, [](char16_t c) { return c < Latin1; });
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
    m_bounds = std::move(boundaries);

    const size_t classes = Latin1 + m_bounds.size();
    m_masks.assign(classes * size_t(m_words), 0);
    for (size_t cls = 0; cls < classes; ++cls) {
        const char16_t c = cls < Latin1 ? char16_t(cls) : m_bounds[cls - Latin1];
        std::uint64_t *mask = m_masks.data() + cls * size_t(m_words);
        for (int t = 0; t < m_length; ++t)
            if (matches(t, c))
                mask[t / 64] |= std::uint64_t(1) << (t % 64);
    }
}

const std::uint64_t *SegmentFinder::maskOf(char16_t c) const
{
    size_t cls = c;
    if (c >= Latin1)
        cls = Latin1 + size_t(std::upper_bound(m_bounds.begin(), m_bounds.end(), c) - m_bounds.begin()) - 1;
    return m_masks.data() + cls * size_t(m_words);
}

qsizetype SegmentFinder::find(QStringView name, qsizetype from, qsizetype to) const
{
    // Bit t of the state: the last t+1 characters read fit the first t+1
    // tokens. The run fits when the bit of its last token is set.
    const int lastWord = (m_length - 1) / 64;
    const std::uint64_t lastBit = std::uint64_t(1) << ((m_length - 1) % 64);
    if (m_words == 1) {
        std::uint64_t state = 0;
        for (qsizetype i = from; i < to; ++i) {
            state = ((state << 1) | 1) & *maskOf(name[i].unicode());
            if (state & lastBit)
                return i + 1 - m_length;
        }
        return -1;
    }
    std::vector<std::uint64_t> state(size_t(m_words), 0);
    for (qsizetype i = from; i < to; ++i) {
        const std::uint64_t *mask = maskOf(name[i].unicode());
        std::uint64_t carry = 1;
        for (int w = 0; w < m_words; ++w) {
            const std::uint64_t next = state[size_t(w)] >> 63;
            state[size_t(w)] = ((state[size_t(w)] << 1) | carry) & mask[w];
            carry = next;
        }
        if (state[size_t(lastWord)] & lastBit)
            return i + 1 - m_length;
    }
    return -1;
}
