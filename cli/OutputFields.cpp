#include "cli/OutputFields.h"

#include "geo/MaidenheadLocator.h"
#include "map/DepartementCode.h"
#include "store/NumberText.h"

#include <QLocale>

namespace {

int columnOrMissing(const Recordset &records, const char16_t *name)
{
    try {
        return records.fieldIndex(name);
    } catch (...) {
        return -1;
    }
}

QString textAt(const CommuneColumns &columns, int column, int row)
{
    if (row < 0 || column < 0)
        return {};
    const Column &cells = columns.records.column(column);
    if (cells.kind(size_t(row)) == Column::Kind::Text)
        return cells.text(size_t(row)).toString();
    const QVariant value = cells.value(size_t(row));
    return value.isNull() ? QString() : valueToText(value, QLocale::c());
}

QString locatorOf(const CommuneColumns &columns, int row)
{
    if (row < 0)
        return {};
    const QVariant latitude = columns.records.column(columns.latitude).value(size_t(row));
    const QVariant longitude = columns.records.column(columns.longitude).value(size_t(row));
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double lat = latitude.toDouble(&latitudeOk);
    const double lon = longitude.toDouble(&longitudeOk);
    if (latitude.isNull() || longitude.isNull() || !latitudeOk || !longitudeOk)
        return {};
    return maidenheadLocator(lat, lon);
}

QString departementCodeOf(const CommuneColumns &c, int row)
{
    return departementCode(textAt(c, c.codeInsee, row), textAt(c, c.codepos, row), textAt(c, c.departement, row));
}

QString postalCode(const CommuneColumns &c, const Answer &a)
{
    return a.row >= 0 && !a.code.isEmpty() ? a.code : textAt(c, c.codepos, a.row);
}

QString otherName(const CommuneColumns &, const Answer &a)
{
    if (a.other.name.isEmpty())
        return {};
    return a.other.kind.isEmpty() ? a.other.name : QStringLiteral("%1 (%2)").arg(a.other.name, a.other.kind);
}

// clang-format off
const OutputField query{"recherche", false, [](const CommuneColumns &, const Answer &a) { return a.query; }};
const OutputField status{"statut", false, [](const CommuneColumns &, const Answer &a) { return a.status; }};
const OutputField name{"commune", false, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.commune, a.row); }};
const OutputField code{"code_postal", false, postalCode};
const OutputField insee{"code_insee", false, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.codeInsee, a.row); }};
const OutputField longitude{"longitude", true, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.longitude, a.row); }};
const OutputField latitude{"latitude", true, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.latitude, a.row); }};
const OutputField departement{"departement", false, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.departement, a.row); }};
const OutputField number{"num_departement", false, [](const CommuneColumns &c, const Answer &a) { return departementCodeOf(c, a.row); }};
const OutputField locator{"locator", false, [](const CommuneColumns &c, const Answer &a) { return locatorOf(c, a.row); }};
const OutputField other{"autre_nom", false, otherName};
const OutputField distance{"distance_km", true, [](const CommuneColumns &, const Answer &a) { return a.distanceKm; }};
const OutputField azimut{"azimut", true, [](const CommuneColumns &, const Answer &a) { return a.azimut; }};
const OutputField codes{"codes_postaux", false, [](const CommuneColumns &, const Answer &a) { return a.codes; }};
const OutputField kind{"correspondance", false, [](const CommuneColumns &, const Answer &a) { return a.kind; }};
const OutputField held{"contrainte", false, [](const CommuneColumns &, const Answer &a) { return a.held; }};
const OutputField official{"nom", false, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.nom, a.row); }};
const OutputField reason{"raison", false, [](const CommuneColumns &, const Answer &a) { return a.reason; }};
const OutputField runnerUp{"suivante", false, [](const CommuneColumns &, const Answer &a) { return a.runnerUp; }};
const OutputField suggestions{"suggestions", false, [](const CommuneColumns &, const Answer &a) { return a.suggestions; }};
const OutputField count{"nb_resultats", true, [](const CommuneColumns &, const Answer &a) { return QString::number(a.count); }};
// clang-format on

} // namespace

CommuneColumns::CommuneColumns(const Recordset &records)
    : records(records), commune(records.fieldIndex(u"commune")), longitude(records.fieldIndex(u"longitude")),
      latitude(records.fieldIndex(u"latitude")), codepos(records.fieldIndex(u"codepos")),
      departement(records.fieldIndex(u"departement")), codeInsee(columnOrMissing(records, u"code_insee")),
      nom(columnOrMissing(records, u"nom")), population(columnOrMissing(records, u"population"))
{
}

const std::vector<OutputField> &searchFields()
{
    static const std::vector<OutputField> fields = {name,    code,  longitude, latitude, departement,
                                                    locator, other, insee,     number};
    return fields;
}

const std::vector<OutputField> &distanceFields()
{
    static const std::vector<OutputField> fields = {distance, azimut};
    return fields;
}

const std::vector<OutputField> &laterSearchFields()
{
    static const std::vector<OutputField> fields = {codes, kind, official, reason};
    return fields;
}

const std::vector<OutputField> &aroundFields()
{
    static const std::vector<OutputField> fields = [] {
        std::vector<OutputField> all = searchFields();
        all.push_back(distance);
        all.insert(all.end(), laterSearchFields().begin(), laterSearchFields().end());
        return all;
    }();
    return fields;
}

const std::vector<OutputField> &batchFields()
{
    static const std::vector<OutputField> fields = {
        query, status, name,  code, insee, longitude, latitude, departement, number,     locator,
        other, count,  codes, kind, held,  official,  reason,   runnerUp,    suggestions};
    return fields;
}

QStringList fieldNames(const std::vector<OutputField> &fields)
{
    QStringList names;
    for (const OutputField &field : fields)
        names << QLatin1String(field.name);
    return names;
}

QStringList fieldTexts(const std::vector<OutputField> &fields, const CommuneColumns &columns, const Answer &answer)
{
    QStringList texts;
    texts.reserve(qsizetype(fields.size()));
    for (const OutputField &field : fields)
        texts << field.text(columns, answer);
    return texts;
}

std::vector<bool> numberFlags(const std::vector<OutputField> &fields)
{
    std::vector<bool> numbers;
    for (const OutputField &field : fields)
        numbers.push_back(field.number);
    return numbers;
}

Answer answerOf(SearchTables &tables, const SearchMatches &matches, int index)
{
    const Match &match = matches.match(index);
    Answer answer;
    answer.row = match.row;
    answer.count = matches.count();
    answer.code = matches.postcode(index);
    answer.codes = tables.postalCodes().joined(match.row);
    if (isOtherName(match.kind))
        answer.other = match.other;
    answer.kind = matchKindWords(match);
    answer.reason = repairWords(match.repair);
    if (match.kind == MatchKind::PostOffice)
        answer.reason = QStringLiteral("localité postale");
    return answer;
}

QString communeWithPlace(const CommuneColumns &c, int row, const QString &code)
{
    return QStringLiteral("%1 (%2, %3)")
        .arg(textAt(c, c.commune, row), code.isEmpty() ? textAt(c, c.codepos, row) : code,
             textAt(c, c.departement, row));
}
