// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numeric.h"

#include <QLocale>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>

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

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
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
    // strtod_l in the C locale: the decimal point is always '.', whatever the
    // user's locale. Overflow gives HUGE_VAL, which we saturate to the largest double.
    const double value = strtod_l(number.c_str(), nullptr, cLocale());
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<double>::max(), value);
    return value;
}

std::optional<qint16> ToInteger16(double value)
{
    if (value >= -32768.0 && value <= 32767.0 && value == double(qint32(value)))
        return qint16(value);
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::round(value); // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    if (rounded < -32768.0 || rounded > 32767.0)
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
