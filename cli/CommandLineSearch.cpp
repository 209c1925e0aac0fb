#include "cli/CommandLineSearch.h"

#include "cli/OutputFields.h"
#include "search/CommuneSearch.h"
#include "search/FindCommunes.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

namespace {

std::vector<bool> numberFlags(const std::vector<OutputField> &fields)
{
    std::vector<bool> numbers;
    for (const OutputField &field : fields)
        numbers.push_back(field.number);
    return numbers;
}

} // namespace

CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath, std::FILE *out,
                                              RecordWriter::Kind kind, bool headerLine)
{
    // The window searches the upper-cased text; so does the command line.
    QString why;
    const std::optional<NamePattern> pattern = NamePattern::compile(text.toUpper(), &why);
    if (!pattern)
        return {2, why};
    int count = 0;
    RecordWriter writer(out, kind);
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        const QString typed = text.toUpper();
        // A plain name found among the few rows that may hold it needs no
        // read of the whole table; anything else searches it all.
        std::optional<Recordset> candidates;
        if (!hasWildcard(typed) && !hasWildcard(foldPattern(typed)))
            candidates = openCommuneCandidates(*db, foldPattern(typed));
        SearchMatches found;
        if (candidates)
            found = SearchMatches(findAllCommunes(*candidates, *pattern));
        if (found.count() == 0)
            candidates.reset();
        const Recordset records = candidates ? *candidates : db->openRecordset(QStringLiteral("insee1"));
        if (!candidates)
            found = findCommunes(*db, records, *pattern, typed);
        const CommuneColumns columns(records);
        const std::vector<OutputField> &fields = searchFields();
        writer.setFields(fieldNames(fields), numberFlags(fields), headerLine);
        count = found.count();
        for (int i = 0; i < count && writer.ok(); ++i) {
            Answer answer;
            answer.row = found.rows()[size_t(i)];
            answer.count = count;
            answer.code = found.code(i);
            answer.other = found.otherName(i);
            writer.write(fieldTexts(fields, columns, answer));
        }
    } catch (const DatabaseError &error) {
        return {2, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, QStringLiteral("Mémoire insuffisante pour ouvrir « %1 ».").arg(dataPath)};
    }
    if (!writer.finish())
        return {2, writer.error()};
    return {count > 0 ? 0 : 1, {}};
}
