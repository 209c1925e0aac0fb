#pragma once

#include "geometry/GreatCircle.h"
#include "history/CommuneStates.h"
#include "names/NamePattern.h"

#include <QString>
#include <optional>

// What a caller knows of the commune besides its name: a postal code (blanks
// inside and a lost leading 0 mended, UsualForms.h), a département (its code,
// « 74 », « 2A », « 1 », or its name), a date
// (AAAA, AAAA-MM or AAAA-MM-JJ: what the name or code designated then).
// Blank when not given.
struct Constraints
{
    QString postcode;
    QString departement;
    QString date;

    bool any() const { return !postcode.isEmpty() || !departement.isEmpty() || !date.isEmpty(); }
};

// One search, made once from what the caller gives: the text as the window
// searches it (upper-cased), its folded form, the pattern compiled when a
// finder first needs it, and the constraints.
class Query
{
public:
    // Nothing, with a French message in *error, when the text cannot be
    // searched (a malformed pattern, a text too long, a date that is none).
    static std::optional<Query> make(QStringView text, Constraints constraints = {}, QString *error = nullptr);
    // The `count` communes nearest to a point (a click on the map), nearest first.
    static Query near(GeoPoint point, int count);

    // The text upper-cased, blanks kept: what the names are matched with.
    const QString &typed() const { return m_typed; }
    // Without blanks around it: what the codes, locators and positions read.
    QStringView trimmed() const { return QStringView(m_typed).mid(m_trimmedFrom, m_trimmedLength); }
    // The folded form of the typed text (NameFolding.h).
    const QString &folded() const { return m_folded; }
    // No wildcard: a plain name, which an index can answer.
    bool isPlainName() const { return m_plain; }
    const NamePattern &pattern() const;
    const Constraints &constraints() const { return m_constraints; }
    // The postal code given had four digits: its leading 0 was put back.
    bool postcodeZeroAdded() const { return m_postcodeZeroAdded; }
    // The days of the date given; none without one.
    const std::optional<DatePeriod> &period() const { return m_period; }
    // The point of a query made by near(); none for a typed text.
    const std::optional<GeoPoint> &point() const { return m_point; }
    int nearestCount() const { return m_nearestCount; }

private:
    Query() = default;

    QString m_typed;
    qsizetype m_writtenLength = 0; // in characters, before upper-casing
    qsizetype m_trimmedFrom = 0;
    qsizetype m_trimmedLength = 0;
    QString m_folded;
    bool m_plain = false;
    Constraints m_constraints;
    bool m_postcodeZeroAdded = false;
    std::optional<DatePeriod> m_period;
    std::optional<GeoPoint> m_point;
    int m_nearestCount = 0;
    mutable std::optional<NamePattern> m_pattern;
};
