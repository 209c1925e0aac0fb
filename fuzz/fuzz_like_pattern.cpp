// Compiles fuzzed name patterns and matches them against fuzzed names. Short
// inputs are also matched by a plain reference matcher written here from the
// pattern rules alone; any disagreement, on a match or on whether the pattern
// compiles at all, stops the fuzzer.
//
// Input: byte 0 chooses how the rest is read (bit 0: UTF-16 code units, two
// bytes each, little-endian; otherwise UTF-8), byte 1 where the rest splits
// into the pattern (before) and the name (after).

#include "communes/LikePattern.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The reference matcher reads the rules in the header of LikePattern.h again,
// its own way: it finds the list's end first and then reads the list, and it
// matches by filling a table of (pattern position, name position) pairs.
struct RefToken
{
    enum Kind { Literal, Any, Digit, List, Star };

    explicit RefToken(Kind k) : kind(k) {}

    Kind kind;
    char16_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char16_t, char16_t>> ranges;
};

std::optional<std::vector<RefToken>> referenceCompile(const std::u16string &pattern)
{
    std::vector<RefToken> tokens;
    for (std::size_t i = 0; i < pattern.size();) {
        const char16_t c = pattern[i];
        if (c == u'*') {
            tokens.emplace_back(RefToken::Star);
            ++i;
        } else if (c == u'?') {
            tokens.emplace_back(RefToken::Any);
            ++i;
        } else if (c == u'#') {
            tokens.emplace_back(RefToken::Digit);
            ++i;
        } else if (c == u'[') {
            std::size_t start = i + 1;
            const bool negated = start < pattern.size() && pattern[start] == u'!';
            if (negated)
                ++start;
            const std::size_t close = pattern.find(u']', start);
            if (close == std::u16string::npos)
                return std::nullopt;
            const std::u16string list = pattern.substr(start, close - start);
            if (list.empty())
                return std::nullopt;
            RefToken token(RefToken::List);
            token.negated = negated;
            for (std::size_t k = 0; k < list.size();) {
                if (k + 2 < list.size() && list[k + 1] == u'-') {
                    token.ranges.emplace_back(list[k], list[k + 2]);
                    k += 3;
                } else {
                    token.ranges.emplace_back(list[k], list[k]);
                    ++k;
                }
            }
            tokens.push_back(std::move(token));
            i = close + 1;
        } else {
            RefToken token(RefToken::Literal);
            token.ch = c;
            tokens.push_back(std::move(token));
            ++i;
        }
    }
    return tokens;
}

bool referenceTokenMatches(const RefToken &token, char16_t c)
{
    switch (token.kind) {
    case RefToken::Literal:
        return c == token.ch;
    case RefToken::Any:
        return true;
    case RefToken::Digit:
        return c >= u'0' && c <= u'9';
    case RefToken::List: {
        bool listed = false;
        for (const auto &[low, high] : token.ranges)
            listed = listed || (low <= c && c <= high);
        return listed != token.negated;
    }
    case RefToken::Star:
        break;
    }
    return false;
}

bool referenceMatch(const std::vector<RefToken> &tokens, const std::u16string &name)
{
    // fits[t][n]: tokens from t on match the name from n on.
    const std::size_t tokenCount = tokens.size();
    const std::size_t nameLength = name.size();
    std::vector<std::vector<char>> fits(tokenCount + 1, std::vector<char>(nameLength + 1, 0));
    fits[tokenCount][nameLength] = 1;
    for (std::size_t t = tokenCount; t-- > 0;) {
        for (std::size_t n = nameLength + 1; n-- > 0;) {
            if (tokens[t].kind == RefToken::Star)
                fits[t][n] = fits[t + 1][n] || (n < nameLength && fits[t][n + 1]);
            else
                fits[t][n] = n < nameLength && referenceTokenMatches(tokens[t], name[n]) && fits[t + 1][n + 1];
        }
    }
    return fits[0][0];
}

QString decode(const std::uint8_t *data, std::size_t size, bool utf16)
{
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(data[i] | data[i + 1] << 8)));
    return text;
}

constexpr qsizetype ReferenceLimit = 64;

// The code units of a text in hexadecimal, lone surrogates included.
QByteArray codeUnits(const QString &text)
{
    QByteArray units;
    for (const QChar c : text)
        units += QByteArray::number(c.unicode(), 16).rightJustified(4, '0') + ' ';
    return units;
}

[[noreturn]] void disagreement(const char *what, const QString &pattern, const QString &name)
{
    std::fprintf(stderr, "LikePattern and the reference disagree (%s)\n  pattern: %s\n  name:    %s\n", what,
                 codeUnits(pattern).constData(), codeUnits(name).constData());
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool utf16 = data[0] & 1;
    const std::size_t rest = size - 2;
    std::size_t split = data[1] % (rest + 1);
    if (utf16)
        split &= ~std::size_t(1);
    const QString pattern = decode(data + 2, split, utf16);
    const QString name = decode(data + 2 + split, rest - split, utf16);

    QString error;
    const std::optional<LikePattern> compiled = LikePattern::compile(pattern, &error);
    const bool matched = compiled && likeMatch(name, *compiled);
    if (!compiled && error.isEmpty())
        disagreement("refused without a message", pattern, name);

    if (pattern.size() > ReferenceLimit || name.size() > ReferenceLimit)
        return 0;
    const std::optional<std::vector<RefToken>> reference = referenceCompile(pattern.toStdU16String());
    if (compiled.has_value() != reference.has_value())
        disagreement(compiled ? "compiled, the reference refuses" : "refused, the reference compiles", pattern,
                     name);
    if (compiled && matched != referenceMatch(*reference, name.toStdU16String()))
        disagreement(matched ? "matched, the reference does not" : "no match, the reference matches", pattern,
                     name);
    return 0;
}
