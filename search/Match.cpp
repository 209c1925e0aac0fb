#include "search/Match.h"

#include <array>

namespace {

struct KindWords
{
    MatchKind kind;
    const char *words; // UTF-8
};

// The one table of the kinds' French words.
constexpr std::array<KindWords, 16> kindWords = {{
    {MatchKind::Name, "nom"},
    {MatchKind::Deleguee, "autre nom : commune déléguée"},
    {MatchKind::Associee, "autre nom : commune associée"},
    {MatchKind::Arrondissement, "autre nom : arrondissement municipal"},
    {MatchKind::FormerCommune, "autre nom : ancienne commune"},
    {MatchKind::FormerName, "ancien nom"},
    {MatchKind::PostOffice, "localité postale"},
    {MatchKind::Postcode, "code postal"},
    {MatchKind::InseeCode, "code INSEE"},
    {MatchKind::FormerInseeCode, "ancien code INSEE"},
    {MatchKind::UsualForm, "forme usuelle"},
    {MatchKind::Locator, "locator"},
    {MatchKind::Coordinates, "coordonnées"},
    {MatchKind::Nearest, "proximité"},
    {MatchKind::Correction, "correction"},
    {MatchKind::AtDate, "à la date"},
}};

} // namespace

bool isOtherName(MatchKind kind)
{
    switch (kind) {
    case MatchKind::Deleguee:
    case MatchKind::Associee:
    case MatchKind::Arrondissement:
    case MatchKind::FormerCommune:
    case MatchKind::FormerName:
    case MatchKind::FormerInseeCode:
    case MatchKind::PostOffice:
        return true;
    default:
        return false;
    }
}

MatchKind otherNameKind(QStringView stored)
{
    if (stored == u"commune déléguée")
        return MatchKind::Deleguee;
    if (stored == u"commune associée")
        return MatchKind::Associee;
    if (stored == u"arrondissement municipal")
        return MatchKind::Arrondissement;
    if (stored == u"ancienne commune")
        return MatchKind::FormerCommune;
    if (stored == u"localité postale")
        return MatchKind::PostOffice;
    return MatchKind::FormerName;
}

int yearOfKind(QStringView stored)
{
    const qsizetype comma = stored.lastIndexOf(u',');
    if (comma < 0)
        return 0;
    bool ok = false;
    const int year = stored.mid(comma + 1).trimmed().toInt(&ok);
    return ok ? year : 0;
}

QString matchKindWords(const Match &match)
{
    for (const KindWords &row : kindWords) {
        if (row.kind != match.kind)
            continue;
        QString words = QString::fromUtf8(row.words);
        // A dated step says which: « ancien nom : fusion, 1965 ».
        if (match.kind == MatchKind::FormerName && !match.other.kind.isEmpty())
            words += QStringLiteral(" : ") + match.other.kind;
        return words;
    }
    return {};
}

QString repairWords(Repair repair)
{
    switch (repair) {
    case Repair::None:
        break;
    case Repair::ArticleLast:
        return QStringLiteral("article en fin");
    case Repair::Abbreviated:
        return QStringLiteral("abréviation La Poste");
    case Repair::Cut:
        return QStringLiteral("nom tronqué");
    case Repair::Cedex:
        return QStringLiteral("CEDEX");
    case Repair::Misspelt:
        return QStringLiteral("faute corrigée");
    }
    return {};
}
