#include "store/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

static QLocale withoutGrouping(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

namespace {

// printf's %.15g of a number written without an exponent (1e-4 <= |value| <
// 1e15), read off the integer of its fifteen significant digits; nothing
// when that rounding could be in doubt (a sixteenth digit near 5), left to
// the exact conversion. A batch writes two coordinates a line.
std::optional<QString> fifteenDigits(double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e15))
        return std::nullopt;
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    int decimals = 0; // of the fifteen digits, those after the point
    while (decimals < 18 && magnitude * powers[decimals] < 1e14)
        ++decimals;
    // Below 2^50, the product is within a sixteenth of the exact one.
    const double scaled = magnitude * powers[decimals];
    const double whole = std::floor(scaled);
    if (!(scaled >= 1e14 && scaled < 1e15) || std::fabs(scaled - whole - 0.5) < 0.125)
        return std::nullopt;
    const auto digits = static_cast<std::uint64_t>(whole) + (scaled - whole > 0.5 ? 1 : 0);
    if (digits >= 1000000000000000u)
        return std::nullopt; // rounded up to a sixteenth digit
    std::array<char, 15> figures{};
    std::uint64_t rest = digits;
    for (int i = 14; i >= 0; --i, rest /= 10)
        figures[size_t(i)] = char('0' + rest % 10);
    int last = 15; // trailing zeros after the point are dropped
    while (last > 15 - decimals && figures[size_t(last - 1)] == '0')
        --last;
    std::array<char, 40> text{};
    size_t length = 0;
    if (value < 0)
        text[length++] = '-';
    const int integerDigits = 15 - decimals;
    if (integerDigits <= 0) {
        text[length++] = '0';
        text[length++] = '.';
        for (int i = integerDigits; i < 0; ++i)
            text[length++] = '0';
    }
    for (int i = 0; i < last; ++i) {
        if (i == integerDigits && i > 0)
            text[length++] = '.';
        text[length++] = figures[size_t(i)];
    }
    return QString::fromLatin1(text.data(), qsizetype(length));
}

} // namespace

QString numberToText(double value, const QLocale &locale)
{
    // The C locale's text is printf's %.15g, which the standard library
    // writes many times faster: a batch writes two numbers a line.
    if (locale.language() == QLocale::C && std::isfinite(value)) {
        if (std::optional<QString> text = fifteenDigits(value))
            return *std::move(text);
        std::array<char, 32> text{};
        const auto [end, error] =
            std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::general, 15);
        if (error == std::errc())
            return QString::fromLatin1(text.data(), end - text.data());
    }
    // 'g' with precision 15 drops trailing zeros, like the general number form.
    return withoutGrouping(locale).toString(value, 'g', 15);
}

std::optional<double> textToNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const double value = withoutGrouping(locale).toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString valueToText(const QVariant &value, const QLocale &locale)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return numberToText(value.toDouble(), locale);
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return withoutGrouping(locale).toString(value.toLongLong());
    default:
        return value.toString();
    }
}

template <typename Number>
static QString shortestTextOf(Number value)
{
    std::array<char, 32> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return {};
    return QString::fromLatin1(text.data(), end - text.data());
}

QString shortestText(double value)
{
    return shortestTextOf(value);
}

QString shortestText(float value)
{
    return shortestTextOf(value);
}

long long leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1'000'000'000'000LL; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return negative ? -value : value;
}
