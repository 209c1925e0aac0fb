#include "history/CommuneOnDate.h"

#include <algorithm>

namespace {

// An empty day is before the history when a state begins, after today when it ends.
bool beganBefore(const QString &a, const QString &b)
{
    return !b.isEmpty() && (a.isEmpty() || a < b);
}

bool endedAfter(const QString &a, const QString &b)
{
    return !b.isEmpty() && (a.isEmpty() || a > b);
}

// The store may end one state at several changes that left it as it was
// (a commune with an empty first day, once a change): it is one state, as
// long as the longest of them.
void addOnce(std::vector<CommuneThen> &found, CommuneThen state)
{
    for (CommuneThen &kept : found) {
        if (kept.code == state.code && kept.name == state.name && kept.type == state.type) {
            if (beganBefore(state.began, kept.began))
                kept.began = state.began;
            if (endedAfter(state.ended, kept.ended))
                kept.ended = state.ended;
            return;
        }
    }
    found.push_back(std::move(state));
}

} // namespace

std::optional<std::vector<CommuneThen>> communeOnDate(const CommuneStates &states, const TodayCommune &today,
                                                      const DatePeriod &period)
{
    if (!states.available())
        return std::nullopt;
    const QString &day = period.first;
    std::vector<CommuneThen> found;
    const Column &names = states.rows().column(states.rows().fieldIndex(u"commune"));
    for (int row = 0; row < states.rows().recordCount(); ++row) {
        if (states.target(row) != today.rowid || !states.heldDuring(row, period))
            continue;
        const QString official = states.officialName(row);
        const QString code = states.code(row);
        addOnce(found, {official.isEmpty() ? names.value(size_t(row)).toString() : official, code, states.type(row),
                        states.departements().labelOn(code, day), states.began(row), states.ended(row)});
    }
    if (!states.changedSince1943(today.rowid))
        found.push_back({today.name,
                         today.code,
                         QStringLiteral("commune"),
                         states.departements().labelOn(today.code, day),
                         {},
                         {}});
    std::stable_sort(found.begin(), found.end(), [](const CommuneThen &a, const CommuneThen &b) {
        return a.code != b.code ? a.code < b.code : beganBefore(a.began, b.began);
    });
    // Its days are told only when it changed within the period.
    for (CommuneThen &state : found) {
        if (state.began <= period.first)
            state.began.clear();
        if (state.ended > period.last)
            state.ended.clear();
    }
    return found;
}
