#include "history/CommuneStates.h"

#include "store/DatabaseError.h"

#include <QDate>
#include <QRegularExpression>

std::optional<DatePeriod> parseDatePeriod(QStringView text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})(?:-(\\d{2})(?:-(\\d{2}))?)?$"));
    const QRegularExpressionMatch parts = form.match(text.trimmed().toString());
    if (!parts.hasMatch())
        return std::nullopt;
    const int year = parts.captured(1).toInt();
    const bool hasMonth = !parts.captured(2).isEmpty();
    const bool hasDay = !parts.captured(3).isEmpty();
    const int month = hasMonth ? parts.captured(2).toInt() : 1;
    const QDate first(year, month, hasDay ? parts.captured(3).toInt() : 1);
    if (year < 1 || !first.isValid())
        return std::nullopt;
    const QDate last = hasDay ? first : hasMonth ? first.addMonths(1).addDays(-1) : QDate(year, 12, 31);
    return DatePeriod{first.toString(Qt::ISODate), last.toString(Qt::ISODate)};
}

CommuneStates::CommuneStates(Database &db) : m_departements(db)
{
    try {
        Recordset rows = db.openRecordset(QStringLiteral("etats"));
        m_code = rows.fieldIndex(u"code_insee");
        rows.fieldIndex(u"commune");
        m_type = rows.fieldIndex(u"type");
        m_from = rows.fieldIndex(u"debut");
        m_until = rows.fieldIndex(u"fin");
        m_target = rows.fieldIndex(u"actuelle");
        m_official = rows.table() ? rows.table()->columnIndex(u"nom") : -1;
        m_rows = std::move(rows);
    } catch (const DatabaseError &) {
        // No such table, or not one that this program wrote.
        m_rows.reset();
        return;
    }
    for (int row = 0; row < int(m_rows->column(m_code).size()); ++row) {
        if (text(m_until, row).isEmpty() && type(row) == QStringLiteral("commune"))
            m_changed.insert(target(row));
    }
}

QString CommuneStates::text(int column, int row) const
{
    const Column &cells = m_rows->column(column);
    return cells.isNull(size_t(row)) ? QString() : cells.value(size_t(row)).toString();
}

bool CommuneStates::heldDuring(int row, const DatePeriod &period) const
{
    const QString from = began(row);
    const QString until = ended(row);
    // It held from its first day to the day before the change that ended it.
    return (from.isEmpty() || from <= period.last) && (until.isEmpty() || until > period.first);
}

QString CommuneStates::began(int row) const
{
    return text(m_from, row);
}

QString CommuneStates::ended(int row) const
{
    return text(m_until, row);
}

QString CommuneStates::code(int row) const
{
    return text(m_code, row);
}

QString CommuneStates::officialName(int row) const
{
    return m_official >= 0 ? text(m_official, row) : QString();
}

QString CommuneStates::type(int row) const
{
    return text(m_type, row);
}

qint64 CommuneStates::target(int row) const
{
    bool isNumber = false;
    const qint64 rowid = m_rows->column(m_target).value(size_t(row)).toLongLong(&isNumber);
    return isNumber ? rowid : -1;
}

QString noHistoryText()
{
    return QStringLiteral("ce fichier de données ne dit pas l'histoire des communes");
}

QString noHistorySentence()
{
    const QString text = noHistoryText();
    return text.front().toUpper() + text.mid(1) + QLatin1Char('.');
}

QString dateNeedsHistory()
{
    return noHistoryText() + QStringLiteral(" : une date demande la table livrée avec Topovil");
}
