// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/linebreaks.h"

qsizetype firstLineBreak(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLineBreak(text[i].unicode()))
            return i;
    }
    return -1;
}

QString lineBreaksAsBlanks(QStringView text)
{
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i].unicode())) {
            line += text[i];
            continue;
        }
        line += u' ';
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return line;
}
