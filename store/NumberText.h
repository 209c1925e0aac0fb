#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

// Numbers shown to the user: the general form with up to 15 significant
// digits, the locale's decimal separator and no digit grouping.
QString numberToText(double value, const QLocale &locale = QLocale());

// The shown text read back as a number in the same locale.
std::optional<double> textToNumber(const QString &text, const QLocale &locale = QLocale());

// A field value as text: text unchanged, numbers as numberToText.
QString valueToText(const QVariant &value, const QLocale &locale = QLocale());

// The shortest decimal text that reads back as the same value, with a dot
// and no exponent for ordinary sizes: 190 -> "190", 12.5 -> "12.5", and a
// single-precision 0.1f -> "0.1".
QString shortestText(double value);
QString shortestText(float value);

// The number at the start of a text, as a leading number is read: optional
// blanks, an optional sign, then digits; 0 when there are none.
long long leadingNumber(QStringView text);
