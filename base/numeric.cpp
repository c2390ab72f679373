// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numeric.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

bool isSkippedBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The number at the start of the text as plain ASCII, with the skipped blanks
// removed; empty when the text holds no number.
std::string numberPrefix(QStringView text)
{
    std::string clean;
    qsizetype i = 0;
    auto peek = [&]() -> char16_t {
        while (i < text.size() && isSkippedBlank(text[i]))
            ++i;
        return i < text.size() ? text[i].unicode() : u'\0';
    };
    auto takeDigits = [&](std::string &into) {
        bool any = false;
        for (char16_t c = peek(); isDigit(c); c = peek()) {
            into.push_back(char(c));
            any = true;
            ++i;
        }
        return any;
    };

    if (const char16_t c = peek(); c == u'+' || c == u'-') {
        clean.push_back(char(c));
        ++i;
    }
    bool anyDigit = takeDigits(clean);
    if (peek() == u'.') {
        clean.push_back('.');
        ++i;
        anyDigit = takeDigits(clean) || anyDigit;
    }
    if (!anyDigit)
        return {};

    // An exponent counts only when at least one digit follows it.
    if (const char16_t c = peek(); c == u'E' || c == u'e') {
        std::string exponent = "e";
        ++i;
        if (const char16_t sign = peek(); sign == u'+' || sign == u'-') {
            exponent.push_back(char(sign));
            ++i;
        }
        if (takeDigits(exponent))
            clean += exponent;
    }
    return clean;
}

// Whether a number that lies outside a double's range is too large rather
// than too small: the place of its first significant digit, against the
// point, plus its exponent.
bool beyondLargest(std::string_view number)
{
    const size_t exponentAt = number.find('e');
    const std::string_view mantissa = number.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = number.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000);
        if (negative)
            exponent = -exponent;
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t firstSignificant = mantissa.find_first_of("123456789");
    const long long place = firstSignificant < point ? (long long)(point - firstSignificant)
                                                     : -(long long)(firstSignificant - point - 1);
    return place + exponent > 0;
}

} // namespace

double NumericValue(QStringView text)
{
    // Plain digits, as in nearly every year and count, are read directly: up
    // to 15 of them are exact in a double.
    if (!text.isEmpty() && text.size() <= 15
        && std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c.unicode()); })) {
        qint64 value = 0;
        for (QChar c : text)
            value = value * 10 + (c.unicode() - u'0');
        return double(value);
    }
    const std::string number = numberPrefix(text);
    if (number.empty())
        return 0.0;
    // from_chars knows no locale: the decimal point is always '.', whatever
    // the user's. It takes no plus sign, and leaves a value out of range
    // alone; an overflow saturates to the largest double, an underflow is 0.
    const bool negative = number.front() == '-';
    const std::string_view digits = std::string_view(number).substr(number.front() == '-' || number.front() == '+' ? 1 : 0);
    double value = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range)
        value = beyondLargest(digits) ? std::numeric_limits<double>::max() : 0.0;
    if (std::isinf(value))
        value = std::numeric_limits<double>::max();
    return negative ? -value : value;
}

std::optional<qint16> ToInteger16(double value)
{
    if (value >= -32768.0 && value <= 32767.0 && value == double(qint32(value)))
        return qint16(value);
    // NaN fails both comparisons. Within the range, truncation and the exact
    // fraction decide, in plain arithmetic: C library rounding functions may
    // depend on the floating-point rounding mode, which other code can leave
    // changed.
    if (!(value > -32769.0 && value < 32768.0))
        return std::nullopt;
    const qint32 truncated = qint32(value);
    const double fraction = value - double(truncated);
    qint32 rounded = truncated;
    if (fraction > 0.5 || (fraction == 0.5 && truncated % 2 != 0))
        ++rounded;
    else if (fraction < -0.5 || (fraction == -0.5 && truncated % 2 != 0))
        --rounded;
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return qint16(rounded);
}

QString NumberText(qint16 value)
{
    return QString::number(value);
}

QString NumberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));

    // Plain decimals down to 0.0001, exponent form beyond either end.
    const double magnitude = std::fabs(value);
    QString text = magnitude >= 1e-4 && magnitude < 1e15
            ? QString::number(value, 'f', QLocale::FloatingPointShortest)
            : QString::number(value, 'g', QLocale::FloatingPointShortest);
    qsizetype significant = 0;
    for (QChar c : text) {
        if (c == u'e')
            break;
        if (c.isDigit() && (significant > 0 || c != u'0'))
            ++significant;
    }
    if (significant > 15)
        text = QString::number(value, 'g', 15);
    text.replace(u'e', u'E');
    return text;
}
