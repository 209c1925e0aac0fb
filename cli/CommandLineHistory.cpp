#include "cli/CommandLineHistory.h"

#include "cli/OutputFields.h"
#include "history/CommuneEvents.h"
#include "search/Suggestions.h"

#include <algorithm>

namespace {

QString noHistory()
{
    return QStringLiteral("ce fichier de données ne dit pas l'histoire des communes (seule la table livrée avec "
                          "Topovil la donne)");
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
        const SearchMatches found = findCommunes(tables, *m_query);
        if (!found.refusal().isEmpty()) {
            failure = found.refusal();
            return 0;
        }
        const Recordset &records = tables.communes();
        writer.setFields(fieldNames(historyFields()), numberFlags(historyFields()), m_line.header);
        if (found.count() == 0)
            note = noMatchMessage(m_line.historyText,
                                  SuggestionIndex(records, &tables.db()).afterTypo(m_line.historyText));
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
