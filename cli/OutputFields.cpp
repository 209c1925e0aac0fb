#include "cli/OutputFields.h"

#include "departements/Departement.h"
#include "geo/MaidenheadLocator.h"
#include "history/CommuneEvents.h"
#include "history/HistorySteps.h"
#include "store/NumberText.h"

#include <QLocale>
#include <optional>

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
    // The table outlives every line written from it: its text is lent, not
    // copied (a batch writes several fields a line).
    if (cells.kind(size_t(row)) == Column::Kind::Text) {
        const QStringView text = cells.text(size_t(row));
        return QString::fromRawData(reinterpret_cast<const QChar *>(text.utf16()), text.size());
    }
    static const QLocale c = QLocale::c();
    if (cells.kind(size_t(row)) == Column::Kind::Real)
        return numberToText(cells.real(size_t(row)), c);
    const QVariant value = cells.value(size_t(row));
    return value.isNull() ? QString() : valueToText(value, c);
}

QString locatorOf(const CommuneColumns &columns, int row)
{
    if (row < 0)
        return {};
    const std::optional<double> latitude = columns.records.column(columns.latitude).number(size_t(row));
    const std::optional<double> longitude = columns.records.column(columns.longitude).number(size_t(row));
    if (!latitude || !longitude)
        return {};
    return maidenheadLocator(*latitude, *longitude);
}

QString departementCodeOf(const CommuneColumns &c, int row)
{
    return Departement::ofCommune(textAt(c, c.codeInsee, row), textAt(c, c.codepos, row), textAt(c, c.departement, row))
        .code();
}

QString postalCode(const CommuneColumns &c, const Answer &a)
{
    return a.row >= 0 && !a.code.isEmpty() ? a.code : textAt(c, c.codepos, a.row);
}

QString otherName(const CommuneColumns &c, const Answer &a)
{
    if (a.other.name.isEmpty())
        return {};
    if (const QString way = otherNameWay(a.matchKind, a.other, a.other.name, textAt(c, c.commune, a.row));
        !way.isEmpty())
        return way;
    return a.other.kind.isEmpty() ? a.other.name : QStringLiteral("%1 (%2)").arg(a.other.name, a.other.kind);
}

// Told once for both: « avant et code_avant (la commune avant le changement) ».
const char *const beforeGloss = "la commune avant le changement";

