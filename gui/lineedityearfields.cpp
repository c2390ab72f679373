// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lineedityearfields.h"

#include <QLineEdit>

LineEditYearFields::LineEditYearFields(QLineEdit *start, QLineEdit *end)
    : m_edits{start, end}
{
}

QString LineEditYearFields::yearText(int index) const
{
    return m_edits[index]->text();
}

void LineEditYearFields::setYearText(int index, const QString &text)
{
    m_edits[index]->setText(text);
}
