#include "cli/CommandLineSearch.h"

#include "cli/CommandLineDistance.h"
#include "cli/OutputFields.h"
#include "geometry/NearestCommunes.h"
#include "search/PositionSearch.h"
#include "search/Suggestions.h"

#include <cmath>

namespace {

// « Aucune commune dans IN83 : la plus proche, HENDAYE, est à 101 km de son centre. »
QString nothingAtPlace(const Recordset &records, const SearchMatches &found)
{
    const int row = found.match(0).row;
    const QString name = records.column(records.fieldIndex(u"commune")).value(size_t(row)).toString();
    const double km = distanceKm(*found.place(), *communePosition(records, row));
    const QString where = found.match(0).kind == MatchKind::Nearest
                              ? QStringLiteral("dans ce carré")
                              : QStringLiteral("à moins de %1 km de ce point").arg(NearKm);
    return QStringLiteral("Aucune commune %1 : la plus proche, %2, est à %3 km.").arg(where, name).arg(std::lround(km));
}

class SearchCommand : public Command
{
public:
    explicit SearchCommand(const CommandLine &line) : m_line(line) {}

    QString prepare() override
    {
        QString why;
        m_query = Query::make(m_line.searchText, {{}, {}, m_line.dateText}, &why);
        return why;
    }

    RecordWriter::Kind writerKind() const override { return writerKindOf(m_line.format); }

    int run(SearchTables &tables, RecordWriter &writer) override
    {
        std::optional<GeoPoint> from;
        if (!m_line.fromText.isNull()) {
            if (!(from = placeOfText(tables, m_line.fromText, &failure)))
                return 0;
        }
        SearchMatches found = findCommunes(tables, *m_query);
        // Coordinates off the globe are refused as a malformed pattern is.
        if (!found.refusal().isEmpty()) {
            failure = found.refusal();
            return 0;
        }
        const Recordset &records = tables.communes();
        // The nearest commune is no answer where there is none.
        if (noCommuneAtPlace(records, found)) {
            note = nothingAtPlace(records, found);
            found = SearchMatches();
        }
        std::vector<OutputField> fields = searchFields();
        if (from)
            fields.insert(fields.end(), distanceFields().begin(), distanceFields().end());
        fields.insert(fields.end(), laterSearchFields().begin(), laterSearchFields().end());
        if (m_query->period())
            fields.insert(fields.end(), dateFields().begin(), dateFields().end());
        writer.setFields(fieldNames(fields), numberFlags(fields), m_line.header);
        if (found.count() == 0 && note.isEmpty())
            note = noMatchMessage(m_line.searchText,
                                  SuggestionIndex(records, &tables.db(), SuggestionIndex::Use::AfterTypoOnly)
                                      .afterTypo(m_line.searchText));
        const CommuneColumns columns(records);
        for (int i = 0; i < found.count() && writer.ok(); ++i) {
            Answer answer = answerOf(tables, columns, found, i);
            addDateFields(tables, found.match(i), *m_query, answer);
            if (from) {
                const QStringList distance = distanceTexts(records, answer.row, *from);
                answer.distanceKm = distance[0];
                answer.azimut = distance[1];
            }
            writer.write(fieldTexts(fields, columns, answer));
        }
        return found.count();
    }

private:
    const CommandLine &m_line;
    std::optional<Query> m_query;
};

} // namespace

std::unique_ptr<Command> searchCommand(const CommandLine &line)
{
    return std::make_unique<SearchCommand>(line);
}
