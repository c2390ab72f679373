// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "yearfields.h"

#include "period.h"

PlainYearFields::PlainYearFields(const QString &start, const QString &end)
{
    setYearText(0, start);
    setYearText(1, end);
}

QString PlainYearFields::yearText(int index) const
{
    return m_texts[index];
}

void PlainYearFields::setYearText(int index, const QString &text)
{
    // Like a text field, writing the text it already holds is no change.
    if (m_texts[index] == text)
        return;
    m_texts[index] = text;
    ApplyYearLimits(*this, text);
}
