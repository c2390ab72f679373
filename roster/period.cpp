// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "period.h"

#include "base/mainstate.h"
#include "base/numeric.h"

void ApplyYearLimits(YearFields &fields, const QString &changedText)
{
    if (changedText.size() <= 3)
        return;
    if (NumericValue(fields.startText()) < EarliestStartYear)
        fields.setYearText(0, NumberText(qint16(EarliestStartYear)));
    if (NumericValue(fields.endText()) > LatestEndYear)
        fields.setYearText(1, NumberText(qint16(LatestEndYear)));
}

void NormalisePeriod(YearFields &fields)
{
    const double start = NumericValue(fields.startText());
    const double end = NumericValue(fields.endText());
    if (start > end) {
        fields.setYearText(0, NumberText(end));
        fields.setYearText(1, NumberText(start));
    }
    if (NumericValue(fields.startText()) < EarliestStartYear)
        fields.setYearText(0, NumberText(qint16(EarliestStartYear)));
}

void FilterByPeriod(MainState &state, const YearFields &fields)
{
    // The texts cannot change during the loop, so reading them once is the
    // same as reading them for every record.
    const double start = NumericValue(fields.startText());
    const double end = NumericValue(fields.endText());
    const bool undatedJoin = start < UndatedBeforeYear;

    qint16 count = 0;
    for (int i = 0; i < state.NameCount; ++i) {
        const double year = state.Years[size_t(i)];
        if ((year >= start && year <= end) || (undatedJoin && year == 0)) {
            // A copy then a move: QString inlines both, while its copy
            // assignment is an out-of-line call that doubles the filter's time.
            state.PoolFirst[size_t(count)] = QString(state.FirstNames[size_t(i)]);
            state.PoolLast[size_t(count)] = QString(state.LastNames[size_t(i)]);
            ++count;
        }
    }
    state.PoolCount = count;
    state.PoolStartText = fields.startText();
    state.PoolEndText = fields.endText();
}

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
