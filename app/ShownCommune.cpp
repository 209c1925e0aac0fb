#include "app/ShownCommune.h"

#include "departements/Departement.h"
#include "geo/MaidenheadLocator.h"
#include "search/SearchMatches.h"
#include "store/CommuneDatabase.h"
#include "store/DatabaseError.h"
#include "store/NumberText.h"
#include "store/PostalCodes.h"
#include "store/Recordset.h"

#include <algorithm>

namespace {

// A stored coordinate as a number: a number as it is, a text read in the
// user's locale, as the labels show it.
std::optional<double> numberOf(const QVariant &value, const QLocale &locale)
{
    if (value.typeId() == QMetaType::QString)
        return textToNumber(value.toString(), locale);
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

// Reads one field into the shown commune; a field that cannot be read
// leaves its value as it was, and the first such failure is told.
class FieldReader
{
public:
    explicit FieldReader(ShownCommune &shown) : m_shown(shown) {}

    template <typename Statement>
    bool operator()(Statement &&statement)
    {
        try {
            statement();
            return true;
        } catch (const DatabaseError &error) {
            if (m_shown.unreadableField.isEmpty())
                m_shown.unreadableField = error.message();
            return false;
        }
    }

private:
    ShownCommune &m_shown;
};

QString copiedNumber(const std::optional<double> &number, const QString &text)
{
    return number ? numberToText(*number, QLocale::c()) : text;
}

} // namespace

std::optional<GeoPoint> ShownCommune::position() const
{
    if (!latitude || !longitude || !isOnGlobe({*latitude, *longitude}))
        return std::nullopt;
    return GeoPoint{*latitude, *longitude};
}

std::optional<QPointF> ShownCommune::lonLat() const
{
    if (!latitude || !longitude)
        return std::nullopt;
    return QPointF(*longitude, *latitude);
}

QStringList postcodesOf(const Recordset &records, const PostalCodes *postcodes, const QString &shown)
{
    const QString codepos = records.hasCurrentRecord() ? records.field(u"codepos").toString() : QString();
    QStringList codes = postcodes ? postcodes->codeposFirst(records.position()) : QStringList{codepos};
    if (!shown.isEmpty()) {
        codes.removeAll(shown);
        codes.prepend(shown);
    }
    codes.removeAll(QString());
    return codes;
}

QString distanceLine(const std::optional<StartingPoint> &from, std::optional<GeoPoint> shown)
{
    return from && shown ? distanceLineText(*from, *shown) : QString();
}

ShownCommune present(const Recordset &records, const SearchMatches *answer, const PostalCodes *postcodes,
                     const std::optional<StartingPoint> &from, const ShownCommune &previous, const QLocale &locale)
{
    ShownCommune shown = previous;
    shown.row = records.position();
    shown.unreadableField.clear();
    shown.unreadablePosition.clear();
    shown.otherName.clear();
    FieldReader read(shown);
    // The labels write the stored values in the user's locale; a NULL
    // cannot be read.
    const auto text = [&](QStringView field) {
        records.fieldText(field);
        return valueToText(records.field(field), locale);
    };
    const bool fields[] = {
        read([&] { shown.name = text(u"commune"); }),
        read([&] {
            shown.longitudeText = text(u"longitude");
            shown.longitude = numberOf(records.field(u"longitude"), locale);
        }),
        read([&] {
            shown.latitudeText = text(u"latitude");
            shown.latitude = numberOf(records.field(u"latitude"), locale);
        }),
        read([&] { shown.postcode = text(u"codepos"); }),
        read([&] { shown.departement = text(u"departement"); }),
    };
    shown.fieldsRead = int(std::find(std::begin(fields), std::end(fields), false) - std::begin(fields));
    read([&] {
        shown.storedName = records.fieldText(u"commune");
        if (const QString official = officialName(records); !official.isEmpty())
            shown.name = official;
    });
    // A commune found by a code shows the code that matched.
    const bool found = answer && answer->row() >= 0 && answer->row() == records.position();
    if (found) {
        if (const QString code = answer->postcode(answer->index()); !code.isEmpty())
            shown.postcode = code;
        shown.otherName = otherNameText(records, *answer, answer->index());
    }
    read([&] {
        if (!records.hasCurrentRecord())
            records.field(u"codepos"); // throws: no record, the codes stay
        shown.postcodes = postcodesOf(records, postcodes, shown.postcode);
    });
    // A user's own file may have no INSEE code.
    read([&] {
        const bool hasInsee = records.table() && records.table()->columnIndex(u"code_insee") >= 0;
        shown.insee = hasInsee ? std::optional<QString>(records.field(u"code_insee").toString()) : std::nullopt;
    });
    // The search takes the number from the code and the name it shows; a
    // step from the stored ones, a NULL département leaving it to the code.
    read([&] {
        shown.mapNumber =
            answer ? Departement::ofPostcode(shown.postcode, shown.departement).mapNumber()
                   : Departement::ofPostcode(records.fieldText(u"codepos"), records.field(u"departement").toString())
                         .mapNumber();
    });
    if (shown.latitude && shown.longitude) {
        // A position off the grid (from a user's own file) has no square to
        // name: each letter shows a dash rather than a character of no meaning.
        const QString locator = maidenheadLocator(*shown.latitude, *shown.longitude);
        shown.locator = locator.size() == 6 ? locator : QStringLiteral("------");
    } else {
        shown.unreadablePosition =
            QStringLiteral("Coordonnées illisibles : %1, %2.").arg(shown.latitudeText, shown.longitudeText);
    }
    shown.distanceLine = distanceLine(from, shown.position());
    return shown;
}

ShownCommune firstFieldsOf(const ShownCommune &read, const ShownCommune &previous)
{
    ShownCommune shown = previous;
    const int count = read.fieldsRead;
    if (count > 0)
        shown.name = read.storedName;
    if (count > 1) {
        shown.longitudeText = read.longitudeText;
        shown.longitude = read.longitude;
    }
    if (count > 2) {
        shown.latitudeText = read.latitudeText;
        shown.latitude = read.latitude;
    }
    if (count > 3)
        shown.postcode = read.postcode;
    shown.unreadableField = read.unreadableField;
    return shown;
}

QString copiedLongitude(const ShownCommune &shown)
{
    return copiedNumber(shown.longitude, shown.longitudeText);
}

QString copiedLatitude(const ShownCommune &shown)
{
    return copiedNumber(shown.latitude, shown.latitudeText);
}

QString recordLine(const ShownCommune &shown)
{
    QStringList fields{shown.name,
                       shown.postcodes.join(QLatin1Char(' ')),
                       shown.insee.value_or(QString()),
                       shown.departement,
                       copiedLongitude(shown),
                       copiedLatitude(shown),
                       shown.locator};
    if (!shown.distanceLine.isEmpty())
        fields << shown.distanceLine;
    return fields.join(QLatin1Char('\t'));
}

std::optional<StartingPoint> startingPointOf(const ShownCommune &shown, std::optional<GeoPoint> typed,
                                             const QString &searched)
{
    const std::optional<GeoPoint> position = shown.position();
    if (!position)
        return std::nullopt;
    if (typed)
        return StartingPoint{searched.trimmed(), *typed, shown.mapNumber};
    return StartingPoint{shown.name, *position, shown.mapNumber};
}
