#include "cli/CommandLineDistance.h"

#include "cli/OutputFields.h"
#include "geometry/NearestCommunes.h"
#include "search/Lookup.h"

#include <QLocale>
#include <cmath>

std::optional<GeoPoint> placeOfText(SearchTables &tables, const QString &text, QString *why)
{
    // Distances are measured over the whole table, not over a few candidate rows.
    tables.communes();
    const Lookup answered = lookUp(tables, text, {}, Suggest::Never);
    if (answered.outcome == Outcome::Refused) {
        *why = answered.why;
        return std::nullopt;
    }
    const SearchMatches &found = answered.matches;
    // A station's own locator: the centre of its square; typed coordinates
    // are the place itself, at sea too.
    if (found.place())
        return found.place();
    if (const std::optional<GeoPoint> place = communePosition(tables.communes(), found.row()))
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

namespace {

class AroundCommand : public Command
{
public:
    explicit AroundCommand(const CommandLine &line) : m_line(line) {}

    QString prepare() override
    {
        bool ok = false;
        m_radius = QLocale::c().toDouble(QString(m_line.aroundRadius).replace(u',', u'.'), &ok);
        if (!ok || !(m_radius >= 0) || !std::isfinite(m_radius))
            return QStringLiteral("rayon invalide : « %1 » (un nombre de kilomètres, 0 ou plus)")
                .arg(m_line.aroundRadius);
        return {};
    }

    RecordWriter::Kind writerKind() const override { return writerKindOf(m_line.format); }

    int run(SearchTables &tables, RecordWriter &writer) override
    {
        const std::optional<GeoPoint> place = placeOfText(tables, m_line.aroundText, &failure);
        if (!place)
            return 0;
        const Recordset &records = tables.communes();
        const std::vector<NearbyCommune> around = communesWithin(records, *place, m_radius);
        const CommuneColumns columns(records);
        const std::vector<OutputField> &fields = aroundFields();
        writer.setFields(fieldNames(fields), numberFlags(fields), m_line.header);
        const SearchMatches found(rowsOf(around), MatchKind::Nearest);
        for (int i = 0; i < found.count() && writer.ok(); ++i) {
            Answer answer = answerOf(tables, columns, found, i);
            answer.distanceKm = QLocale::c().toString(around[size_t(i)].distanceKm, 'f', 1);
            writer.write(fieldTexts(fields, columns, answer));
        }
        return found.count();
    }

private:
    static std::vector<int> rowsOf(const std::vector<NearbyCommune> &around)
    {
        std::vector<int> rows;
        for (const NearbyCommune &nearby : around)
            rows.push_back(nearby.row);
        return rows;
    }

    const CommandLine &m_line;
    double m_radius = 0;
};

} // namespace

std::unique_ptr<Command> aroundCommand(const CommandLine &line)
{
    return std::make_unique<AroundCommand>(line);
}
