#include "cli/CommandLineSearch.h"

#include "cli/CommandLineDistance.h"
#include "cli/OutputFields.h"
#include "names/Suggestions.h"
#include "search/Lookup.h"

namespace {

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
        const Lookup answered = lookUp(tables, *m_query);
        if (answered.outcome == Outcome::Refused) {
            failure = answered.why;
            return 0;
        }
        const Recordset &records = tables.communes();
        // The nearest commune is no answer where there is none.
        const SearchMatches found = answered.outcome == Outcome::NothingHere ? SearchMatches() : answered.matches;
        if (answered.outcome == Outcome::NothingHere)
            note = nothingHereText(records, answered);
        else if (answered.outcome == Outcome::None)
            note = noMatchMessage(m_line.searchText, answered.suggestions);
        std::vector<OutputField> fields = searchFields();
        if (from)
            fields.insert(fields.end(), distanceFields().begin(), distanceFields().end());
        fields.insert(fields.end(), laterSearchFields().begin(), laterSearchFields().end());
        if (m_query->period())
            fields.insert(fields.end(), dateFields().begin(), dateFields().end());
        writer.setFields(fieldNames(fields), numberFlags(fields), m_line.header);
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
