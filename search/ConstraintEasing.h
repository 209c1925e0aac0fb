#pragma once

#include "search/SearchTables.h"

#include <array>

// When no finder satisfies the constraints given, they are eased, step by
// step, until one does: the postal code alone; the postal code's own
// département; the département given; none.

// How far the constraints given are eased, in order.
enum class Ease { AllGiven, PostcodeAlone, PostcodesDepartement, DepartementGiven, Nothing };

struct Easing
{
    Ease ease;
    SearchMatches::Held held;
};

// At most five steps; none is made on the heap, for the many searches of a batch.
struct Easings
{
    std::array<Easing, 5> steps;
    size_t count = 0;

    void push_back(Easing easing) { steps[count++] = easing; }
    const Easing *begin() const { return steps.data(); }
    const Easing *end() const { return steps.data() + count; }
};

// The steps for the constraints given, the strictest first.
Easings easings(const Constraints &given);

// Tells which matches the constraints keep, eased so far.
class ConstraintCheck
{
public:
    ConstraintCheck(SearchTables &tables, const Constraints &given);

    bool keeps(const Match &match, Ease ease);

private:
    bool hasPostcode(const Match &match);
    bool inDepartementGiven(int row);

    SearchTables &m_tables;
    const Constraints &m_given;
    QString m_code; // the département given as a code; empty for a name
    QString m_name; // the département given as a name, folded
    QStringList m_codesOfPostcode;
};
