// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The two year fields, start (index 0) and end (index 1), that make up the
// period. Every change of a field's text must run ApplyYearLimits with that
// text before setYearText returns, so that the period rules see exactly what a
// person typing into the window would produce.
class YearFields
{
public:
    virtual ~YearFields() = default;
    virtual QString yearText(int index) const = 0;
    virtual void setYearText(int index, const QString &text) = 0;

    QString startText() const { return yearText(0); }
    QString endText() const { return yearText(1); }
};

// Year fields held as plain texts, for running the program's rules without a
// window. Starts with the window's initial texts.
class PlainYearFields final : public YearFields
{
public:
    PlainYearFields() = default;
    PlainYearFields(const QString &start, const QString &end);

    QString yearText(int index) const override;
    void setYearText(int index, const QString &text) override;

private:
    QString m_texts[2] = {QStringLiteral("1871"), QStringLiteral("2000")};
};
