#include "cli/CommandLineHistory.h"

#include "cli/OutputFields.h"
#include "history/CommuneEvents.h"
#include "history/CommuneStates.h"
#include "search/Lookup.h"

#include <algorithm>

namespace {

QString noHistory()
{
    return noHistoryText() + QStringLiteral(" (seule la table livrée avec Topovil la donne)");
}

class HistoryCommand : public Command
{
public:
    explicit HistoryCommand(const CommandLine &line) : m_line(line) {}

    QString prepare() override
    {
        QString why;
        m_query = Query::make(m_line.historyText, {}, &why);
        return why;
    }

    RecordWriter::Kind writerKind() const override { return writerKindOf(m_line.format); }

    int run(SearchTables &tables, RecordWriter &writer) override
    {
        const Lookup answered = lookUp(tables, *m_query);
        if (answered.outcome == Outcome::Refused) {
            failure = answered.why;
            return 0;
        }
        const Recordset &records = tables.communes();
        writer.setFields(fieldNames(historyFields()), numberFlags(historyFields()), m_line.header);
        // A place where no commune lies has no history to tell.
        const SearchMatches found = answered.outcome == Outcome::NothingHere ? SearchMatches() : answered.matches;
        if (answered.outcome == Outcome::NothingHere)
            note = nothingHereText(records, answered);
        else if (answered.outcome == Outcome::None)
            note = noMatchMessage(m_line.historyText, answered.suggestions);
        const CommuneColumns columns(records);
        // Many communes: the whole table once rather than a look-up each.
        std::optional<std::unordered_map<qint64, std::vector<CommuneEvent>>> all;
        if (found.count() > 32 && !(all = allCommuneEvents(tables.db()))) {
            failure = noHistory();
            return 0;
        }
        std::vector<int> told;
        for (int i = 0; i < found.count() && writer.ok(); ++i) {
            const int row = found.match(i).row;
            // A commune found by two of its names has one history.
            if (std::find(told.begin(), told.end(), row) != told.end())
                continue;
            told.push_back(row);
            std::optional<std::vector<CommuneEvent>> events;
            if (all) {
                const auto at = all->find(records.rowidOf(row));
                events = at == all->end() ? std::vector<CommuneEvent>{} : at->second;
            } else {
                events = communeEvents(tables.db(), records.rowidOf(row));
            }
            if (!events) {
                failure = noHistory();
                return 0;
            }
            Answer answer;
            answer.row = row;
            for (const CommuneEvent &event : *events) {
                answer.event = event;
                writer.write(fieldTexts(historyFields(), columns, answer));
            }
        }
        return found.count();
    }

private:
    const CommandLine &m_line;
    std::optional<Query> m_query;
};

} // namespace

std::unique_ptr<Command> historyCommand(const CommandLine &line)
{
    return std::make_unique<HistoryCommand>(line);
}
