#include "store/NumberText.h"

#include <array>
#include <charconv>
#include <cmath>

static QLocale withoutGrouping(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

QString numberToText(double value, const QLocale &locale)
{
    // The C locale's text is printf's %.15g, which the standard library
    // writes many times faster: a batch writes two numbers a line.
    if (locale.language() == QLocale::C && std::isfinite(value)) {
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
