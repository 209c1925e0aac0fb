#include "cli/CommandLineSearch.h"

#include "cli/CommandLineDistance.h"
#include "geo/MaidenheadLocator.h"
#include "search/CommuneSearch.h"
#include "search/FindCommunes.h"
#include "search/SearchMatches.h"
#include "search/Suggestions.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NumberText.h"

#include <QLocale>

namespace {

// A field as text, numbers with a decimal point; an empty field is empty. A
// tab or a line break inside a text would cut the line: they read as blanks.
QString fieldText(const Recordset &records, int row, const char16_t *name)
{
    const QVariant value = records.column(records.fieldIndex(name)).value(size_t(row));
    QString text = value.isNull() ? QString() : valueToText(value, QLocale::c());
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text;
}

QString locatorOf(const Recordset &records, int row)
{
    const QVariant latitude = records.column(records.fieldIndex(u"latitude")).value(size_t(row));
    const QVariant longitude = records.column(records.fieldIndex(u"longitude")).value(size_t(row));
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double lat = latitude.toDouble(&latitudeOk);
    const double lon = longitude.toDouble(&longitudeOk);
    if (latitude.isNull() || longitude.isNull() || !latitudeOk || !longitudeOk)
        return {};
    return maidenheadLocator(lat, lon);
}

} // namespace

QString communeLine(const Recordset &records, const SearchMatches &found, int index, const QStringList &extraFields)
{
    const int row = found.rows()[size_t(index)];
    QStringList fields = {
        fieldText(records, row, u"commune"),     fieldText(records, row, u"codepos"),
        fieldText(records, row, u"longitude"),   fieldText(records, row, u"latitude"),
        fieldText(records, row, u"departement"), locatorOf(records, row),
    };
    if (const QString code = found.code(index); !code.isEmpty())
        fields[1] = code; // the postal code that matched
    // A commune found by another name says which, and what it was.
    if (const OtherName other = found.otherName(index); !other.name.isEmpty())
        fields << (other.kind.isEmpty() ? other.name : QStringLiteral("%1 (%2)").arg(other.name, other.kind));
    return (fields + extraFields).join(QLatin1Char('\t')) + QLatin1Char('\n');
}

// Nothing matched: say so, with the names the user may have meant.
static QString noMatchText(Database &db, const Recordset &records, const QString &text)
{
    return noMatchMessage(text, SuggestionIndex(records, &db).afterTypo(text));
}

CommandLineSearchResult searchFromCommandLine(const QString &text, const QString &dataPath, const QString &fromText)
{
    CommandLineSearchResult result;
    // The window searches the upper-cased text; so does the command line.
    QString why;
    const std::optional<NamePattern> pattern = NamePattern::compile(text.toUpper(), &why);
    if (!pattern)
        return {2, {}, why};
    try {
        const std::unique_ptr<Database> db = openCommuneDatabase(dataPath);
        const Recordset records = db->openRecordset(QStringLiteral("insee1"));
        const SearchMatches found = findCommunes(*db, records, *pattern, text.toUpper());
        if (!found.refusal().isEmpty())
            return {2, {}, found.refusal()};
        std::optional<GeoPoint> from;
        if (!fromText.isNull() && !(from = placeOfText(*db, records, fromText, &why)))
            return {2, {}, why};
        for (int i = 0; i < found.count(); ++i)
            result.out += communeLine(records, found, i,
                                      from ? distanceFields(records, found.rows()[size_t(i)], *from) : QStringList());
        if (found.count() == 0)
            result.err = noMatchText(*db, records, text);
    } catch (const DatabaseError &error) {
        return {2, {}, error.message()};
    } catch (const std::bad_alloc &) {
        return {2, {}, QStringLiteral("Mémoire insuffisante pour ouvrir « %1 ».").arg(dataPath)};
    }
    result.status = result.out.isEmpty() ? 1 : 0;
    return result;
}
