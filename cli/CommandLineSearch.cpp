#include "cli/CommandLineSearch.h"

#include "cli/CommandLineDistance.h"
#include "cli/OutputFields.h"
#include "search/CommuneSearch.h"
#include "search/FindCommunes.h"
#include "search/Suggestions.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NameFolding.h"

namespace {

// Other names that share the name follow its communes, and only the whole
// table says where they lead: such a name takes the ordinary way.
bool otherNamesMatch(Database &db, const NamePattern &pattern)
{
    try {
        return !findAllCommunes(db.openRecordset(QStringLiteral("autres_noms")), pattern).empty();
    } catch (const DatabaseError &) {
        return false; // a file without other names
    }
}

} // namespace

std::vector<bool> numberFlags(const std::vector<OutputField> &fields)
{
    std::vector<bool> numbers;
    for (const OutputField &field : fields)
        numbers.push_back(field.number);
    return numbers;
}

CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath, std::FILE *out,
                                              RecordWriter::Kind kind, bool headerLine, const QString &fromText)
{
    // The window searches the upper-cased text; so does the command line.
    QString why;
    const std::optional<NamePattern> pattern = NamePattern::compile(text.toUpper(), &why);
    if (!pattern)
        return {2, why};
    int count = 0;
    QString noMatch;
    RecordWriter writer(out, kind);
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        const QString typed = text.toUpper();
        // A plain name found among the few rows that may hold it needs no
        // read of the whole table; anything else searches it all.
        std::optional<Recordset> candidates;
        if (fromText.isNull() && !hasWildcard(typed) && !hasWildcard(foldPattern(typed)))
            candidates = openCommuneCandidates(*db, foldPattern(typed));
        SearchMatches found;
        if (candidates)
            found = SearchMatches(findAllCommunes(*candidates, *pattern));
        if (found.count() == 0 || otherNamesMatch(*db, *pattern))
            candidates.reset();
        const Recordset records = candidates ? *candidates : db->openRecordset(QStringLiteral("insee1"));
        if (!candidates)
            found = findCommunes(*db, records, *pattern, typed);
        // Coordinates off the globe are refused as a malformed pattern is.
        if (!found.refusal().isEmpty())
            return {2, found.refusal()};
        std::optional<GeoPoint> from;
        if (!fromText.isNull() && !(from = placeOfText(*db, records, fromText, &why)))
            return {2, why};
        const CommuneColumns columns(records);
        std::vector<OutputField> fields = searchFields();
        if (from)
            fields.insert(fields.end(), distanceFields().begin(), distanceFields().end());
        writer.setFields(fieldNames(fields), numberFlags(fields), headerLine);
        if (found.count() == 0)
            noMatch = noMatchMessage(text, SuggestionIndex(records, db.get()).afterTypo(text));
        count = found.count();
        for (int i = 0; i < count && writer.ok(); ++i) {
            Answer answer;
            answer.row = found.rows()[size_t(i)];
            answer.count = count;
            answer.code = found.code(i);
            answer.other = found.otherName(i);
            if (from) {
                const QStringList distance = distanceTexts(records, answer.row, *from);
                answer.distanceKm = distance[0];
                answer.azimut = distance[1];
            }
            writer.write(fieldTexts(fields, columns, answer));
        }
    } catch (const DatabaseError &error) {
        return {2, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, outOfMemoryOpening(dataPath)};
    }
    if (!writer.finish())
        return {2, writer.error()};
    return {count > 0 ? 0 : 1, noMatch};
}