// clang-format off
const OutputField query{"recherche", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.query; }};
const OutputField status{"statut", JsonShape::Text, [](const CommuneColumns &, const Answer &a) {
    switch (a.fault) {
    case LineFault::Empty:
        return QStringLiteral("vide");
    case LineFault::Unreadable:
        return QStringLiteral("illisible");
    case LineFault::None:
        break;
    }
    return outcomeWords(a.outcome);
}};
const OutputField name{"commune", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.commune, a.row); }};
const OutputField code{"code_postal", JsonShape::Text, postalCode, "celui qui a répondu, sinon le premier"};
const OutputField insee{"code_insee", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.codeInsee, a.row); }};
const OutputField longitude{"longitude", JsonShape::Number, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.longitude, a.row); }};
const OutputField latitude{"latitude", JsonShape::Number, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.latitude, a.row); }};
const OutputField departement{"departement", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.departement, a.row); }};
const OutputField departementCode{"num_departement", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return departementCodeOf(c, a.row); }, "le code du département : 08, 2A, 971"};
const OutputField locator{"locator", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return locatorOf(c, a.row); }};
const OutputField other{"autre_nom", JsonShape::Text, otherName, "le nom, et sa nature, par lequel une commune déléguée, ancienne commune... l'a trouvée, avec chaque étape datée de son chemin jusqu'à la commune d'aujourd'hui ; vide sinon"};
const OutputField distance{"distance_km", JsonShape::Number, [](const CommuneColumns &, const Answer &a) { return a.distanceKm; }, "grand cercle, une décimale"};
const OutputField azimut{"azimut", JsonShape::Number, [](const CommuneColumns &, const Answer &a) { return a.azimut; }, "degrés depuis le nord, sens horaire"};
const OutputField codes{"codes_postaux", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.codes; }, "tous les codes de la commune, séparés par des blancs"};
const OutputField kind{"correspondance", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.kind; }, "comment elle a été trouvée : nom, autre nom : commune déléguée, code postal, code INSEE, ancien code INSEE, ancien nom, forme usuelle, locator, coordonnées, localité postale, correction"};
const OutputField held{"contrainte", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.held; }};
const OutputField official{"nom", JsonShape::Text, [](const CommuneColumns &c, const Answer &a) { return textAt(c, c.nom, a.row); }, "le nom écrit comme l'INSEE l'écrit, vide sans lui"};
const OutputField steps{"etapes", JsonShape::Steps, [](const CommuneColumns &, const Answer &a) { return storedHistorySteps(a.other.steps); }, "les étapes de ce chemin : nature, date, commune, code INSEE, séparées par « ; » ; en JSON, un tableau d'objets"};
const OutputField date{"date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.date; }};
const OutputField nameThen{"commune_date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.nameThen; }, "son nom d'alors, comme l'INSEE l'écrit"};
const OutputField codeThen{"code_insee_date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.codeThen; }};
const OutputField typeThen{"type_date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.typeThen; }, "commune, commune associée, commune déléguée"};
const OutputField departementThen{"departement_date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.departementThen; }, "le département de ce jour : SEINE, SEINE-ET-OISE avant 1968, CORSE avant 1976"};
const OutputField reason{"raison", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.reason; }, "la réparation qu'il a fallu : article en fin, CEDEX..."};
const OutputField runnerUp{"suivante", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.runnerUp; }};
const OutputField suggestions{"suggestions", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.suggestions; }};
const OutputField place{"lieu", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.place; }, "comme les logiciels de généalogie classent les lieux : « Commune, code INSEE, code postal, département, région, France »"};
const OutputField count{"nb_resultats", JsonShape::Number, [](const CommuneColumns &, const Answer &a) { return QString::number(a.count); }};
const OutputField eventDate{"date", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.date; }, "AAAA-MM-JJ"};
const OutputField eventKind{"nature", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.kind; }, "fusion, changement de nom, rétablissement..."};
const OutputField before{"avant", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.before; }, beforeGloss};
const OutputField beforeCode{"code_avant", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.beforeCode; }, beforeGloss};
const OutputField beforeDepartement{"departement_avant", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return formerDepartement(a.event.beforeCode, dayBefore(a.event.date)); }};
const OutputField after{"apres", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.after; }};
const OutputField afterCode{"code_apres", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return a.event.afterCode; }};
const OutputField afterDepartement{"departement_apres", JsonShape::Text, [](const CommuneColumns &, const Answer &a) { return formerDepartement(a.event.afterCode, a.event.date); }, "le département du code quand il n'est plus : Seine, Seine-et-Oise avant 1968, Corse avant 1976 ; vide sinon"};
// clang-format on

QString placePostcode(SearchTables &tables, int row)
{
    const Recordset &communes = tables.communes();
    const QVariant value = communes.column(communes.fieldIndex(u"codepos")).value(size_t(row));
    return value.isNull() ? QString() : value.toString();
}

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
    static const std::vector<OutputField> fields = {name,    code,  longitude, latitude,       departement,
                                                    locator, other, insee,     departementCode};
    return fields;
}

const std::vector<OutputField> &distanceFields()
{
    static const std::vector<OutputField> fields = {distance, azimut};
    return fields;
}

