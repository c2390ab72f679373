// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/numeric.h"

#include "tests/printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

struct TextToNumber {
    const char16_t *text;
    double expected;
};

void PrintTo(const TextToNumber &row, std::ostream *os)
{
    *os << '\'' << QString::fromUtf16(row.text).toStdString() << '\'';
}

class NumericValueReads : public ::testing::TestWithParam<TextToNumber> { };

TEST_P(NumericValueReads, Text)
{
    EXPECT_DOUBLE_EQ(NumericValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(BlanksAnywhere, NumericValueReads, ::testing::Values(
    TextToNumber{u"1901", 1901},
    TextToNumber{u" 1901", 1901},
    TextToNumber{u"1901 ", 1901},
    TextToNumber{u"19 01", 1901},
    TextToNumber{u"1\t9\n0 1", 1901},
    TextToNumber{u"- 5", -5},
    TextToNumber{u"2 . 5", 2.5},
    TextToNumber{u"1 E 3", 1000},
    TextToNumber{u"1E - 3", 0.001},
    // A carriage return is not one of the skipped blanks: it stops the number.
    TextToNumber{u"\r1901", 0},
    TextToNumber{u"19\r01", 19}));

INSTANTIATE_TEST_SUITE_P(SignAndFraction, NumericValueReads, ::testing::Values(
    TextToNumber{u"+5", 5},
    TextToNumber{u"-5", -5},
    TextToNumber{u"2.5", 2.5},
    TextToNumber{u".5", 0.5},
    TextToNumber{u"-.5", -0.5},
    TextToNumber{u"5.", 5},
    TextToNumber{u"2000.0", 2000},
    TextToNumber{u"1900.5", 1900.5},
    TextToNumber{u"007", 7}));

INSTANTIATE_TEST_SUITE_P(Exponent, NumericValueReads, ::testing::Values(
    TextToNumber{u"1E3", 1000},
    TextToNumber{u"1e3", 1000},
    TextToNumber{u"1E+3", 1000},
    TextToNumber{u"1E-3", 0.001},
    TextToNumber{u"2.5E2", 250},
    TextToNumber{u"1e9", 1e9},
    TextToNumber{u"1E", 1},
    TextToNumber{u"1E+", 1},
    TextToNumber{u"1E-x", 1},
    TextToNumber{u"1Ex5", 1},
    TextToNumber{u"1E2E3", 100},
    TextToNumber{u"E5", 0}));

INSTANTIATE_TEST_SUITE_P(StopsAtFirstBadCharacter, NumericValueReads, ::testing::Values(
    TextToNumber{u"1901,extra", 1901},
    TextToNumber{u"1995abc", 1995},
    TextToNumber{u"1,5", 1},
    TextToNumber{u"1.2.3", 1.2},
    TextToNumber{u"12-3", 12},
    TextToNumber{u"5+", 5},
    TextToNumber{u"3\u00bd", 3},
    TextToNumber{u"1\u00a0000", 1}));

INSTANTIATE_TEST_SUITE_P(NoNumberGivesZero, NumericValueReads, ::testing::Values(
    TextToNumber{u"", 0},
    TextToNumber{u"   ", 0},
    TextToNumber{u"abc", 0},
    TextToNumber{u".", 0},
    TextToNumber{u"-", 0},
    TextToNumber{u"+-5", 0},
    TextToNumber{u"--5", 0},
    TextToNumber{u"-.", 0},
    TextToNumber{u"\u0661\u0662", 0},
    TextToNumber{u"\uff11\uff12", 0}));

TEST(NumericValue, HugeMagnitudesSaturateAndStayFinite)
{
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(NumericValue(u"1e400"), largest);
    EXPECT_EQ(NumericValue(u"-1e400"), -largest);
    EXPECT_EQ(NumericValue(u"1e99999999999999999999"), largest);
    EXPECT_EQ(NumericValue(QString(400, u'9')), largest);

    const double tiny = NumericValue(u"1e-400");
    EXPECT_TRUE(std::isfinite(tiny));
    EXPECT_GE(tiny, 0.0);
    EXPECT_LT(tiny, 1e-300);
}

// Under a comma-decimal locale the C library reads "2.5" as 2; the program's
// reading must not change with the locale the user runs it in.
TEST(NumericValue, IgnoresTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char *commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8",
                                 "German_Germany.1252"};
    auto activateCommaLocale = [&]() -> const char * {
        for (const char *name : commaLocales) {
            if (std::setlocale(LC_ALL, name) && std::strtod("2.5", nullptr) == 2.0)
                return name;
        }
        return nullptr;
    };
    const char *active = activateCommaLocale();
    // A machine without a German locale can still build one from the
    // locale sources, into a folder of our own that LOCPATH points to.
    QTemporaryDir localeDir;
    if (!active && localeDir.isValid() && QFile::exists(QStringLiteral("/usr/share/i18n/locales/de_DE"))) {
        const QByteArray command = "localedef -c -i de_DE -f UTF-8 '" + localeDir.filePath(QStringLiteral("de_DE.UTF-8")).toLocal8Bit()
                + "' >/dev/null 2>&1";
        if (std::system(command.constData()) != -1) {
            qputenv("LOCPATH", localeDir.path().toLocal8Bit());
            active = activateCommaLocale();
        }
    }
    if (!active) {
        std::setlocale(LC_ALL, saved.c_str());
        qunsetenv("LOCPATH");
        GTEST_SKIP() << "no comma-decimal locale is installed, and none could be built";
    }

    EXPECT_EQ(NumericValue(u"2.5"), 2.5) << "under " << active;
    EXPECT_EQ(NumericValue(u"2,5"), 2.0) << "under " << active;
    EXPECT_EQ(NumericValue(u"1.5E3"), 1500.0) << "under " << active;
    EXPECT_EQ(NumberText(1900.5), QStringLiteral("1900.5")) << "under " << active;
    std::setlocale(LC_ALL, saved.c_str());
    qunsetenv("LOCPATH");
}

struct Rounding {
    double value;
    std::optional<qint16> expected;
};

void PrintTo(const Rounding &row, std::ostream *os)
{
    *os << row.value;
}

class ToInteger16Rounds : public ::testing::TestWithParam<Rounding> { };

TEST_P(ToInteger16Rounds, Value)
{
    EXPECT_EQ(ToInteger16(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(HalvesToEven, ToInteger16Rounds, ::testing::Values(
    Rounding{2.5, 2},
    Rounding{3.5, 4},
    Rounding{0.5, 0},
    Rounding{1.5, 2},
    Rounding{-0.5, 0},
    Rounding{-1.5, -2},
    Rounding{-2.5, -2},
    Rounding{1900.5, 1900},
    Rounding{1901.5, 1902}));

INSTANTIATE_TEST_SUITE_P(Nearest, ToInteger16Rounds, ::testing::Values(
    Rounding{0.0, 0},
    Rounding{2.4, 2},
    Rounding{2.6, 3},
    Rounding{7.6, 8},
    Rounding{-7.6, -8},
    Rounding{0.49999999999999994, 0},
    Rounding{2.5000000000000004, 3}));

INSTANTIATE_TEST_SUITE_P(RangeEnds, ToInteger16Rounds, ::testing::Values(
    Rounding{32767.0, 32767},
    Rounding{32767.4, 32767},
    Rounding{32766.5, 32766},
    Rounding{32767.5, std::nullopt},
    Rounding{32768.0, std::nullopt},
    Rounding{-32768.0, -32768},
    Rounding{-32768.5, -32768},
    Rounding{-32767.5, -32768},
    Rounding{-32768.6, std::nullopt},
    Rounding{-32769.0, std::nullopt},
    Rounding{1e9, std::nullopt},
    Rounding{-1e9, std::nullopt},
    Rounding{std::numeric_limits<double>::max(), std::nullopt},
    Rounding{-std::numeric_limits<double>::max(), std::nullopt},
    Rounding{std::numeric_limits<double>::infinity(), std::nullopt},
    Rounding{std::numeric_limits<double>::quiet_NaN(), std::nullopt}));

TEST(NumberText, IntegerHasDigitsAndMinusOnly)
{
    EXPECT_EQ(NumberText(qint16(0)), u"0");
    EXPECT_EQ(NumberText(qint16(1871)), u"1871");
    EXPECT_EQ(NumberText(qint16(-5)), u"-5");
    EXPECT_EQ(NumberText(qint16(32767)), u"32767");
    EXPECT_EQ(NumberText(qint16(-32768)), u"-32768");
}

struct NumberToText {
    double value;
    const char16_t *expected;
};

void PrintTo(const NumberToText &row, std::ostream *os)
{
    *os << row.value;
}

class NumberTextOfDouble : public ::testing::TestWithParam<NumberToText> { };

TEST_P(NumberTextOfDouble, Value)
{
    EXPECT_EQ(NumberText(GetParam().value), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Values, NumberTextOfDouble, ::testing::Values(
    NumberToText{NumericValue(u"2000.0"), u"2000"},
    NumberToText{NumericValue(u"1995abc"), u"1995"},
    NumberToText{NumericValue(u"1.9E3"), u"1900"},
    NumberToText{0.0, u"0"},
    NumberToText{-0.0, u"0"},
    NumberToText{-1860.0, u"-1860"},
    NumberToText{40000.0, u"40000"},
    NumberToText{1900.5, u"1900.5"},
    NumberToText{-0.5, u"-0.5"},
    NumberToText{0.1, u"0.1"},
    NumberToText{1.0 / 3.0, u"0.333333333333333"},
    NumberToText{2.0 / 3.0, u"0.666666666666667"},
    NumberToText{0.0001, u"0.0001"},
    NumberToText{0.00012345, u"0.00012345"},
    NumberToText{0.00001, u"1E-05"},
    NumberToText{123456789012345.0, u"123456789012345"},
    NumberToText{1e20, u"1E+20"}));

} // namespace
