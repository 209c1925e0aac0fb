#include "map/DeptNumber.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

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
