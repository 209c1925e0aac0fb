#pragma once

#include "names/LikePattern.h"

#include <QString>
#include <QStringView>
#include <optional>

// What a typed search text finds: a commune whose folded name matches the
// folded text (NameFolding.h), or whose name as stored matches the text as
// typed, so that a pattern that found a name before folding still finds it
// (SAINTE* and a stored "SAINTE MARIE").
class NamePattern
{
public:
    // The longest text taken, in characters: room for any name (at most 255
    // characters) written with a list for each character. The bound keeps
    // compiling cheap: each run between stars gets a finder that grows with
    // the square of the distinct letters in it.
    static constexpr qsizetype MaxLength = 1000;

    // Nothing, with a French message in *error, when the folded text is not
    // a pattern the matcher can use.
    static std::optional<NamePattern> compile(QStringView typed, QString *error = nullptr);
    // The same, for a text whose folded form the caller already made, and
    // the length of the text as the user wrote it when the upper-cased
    // `typed` is longer (ß is SS): the bound is on what the user wrote.
    static std::optional<NamePattern> compile(QStringView typed, const QString &folded, QString *error = nullptr,
                                              qsizetype writtenLength = -1);

    const LikePattern &folded() const { return m_folded; }
    // Null when the typed text is not a pattern as it is.
    const LikePattern *asTyped() const { return m_asTyped ? &*m_asTyped : nullptr; }
    // The typed text is its own folded form: on names that are their own
    // folded form too, the folded pattern alone decides.
    bool typedIsFolded() const { return m_typedIsFolded; }

private:
    explicit NamePattern(LikePattern folded) : m_folded(std::move(folded)) {}

    LikePattern m_folded;
    std::optional<LikePattern> m_asTyped;
    bool m_typedIsFolded = false;
};
