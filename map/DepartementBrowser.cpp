#include "map/DepartementBrowser.h"

#include "map/DepartementTable.h"
#include "map/MapPicture.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr long long firstNumber = 1;
constexpr long long lastNumber = 97; // 96 and 97 are the overseas row

// A step keeps an integer an integer; anything read from a text or already
// fractional is carried on as a double.
DeptNumber addOne(const DeptNumber &number, int delta)
{
    if (const auto *whole = std::get_if<long long>(&number.value()))
        return DeptNumber(*whole + delta);
    return DeptNumber(number.toNumber() + delta);
}

QString doubleToText(double value)
{
    std::array<char, 32> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return {};
    return QString::fromLatin1(text.data(), end - text.data());
}

} // namespace

double DeptNumber::toNumber() const
{
    if (const auto *whole = std::get_if<long long>(&m_value))
        return double(*whole);
    if (const auto *number = std::get_if<double>(&m_value))
        return *number;
    bool ok = false;
    const double read = std::get<QString>(m_value).trimmed().toDouble(&ok);
    return ok && std::isfinite(read) ? read : 0.0;
}

QString DeptNumber::toText() const
{
    if (const auto *whole = std::get_if<long long>(&m_value))
        return QString::number(*whole);
    if (const auto *number = std::get_if<double>(&m_value))
        return doubleToText(*number);
    return std::get<QString>(m_value);
}

DeptNumber stepDown(const DeptNumber &number)
{
    const DeptNumber next = addOne(number, -1);
    return next.toNumber() < firstNumber ? DeptNumber(lastNumber) : next;
}

DeptNumber stepUp(const DeptNumber &number)
{
    const DeptNumber next = addOne(number, +1);
    return next.toNumber() > lastNumber ? DeptNumber(firstNumber) : next;
}

BrowserCaptions browserPress(BrowserDirection direction, BrowserState &state,
                                  MapPicture &map, FillColorGenerator &colors)
{
    state.deptNumber = direction == BrowserDirection::Down ? stepDown(state.deptNumber)
                                                           : stepUp(state.deptNumber);
    const QString label5 = state.deptNumber.toText();
    if (const auto row = LookupDepartement(label5)) {
        state.seed = QPointF(row->x, row->y);
        state.deptName = row->displayName();
    }
    map.reset();
    map.fillAtPoint(state.seed, colors);
    return {label5, state.deptName};
}
