#include "names/NamePattern.h"

#include "store/CommuneDatabase.h"
#include "store/NameFolding.h"

std::optional<NamePattern> NamePattern::compile(QStringView typed, QString *error)
{
    return compile(typed, foldPattern(typed), error);
}

std::optional<NamePattern> NamePattern::compile(QStringView typed, const QString &folded, QString *error,
                                                qsizetype writtenLength)
{
    if (const qsizetype length = writtenLength >= 0 ? writtenLength : characterCount(typed); length > MaxLength) {
        if (error)
            *error = QStringLiteral("Motif de recherche invalide : motif trop long (%1 caractères ; au plus %2)")
                         .arg(length)
                         .arg(MaxLength);
        return std::nullopt;
    }
    std::optional<LikePattern> foldedPattern = LikePattern::compile(folded, error);
    if (!foldedPattern)
        return std::nullopt;
    NamePattern pattern(std::move(*foldedPattern));
    pattern.m_typedIsFolded = folded == typed;
    pattern.m_asTyped = pattern.m_typedIsFolded ? pattern.m_folded : LikePattern::compile(typed);
    return pattern;
}
