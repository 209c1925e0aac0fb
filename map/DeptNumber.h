#pragma once

#include <QString>

#include <utility>
#include <variant>

// The window's deptNumber: the integer 0 at start, the text the record
// display stores ("75"), or the number a browser step left. Arithmetic reads
// a text as a number, as the window always has.
class DeptNumber
{
public:
    using Value = std::variant<long long, double, QString>;

    DeptNumber() = default;
    explicit DeptNumber(int value) : m_value(static_cast<long long>(value)) {}
    explicit DeptNumber(long long value) : m_value(value) {}
    explicit DeptNumber(double value) : m_value(value) {}
    explicit DeptNumber(QString text) : m_value(std::move(text)) {}

    const Value &value() const { return m_value; }

    // The value as a number. A text is read as a decimal number, blanks
    // around it ignored ("75" -> 75). A text that is no number reads as 0:
    // the window only ever stores number texts, and a browser press on
    // anything else then starts again from the ends (1 or 97) instead of
    // stopping the program.
    double toNumber() const;
    // Decimal text without leading zeros: 74, 97; a text as it is.
    QString toText() const;

    bool operator==(const DeptNumber &) const = default;

private:
    Value m_value{0LL};
};
