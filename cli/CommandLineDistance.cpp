#include "cli/CommandLineDistance.h"

#include "cli/CommandLineSearch.h"
#include "cli/OutputFields.h"
#include "geometry/CoordinateText.h"
#include "geometry/NearestCommunes.h"
#include "search/FindCommunes.h"
#include "search/LocatorSearch.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"

#include <QLocale>
#include <cmath>

std::optional<GeoPoint> placeOfText(Database &db, const Recordset &communes, const QString &text, QString *why)
{
    const QString typed = text.toUpper();
    const TypedPosition position = readPosition(typed);
    if (position.kind == TypedPosition::Kind::Position)
        return position.point;
    if (position.kind == TypedPosition::Kind::Refused) {
        *why = position.refusal;
        return std::nullopt;
    }
    // A station's own locator: the centre of its square.
    if (const std::optional<QPointF> centre = locatorCentre(typed))
        return GeoPoint{centre->y(), centre->x()};
    const std::optional<NamePattern> pattern = NamePattern::compile(typed, why);
    if (!pattern)
        return std::nullopt;
    const SearchMatches found = findCommunes(db, communes, *pattern, typed);
    if (const std::optional<GeoPoint> place = communePosition(communes, found.row()))
        return place;
    *why = found.count() > 0
               ? QStringLiteral("« %1 » : la commune trouvée n'a pas de position.").arg(text)
               : QStringLiteral("« %1 » : aucune commune, aucun locator ni aucunes coordonnées.").arg(text);
    return std::nullopt;
}

QStringList distanceTexts(const Recordset &communes, int row, GeoPoint from)
{
    const std::optional<GeoPoint> position = communePosition(communes, row);
    if (!position)
        return {QString(), QString()};
    const int bearing = int(std::lround(bearingDegrees(from, *position))) % 360;
    return {QLocale::c().toString(distanceKm(from, *position), 'f', 1), QString::number(bearing)};
}

CommandLineSearchResult aroundFromCommandLine(const QString &text, const QString &radiusKm, const QString &dataPath,
                                              std::FILE *out, RecordWriter::Kind kind, bool headerLine)
{
    bool ok = false;
    const double radius = QLocale::c().toDouble(QString(radiusKm).replace(u',', u'.'), &ok);
    if (!ok || !(radius >= 0) || !std::isfinite(radius))
        return {2, QStringLiteral("rayon invalide : « %1 » (un nombre de kilomètres, 0 ou plus)").arg(radiusKm)};
    RecordWriter writer(out, kind);
    size_t count = 0;
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        const Recordset records = db->openRecordset(QStringLiteral("insee1"));
        QString why;
        const std::optional<GeoPoint> place = placeOfText(*db, records, text, &why);
        if (!place)
            return {2, why};
        const std::vector<NearbyCommune> around = communesWithin(records, *place, radius);
        const CommuneColumns columns(records);
        const std::vector<OutputField> &fields = aroundFields();
        writer.setFields(fieldNames(fields), numberFlags(fields), headerLine);
        count = around.size();
        for (size_t i = 0; i < count && writer.ok(); ++i) {
            Answer answer;
            answer.row = around[i].row;
            answer.count = int(count);
            answer.distanceKm = QLocale::c().toString(around[i].distanceKm, 'f', 1);
            writer.write(fieldTexts(fields, columns, answer));
        }
    } catch (const DatabaseError &error) {
        return {2, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, outOfMemoryOpening(dataPath)};
    }
    if (!writer.finish())
        return {2, writer.error()};
    return {count > 0 ? 0 : 1, {}};
}
