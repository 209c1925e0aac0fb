#include "history/CommuneEvents.h"

#include "departements/Departement.h"
#include "history/HistorySteps.h"
#include "store/DatabaseError.h"

#include <QDate>
#include <unordered_set>

namespace {

QString textAt(const Recordset &rows, int column, size_t row)
{
    const Column &cells = rows.column(column);
    return cells.isNull(row) ? QString() : cells.value(row).toString();
}

// The events of every commune of `rowids` (none: of all), by rowid.
std::unordered_map<qint64, std::vector<CommuneEvent>> eventsOf(const Recordset &rows,
                                                               const std::unordered_set<qint64> &rowids)
{
    const int commune = rows.fieldIndex(u"actuelle");
    const int date = rows.fieldIndex(u"date");
    const int kind = rows.fieldIndex(u"nature");
    const int before = rows.fieldIndex(u"avant");
    const int beforeCode = rows.fieldIndex(u"code_avant");
    const int after = rows.fieldIndex(u"apres");
    const int afterCode = rows.fieldIndex(u"code_apres");
    std::unordered_map<qint64, std::vector<CommuneEvent>> events;
    for (size_t row = 0; row < rows.column(commune).size(); ++row) {
        bool isNumber = false;
        const qint64 rowid = rows.column(commune).value(row).toLongLong(&isNumber);
        if (!isNumber || (!rowids.empty() && rowids.count(rowid) == 0))
            continue;
        events[rowid].push_back({textAt(rows, date, row), textAt(rows, kind, row), textAt(rows, before, row),
                                 textAt(rows, beforeCode, row), textAt(rows, after, row),
                                 textAt(rows, afterCode, row)});
    }
    return events;
}

QString placed(const QString &name, const QString &code, const QString &date)
{
    const QString departement = formerDepartement(code, date);
    if (departement.isEmpty())
        return QStringLiteral("%1 (%2)").arg(name, code);
    return QStringLiteral("%1 (%2, %3)").arg(name, code, departement);
}

} // namespace

QString dayBefore(const QString &isoDate)
{
    const QDate date = QDate::fromString(isoDate, Qt::ISODate);
    return date.isValid() ? date.addDays(-1).toString(Qt::ISODate) : isoDate;
}

std::optional<std::vector<CommuneEvent>> communeEvents(Database &db, qint64 rowid)
{
    const QString table = QStringLiteral("evenements");
    try {
        if (const std::optional<Recordset> rows = db.openLinkedRows(table, QStringLiteral("actuelle"), {rowid}))
            return std::move(eventsOf(*rows, {rowid})[rowid]);
        return std::move(eventsOf(db.openRecordset(table), {rowid})[rowid]);
    } catch (const DatabaseError &) {
        return std::nullopt; // no such table, or not one that this program wrote
    }
}

std::optional<std::unordered_map<qint64, std::vector<CommuneEvent>>> allCommuneEvents(Database &db)
{
    try {
        return eventsOf(db.openRecordset(QStringLiteral("evenements")), {});
    } catch (const DatabaseError &) {
        return std::nullopt;
    }
}

QString formerDepartement(QStringView inseeCode, QStringView isoDate)
{
    return Departement::ofInseeCode(inseeCode).formerNameOn(isoDate);
}

QString eventText(const CommuneEvent &event)
{
    // The commune before the change was of its département up to the day before.
    return QStringLiteral("%1 · %2 · %3 → %4")
        .arg(frenchDate(event.date), event.kind, placed(event.before, event.beforeCode, dayBefore(event.date)),
             placed(event.after, event.afterCode, event.date));
}
