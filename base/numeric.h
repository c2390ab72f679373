// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Reads the number at the start of a text the way the year and count fields are
// read: blanks, tabs and line feeds anywhere are skipped, then an optional sign,
// digits with an optional fraction and an optional exponent ("E" or "e" and an
// optionally signed integer). Reading stops at the first character that cannot
// continue the number; a text without a number gives 0. Independent of the
// process locale. Magnitudes beyond the range of double saturate at its limits.
double NumericValue(QStringView text);

// Rounds to the nearest integer, halves to the even neighbour. Empty when the
// rounded value lies outside -32768..32767.
std::optional<qint16> ToInteger16(double value);

// Decimal digits with a leading "-" when negative and no leading blank.
QString NumberText(qint16 value);

// Shortest decimal form of at most 15 significant digits, without a decimal
// point when the value is whole; very large or small values use "1E+20" form.
QString NumberText(double value);
