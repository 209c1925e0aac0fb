#include "store/NumberText.h"

#include <QRandomGenerator>
#include <QtTest>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

QLocale french()
{
    return QLocale(QLocale::French, QLocale::France);
}
QLocale english()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void numberToText_data();
    void numberToText();
    void textToNumber_data();
    void textToNumber();
    void valueToText_data();
    void valueToText();
    void roundTrip_data();
    void roundTrip();
    void leadingNumber_data();
    void leadingNumber();
    void cLocaleAsPrintf();
};

void TestNumberText::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("fr decimal comma") << 4.92582 << french() << "4,92582";
    QTest::newRow("en decimal point") << 4.92582 << english() << "4.92582";
    QTest::newRow("fr no grouping") << 12345.678 << french() << "12345,678";
    QTest::newRow("en no grouping") << 12345.678 << english() << "12345.678";
    QTest::newRow("fr big integer no grouping") << 1234567.0 << french() << "1234567";
    QTest::newRow("fr 15 digits") << 0.1 + 0.2 << french() << "0,3";
    QTest::newRow("en 15 digits") << 0.1 + 0.2 << english() << "0.3";
    QTest::newRow("fr negative") << -4.48628 << french() << "-4,48628";
    QTest::newRow("en negative") << -4.48628 << english() << "-4.48628";
    QTest::newRow("fr integer") << 46.0 << french() << "46";
    QTest::newRow("en integer") << 46.0 << english() << "46";
    QTest::newRow("zero") << 0.0 << french() << "0";
    QTest::newRow("fr negative integer") << -20.0 << french() << "-20";
    QTest::newRow("no trailing zeros") << 42.7 << french() << "42,7";
    QTest::newRow("fifteen significant") << 1.23456789012345 << english() << "1.23456789012345";
    QTest::newRow("sixteenth rounded") << 1.234567890123456 << english() << "1.23456789012346";
    // clang-format on
}

void TestNumberText::numberToText()
{
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);

    QCOMPARE(::numberToText(value, locale), expected);
}

void TestNumberText::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("expected");

    // clang-format off
    QTest::newRow("fr comma") << "4,92582" << french() << true << 4.92582;
    QTest::newRow("en point") << "4.92582" << english() << true << 4.92582;
    QTest::newRow("fr negative") << "-20,88" << french() << true << -20.88;
    QTest::newRow("en integer") << "46" << english() << true << 46.0;
    QTest::newRow("blanks around") << " 42,7 " << french() << true << 42.7;
    QTest::newRow("fr refuses point") << "4.92582" << french() << false << 0.0;
    QTest::newRow("empty") << "" << french() << false << 0.0;
    QTest::newRow("letters") << "abc" << english() << false << 0.0;
    QTest::newRow("trailing garbage") << "4,9x" << french() << false << 0.0;
    // clang-format on
}

void TestNumberText::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(bool, valid);
    QFETCH(double, expected);

    const auto value = ::textToNumber(text, locale);
    QCOMPARE(value.has_value(), valid);
    if (valid)
        QCOMPARE(*value, expected);
}

void TestNumberText::valueToText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("text unchanged") << QVariant(QString("SAINT-MALO")) << french() << "SAINT-MALO";
    QTest::newRow("text digits unchanged") << QVariant(QString("01000")) << french() << "01000";
    QTest::newRow("fr double") << QVariant(4.92582) << french() << "4,92582";
    QTest::newRow("en double") << QVariant(4.92582) << english() << "4.92582";
    QTest::newRow("fr big long long") << QVariant(qlonglong(1234567)) << french() << "1234567";
    QTest::newRow("en big int") << QVariant(int(75016)) << english() << "75016";
    QTest::newRow("negative int") << QVariant(int(-5)) << french() << "-5";
    // clang-format on
}

void TestNumberText::valueToText()
{
    QFETCH(QVariant, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);

    QCOMPARE(::valueToText(value, locale), expected);
}

void TestNumberText::roundTrip_data()
{
    QTest::addColumn<QLocale>("locale");

    // clang-format off
    QTest::newRow("French") << french();
    QTest::newRow("English") << english();
    // clang-format on
}

// Any double written with up to 15 significant digits, as the stored
// coordinates are, reads back as the very same double from its shown text.
void TestNumberText::roundTrip()
{
    QFETCH(QLocale, locale);

    QRandomGenerator generator(20240601);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + int(generator.bounded(15));
        const int exponent = int(generator.bounded(12)) - 6;
        const double mantissa = generator.generateDouble() * (generator.bounded(2) ? 1.0 : -1.0);
        const double raw = mantissa * std::pow(10.0, exponent);
        // The nearest double to the decimal with `digits` significant digits.
        const double value = QString::number(raw, 'g', digits).toDouble();

        const QString text = ::numberToText(value, locale);
        const auto back = ::textToNumber(text, locale);
        QVERIFY2(back.has_value(), qPrintable(text));
        QVERIFY2(*back == value,
                 qPrintable(QString("%1 -> %2 -> %3").arg(value, 0, 'g', 17).arg(text).arg(*back, 0, 'g', 17)));
    }
}

void TestNumberText::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qlonglong>("expected");

    // clang-format off
    QTest::newRow("01") << "01" << 1LL;
    QTest::newRow("75") << "75" << 75LL;
    QTest::newRow("20") << "20" << 20LL;
    QTest::newRow("97") << "97" << 97LL;
    QTest::newRow("2A") << "2A" << 2LL;
    QTest::newRow("AB") << "AB" << 0LL;
    QTest::newRow("empty") << "" << 0LL;
    QTest::newRow("leading blank") << " 7" << 7LL;
    QTest::newRow("postal code") << "01000" << 1000LL;
    QTest::newRow("sign") << "-12" << -12LL;
    QTest::newRow("plus") << "+3" << 3LL;
    QTest::newRow("sign alone") << "-" << 0LL;
    QTest::newRow("zeros") << "00" << 0LL;
    // clang-format on
}

void TestNumberText::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(qlonglong, expected);

    QCOMPARE(::leadingNumber(text), expected);
}

// The C locale writes what printf's %.15g writes, on both sides of the
// bounds where its shorter way gives up: 15 significant digits, 1e-4 and
// 1e15, where %.15g takes an exponent.
void TestNumberText::cLocaleAsPrintf()
{
    std::vector<double> values = {
        0.0,       -0.0,    1e-4,     -1e-4, 9.99999999999999e-5, 1e15, 999999999999999.0, 99999999999999.9, 0.1 + 0.2,
        1.0 / 3.0, 48.8566, -4.48628, 1e300};
    QRandomGenerator generator(20261210);
    for (int i = 0; i < 20000; ++i) {
        const double mantissa = generator.generateDouble() * (generator.bounded(2) ? 1.0 : -1.0);
        const double raw = mantissa * std::pow(10.0, int(generator.bounded(24)) - 8);
        values.push_back(i % 2 ? raw : QString::number(raw, 'g', 1 + int(generator.bounded(17))).toDouble());
        // Sixteen digits ending in 5: the fifteenth is a tie as written, rounded either way as a double.
        values.push_back(QString::number(raw, 'e', 14).replace(QLatin1String("e"), QLatin1String("5e")).toDouble());
    }
    for (const double value : values) {
        std::array<char, 64> printed{};
        std::snprintf(printed.data(), printed.size(), "%.15g", value);
        QCOMPARE(::numberToText(value, QLocale::c()), QString::fromLatin1(printed.data()));
    }
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_number_text.moc"
