// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "roster/period.h"

class QLineEdit;

// The period held in the window's two year fields. A write goes through
// QLineEdit::setText, whose textChanged runs the window's txtYear_Change and so
// ApplyYearLimits, exactly as typing does.
class LineEditYearFields final : public YearFields
{
public:
    LineEditYearFields(QLineEdit *start, QLineEdit *end);

    QString yearText(int index) const override;
    void setYearText(int index, const QString &text) override;

private:
    QLineEdit *m_edits[2];
};
