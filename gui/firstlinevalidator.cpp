// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firstlinevalidator.h"

#include "base/linebreaks.h"

FirstLineValidator::FirstLineValidator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State FirstLineValidator::validate(QString &input, int &pos) const
{
    // The field calls this after every change with the cursor just after what
    // came in, and the text on either side of that never holds a line break:
    // the cut runs from the first break to the cursor. A break after the
    // cursor could only come from elsewhere, and ends the text.
    for (qsizetype cut = firstLineBreak(input); cut >= 0; cut = firstLineBreak(input)) {
        const qsizetype resume = pos > cut ? pos : input.size();
        input.remove(cut, resume - cut);
        pos = int(cut);
    }
    return Acceptable;
}
