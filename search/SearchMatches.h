#pragma once

#include "geometry/GreatCircle.h"
#include "search/Match.h"
#include "store/Recordset.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Why a text cannot be searched.
enum class RefusalReason : std::uint8_t {
    None,
    Pattern,   // a malformed pattern, a text too long
    Date,      // a date that is none
    Position,  // coordinates that are no place on the globe
    NoHistory, // a date asked of a file that does not tell the communes' history
};

// The communes one search found, in table order, and which of them is
// shown: the first after the search, then the next at each F3 (the first
// again after the last), or the one chosen in the list of matches.
class SearchMatches
{
public:
    SearchMatches() = default;
    explicit SearchMatches(std::vector<Match> matches);
    // Rows found by one kind of search alone (the communes nearest to a point).
    SearchMatches(const std::vector<int> &rows, MatchKind kind);

    // A text the search read but cannot use (coordinates off the globe):
    // no match, and why, in French.
    static SearchMatches refused(RefusalReason reason, QString why)
    {
        SearchMatches none;
        none.m_reason = reason;
        none.m_refusal = std::move(why);
        return none;
    }
    QString refusal() const { return m_refusal; }
    RefusalReason refusalReason() const { return m_reason; }

    int count() const { return int(m_rows.size()); }
    // The position of the shown match among them, from 0.
    int index() const { return m_index; }
    // The table row of the shown match; -1 when there is none.
    int row() const { return m_rows.empty() ? -1 : m_rows[size_t(m_index)]; }
    const std::vector<int> &rows() const { return m_rows; }
    const Match &match(int index) const { return m_matches[size_t(index)]; }
    const std::vector<Match> &all() const { return m_matches; }
    // The code that matched for the match at `index`, or for the shown one:
    // a postal code, an INSEE code, an arrondissement's own postal code;
    // empty for a search by name.
    QString code(int index) const;
    QString code() const { return code(m_index); }
    // The postal code that matched, the one the answer gives: the typed one,
    // the arrondissement's; empty when none did.
    QString postcode(int index) const;
    // The other name that matched for the match at `index`, or for the
    // shown one; an empty name when the current name matched.
    OtherName otherName(int index) const;
    OtherName otherName() const { return otherName(m_index); }
    bool hasKind(MatchKind kind) const;

    // The position the text itself names: the centre of a locator's square,
    // typed coordinates; none for a name or a code.
    std::optional<GeoPoint> place() const { return m_place; }
    void setPlace(std::optional<GeoPoint> place) { m_place = place; }

    // Which of the constraints given the matches satisfy (Constraints in
    // Query.h): set by the search.
    enum class Held {
        NoneGiven,              // no constraint was given
        PostcodeAndDepartement, // the postal code given, and so its département
        PostcodeOnly,           // the postal code, not the département given with it
        DepartementOnly,        // the département given, or the postal code's, not the code
        Neither,                // none: the matches are those of the text alone
    };
    Held held() const { return m_held; }
    void setHeld(Held held) { m_held = held; }

    // Shows the next match, the first after the last; its row.
    int next();
    // Shows the match at this position (clamped to the matches); its row.
    int select(int index);

    // « 2 sur 11 »: the shown match and how many there are.
    QString countText() const;

private:
    std::vector<Match> m_matches;
    std::vector<int> m_rows; // the matches' rows, for the callers that step through them
    QString m_refusal;
    RefusalReason m_reason = RefusalReason::None;
    Held m_held = Held::NoneGiven;
    std::optional<GeoPoint> m_place;
    int m_index = 0;
};

// How much of a former name's way a text tells: every step, or the first and
// the last (shortWayText) where room is short.
enum class WayLength { Whole, Short };

// The way of another name `from` (its name, or its name and former code) to
// `current`, today's commune, as its steps tell it: « OCTEVILLE → CHERBOURG
// OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN COTENTIN (commune
// nouvelle, 1er janvier 2016) », « CHERBOURG OCTEVILLE → CHERBOURG EN
// COTENTIN (commune déléguée, 1er janvier 2016) »; empty without steps.
QString otherNameWay(MatchKind kind, const OtherName &other, const QString &from, const QString &current,
                     WayLength length = WayLength::Whole);

// « CHERBOURG OCTEVILLE → CHERBOURG EN COTENTIN (commune déléguée) »: the
// other name by which the match at `index` was found and the commune it
// leads to, step by step when the store tells the steps (« OCTEVILLE →
// CHERBOURG OCTEVILLE (fusion, 28 février 2000) → CHERBOURG EN COTENTIN
// (commune nouvelle, 1er janvier 2016) »); empty when the match was found by
// its current name.
QString otherNameText(const Recordset &records, const SearchMatches &matches, int index,
                      WayLength length = WayLength::Whole);

// One line of the list of matches, for the match at `index`: name (or the
// other name and where it leads), postal code (the one that matched, if
// any) and département, separated by long dashes; an empty field reads as
// nothing.
QString matchLine(const Recordset &records, const SearchMatches &matches, int index,
                  WayLength length = WayLength::Whole);

// The list shows no more matches than this: a pattern such as * finds
// every commune, and F3 still reaches them all.
inline constexpr int MaxListedMatches = 300;
