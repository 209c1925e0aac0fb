// Compiles fuzzed name patterns and matches them against fuzzed names. Short
// inputs are also matched by the tests' plain reference matcher
// (tests/ReferencePattern.h), written from the pattern rules alone; any
// disagreement, on a match or on whether the pattern compiles at all, stops
// the fuzzer.
//
// Input: byte 0 chooses how the rest is read (bit 0: UTF-16 code units, two
// bytes each, little-endian; otherwise UTF-8), byte 1 where the rest splits
// into the pattern (before) and the name (after).

#include "ReferencePattern.h"
#include "names/LikePattern.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

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
    const std::optional<ReferencePattern> reference = ReferencePattern::parse(pattern);
    if (compiled.has_value() != reference.has_value())
        disagreement(compiled ? "compiled, the reference refuses" : "refused, the reference compiles", pattern, name);
    if (compiled && matched != reference->matches(name))
        disagreement(matched ? "matched, the reference does not" : "no match, the reference matches", pattern, name);
    return 0;
}
