#include "map/DeptNumber.h"

#include "store/NumberText.h"

#include <cmath>

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
        return shortestText(*number);
    return std::get<QString>(m_value);
}
