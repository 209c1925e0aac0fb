#include "cli/CommandLineSearch.h"

#include "cli/CommandLineDistance.h"
#include "cli/OutputFields.h"
#include "search/Suggestions.h"

namespace {

class SearchCommand : public Command
{
public:
    explicit SearchCommand(const CommandLine &line) : m_line(line) {}

    QString prepare() override
    {
        QString why;
        m_query = Query::make(m_line.searchText, {}, &why);
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
        const SearchMatches found = findCommunes(tables, *m_query);
        // Coordinates off the globe are refused as a malformed pattern is.
        if (!found.refusal().isEmpty()) {
            failure = found.refusal();
            return 0;
        }
        const Recordset &records = tables.communes();
        std::vector<OutputField> fields = searchFields();
        if (from)
            fields.insert(fields.end(), distanceFields().begin(), distanceFields().end());
        fields.insert(fields.end(), laterSearchFields().begin(), laterSearchFields().end());
        writer.setFields(fieldNames(fields), numberFlags(fields), m_line.header);
        if (found.count() == 0)
            note =
                noMatchMessage(m_line.searchText, SuggestionIndex(records, &tables.db()).afterTypo(m_line.searchText));
        const CommuneColumns columns(records);
        for (int i = 0; i < found.count() && writer.ok(); ++i) {
            Answer answer = answerOf(tables, found, i);
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
