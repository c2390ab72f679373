// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// CR, LF and the Unicode line and paragraph separators (U+2028, U+2029): the
// characters that start a new line in a file, a text field or on the clipboard.
constexpr bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029';
}

// The index of the first line break in text, or -1 when there is none.
qsizetype firstLineBreak(QStringView text);

// text on one line: each line break written as a blank, a CR LF as one blank;
// everything else as it stands.
QString lineBreaksAsBlanks(QStringView text);