const std::vector<OutputField> &laterSearchFields()
{
    static const std::vector<OutputField> fields = {codes, kind, official, reason, steps, place};
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

const std::vector<OutputField> &dateFields()
{
    static const std::vector<OutputField> fields = {date, nameThen, codeThen, typeThen, departementThen};
    return fields;
}

void addDateFields(SearchTables &tables, const Match &match, const Query &query, Answer &answer)
{
    if (!query.period())
        return;
    answer.date = query.constraints().date;
    if (match.kind != MatchKind::AtDate)
        return;
    answer.nameThen = match.other.name;
    answer.codeThen = match.code;
    answer.typeThen = match.other.kind;
    const QString &day = query.period()->first;
    answer.departementThen = tables.departements().nameOn(match.code, day);
    // The régions of today were made on 1 January 2016.
    const QString region = day >= QLatin1String("2016-01-01") ? tables.departements().regionOf(match.code) : QString();
    answer.place = QStringList{match.other.name,
                               match.code,
                               answer.code.isEmpty() ? placePostcode(tables, match.row) : answer.code,
                               tables.departements().labelOn(match.code, day),
                               region,
                               QStringLiteral("France")}
                       .join(QStringLiteral(", "));
}

QString placeText(SearchTables &tables, const CommuneColumns &c, int row, const QString &postcode)
{
    // Written in one buffer: a batch writes a place a line.
    QString place;
    place.reserve(160);
    const auto add = [&](int column) {
        if (row < 0 || column < 0)
            return;
        const Column &cells = c.records.column(column);
        if (cells.kind(size_t(row)) == Column::Kind::Text)
            place += cells.text(size_t(row));
        else
            place += textAt(c, column, row);
    };
    const auto comma = [&] { place += QLatin1String(", "); };
    add(c.nom);
    if (place.isEmpty())
        add(c.commune);
    comma();
    const qsizetype codeAt = place.size();
    add(c.codeInsee);
    const QString code = place.mid(codeAt);
    comma();
    if (postcode.isEmpty())
        add(c.codepos);
    else
        place += postcode;
    comma();
    const DepartementNames &departements = tables.departements();
    if (const QString label = departements.label(code); !label.isEmpty())
        place += label;
    else
        add(c.departement);
    comma();
    place += departements.regionOf(code);
    place += QLatin1String(", France");
    return place;
}

const std::vector<OutputField> &batchFields()
{
    static const std::vector<OutputField> fields = {
        query, status, name, code, insee,    longitude, latitude, departement, departementCode, locator, other,
        count, codes,  kind, held, official, reason,    runnerUp, suggestions, steps,           place};
    return fields;
}

const std::vector<OutputField> &historyFields()
{
    static const std::vector<OutputField> fields = {
        name, insee, eventDate, eventKind, before, beforeCode, beforeDepartement, after, afterCode, afterDepartement};
    return fields;
}

QString fieldHelp(const std::vector<OutputField> &fields, FieldHelp style, QLatin1String last)
{
    QStringList items;
    for (size_t i = 0; i < fields.size(); ++i) {
        const char *gloss = style == FieldHelp::Glossed ? fields[i].help : nullptr;
        QString item = QLatin1String(fields[i].name);
        for (; gloss && i + 1 < fields.size() && fields[i + 1].help && qstrcmp(gloss, fields[i + 1].help) == 0; ++i)
            item += QLatin1String(" et ") + QLatin1String(fields[i + 1].name);
        if (gloss)
            item += QLatin1String(" (") + QString::fromUtf8(gloss) + QLatin1Char(')');
        items << item;
    }
    const QString head = items.mid(0, items.size() - 1).join(QLatin1String(", "));
    return items.size() < 2 ? items.value(0) : head + last + items.last();
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
    appendFieldTexts(texts, fields, columns, answer);
    return texts;
}

void appendFieldTexts(QStringList &texts, const std::vector<OutputField> &fields, const CommuneColumns &columns,
                      const Answer &answer)
{
    texts.reserve(texts.size() + qsizetype(fields.size()));
    for (const OutputField &field : fields)
        texts << field.text(columns, answer);
}

std::vector<JsonShape> numberFlags(const std::vector<OutputField> &fields)
{
    std::vector<JsonShape> shapes;
    for (const OutputField &field : fields)
        shapes.push_back(field.shape);
    return shapes;
}

Answer answerOf(SearchTables &tables, const CommuneColumns &columns, const SearchMatches &matches, int index)
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
    answer.matchKind = match.kind;
    answer.place = placeText(tables, columns, match.row, answer.code);
    return answer;
}

QString communeWithPlace(const CommuneColumns &c, int row, const QString &code)
{
    return QStringLiteral("%1 (%2, %3)")
        .arg(textAt(c, c.commune, row), code.isEmpty() ? textAt(c, c.codepos, row) : code,
             textAt(c, c.departement, row));
}
