// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

struct MainState;

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

inline constexpr double EarliestStartYear = 1871;
inline constexpr double LatestEndYear = 9999;
// Records without a year join any period that starts before this year.
inline constexpr double UndatedBeforeYear = 1890;

// The edit rule of the year fields, run after every change of either field with
// the text of the field that changed: once that text is longer than 3
// characters, a start year below 1871 becomes "1871" and an end year above
// 9999 becomes "9999".
void ApplyYearLimits(YearFields &fields, const QString &changedText);

// Swaps a reversed period (rewriting both texts as plain numbers), then raises
// a start year below 1871 to "1871". No upper clamp.
void NormalisePeriod(YearFields &fields);

// Refills the pools with the names of the records of the period, in file order:
// years from start to end inclusive, plus the records without a year when the
// period starts before 1890.
void FilterByPeriod(MainState &state, const YearFields &fields);
