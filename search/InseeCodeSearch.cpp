#include "search/InseeCodeSearch.h"

#include "departements/Departement.h"
#include "store/DatabaseError.h"

bool isInseeCodeText(QStringView typed)
{
    return Departement::isInseeCode(typed);
}

namespace {

QString textAt(const Column &column, size_t row)
{
    return column.isNull(row) ? QString() : column.value(row).toString();
}

} // namespace

std::vector<Match> findCommunesByInseeCode(Database &db, const Recordset &communes, QStringView typed)
{
    if (!isInseeCodeText(typed))
        return {};
    const QString code = typed.trimmed().toString().toUpper();
    std::vector<Match> matches;
    try {
        const Column &codes = communes.column(communes.fieldIndex(u"code_insee"));
        for (size_t row = 0; row < codes.size(); ++row) {
            if (codes.text(row) == code)
                matches.push_back({int(row), MatchKind::InseeCode, code, {}, 0});
        }
    } catch (const DatabaseError &) {
        return {}; // a user's own insee.mdb, which knows no codes
    }
    try {
        const Recordset former = db.openRecordset(QStringLiteral("anciens_codes"));
        const Column &codes = former.column(former.fieldIndex(u"code_insee"));
        const Column &names = former.column(former.fieldIndex(u"commune"));
        const Column &kinds = former.column(former.fieldIndex(u"nature"));
        const Column &targets = former.column(former.fieldIndex(u"actuelle"));
        const Column *steps = nullptr;
        try {
            steps = &former.column(former.fieldIndex(u"etapes"));
        } catch (const DatabaseError &) {
            // A file of before the steps: the change that ended the code is all it tells.
        }
        for (size_t row = 0; row < codes.size(); ++row) {
            if (codes.text(row) != code)
                continue;
            bool isNumber = false;
            const std::optional<int> commune = communes.rowOfRowid(targets.value(row).toLongLong(&isNumber));
            if (!isNumber || !commune)
                continue;
            const QString kind = textAt(kinds, row);
            matches.push_back({*commune,
                               MatchKind::FormerInseeCode,
                               code,
                               {textAt(names, row), kind,
                                steps ? parseHistorySteps(textAt(*steps, row)) : std::vector<HistoryStep>{}},
                               yearOfKind(kind)});
        }
    } catch (const DatabaseError &) {
        // No former codes in this file: today's are all it knows.
    }
    return matches;
}
