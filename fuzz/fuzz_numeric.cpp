// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/numeric.h"
#include "fuzzcheck.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

QString withoutBlanks(const QString &text)
{
    QString stripped = text;
    stripped.remove(u' ');
    stripped.remove(u'\t');
    stripped.remove(u'\n');
    return stripped;
}

void checkRounding(double value)
{
    const std::optional<qint16> rounded = ToInteger16(value);
    // Rounds to nearest, halves to even: only values that round past the
    // 16-bit range overflow.
    FUZZ_CHECK(rounded.has_value() == (value < 32767.5 && value >= -32768.5));
    if (!rounded)
        return;
    const double distance = std::fabs(value - *rounded);
    FUZZ_CHECK(distance <= 0.5);
    if (distance == 0.5)
        FUZZ_CHECK(*rounded % 2 == 0);
    FUZZ_CHECK(NumericValue(NumberText(*rounded)) == *rounded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte says where blanks go; the rest is the text.
    const unsigned where = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const double value = NumericValue(text);
    FUZZ_CHECK(std::isfinite(value));

    // Blanks, tabs and line feeds anywhere do not change the number.
    QString blanked = text;
    const qsizetype at = blanked.isEmpty() ? 0 : qsizetype(where % (blanked.size() + 1));
    blanked.insert(at, where & 1 ? QStringLiteral(" \t") : QStringLiteral("\n "));
    FUZZ_CHECK(NumericValue(blanked) == value);
    FUZZ_CHECK(NumericValue(withoutBlanks(text)) == value);

    checkRounding(value);

    // The text form reads back as the same number, to 15 significant digits.
    const QString shown = NumberText(value);
    FUZZ_CHECK(!shown.isEmpty() && !shown.contains(u' ') && !shown.contains(u','));
    const double reread = NumericValue(shown);
    FUZZ_CHECK(std::fabs(reread - value) <= std::fabs(value) * 1e-14);
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        FUZZ_CHECK(!shown.contains(u'.') && reread == value);
    return 0;
}
