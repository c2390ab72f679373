// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/mainstate.h"
#include "roster/period.h"

#include "tests/printers.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <vector>

namespace {

// Types text into a field one character at a time, the way a person does after
// clearing it, and records "start|end" after every keystroke.
QStringList typeInto(YearFields &fields, int index, const QString &typed)
{
    QStringList seen;
    fields.setYearText(index, QString());
    for (QChar c : typed) {
        fields.setYearText(index, fields.yearText(index) + c);
        seen << fields.startText() + u'|' + fields.endText();
    }
    return seen;
}

struct Typing {
    const char *start;
    const char *end;
    int field;
    const char *typed;
    QStringList seen;
};

void PrintTo(const Typing &row, std::ostream *os)
{
    *os << "typing '" << row.typed << "' into field " << row.field;
}

class YearFieldTyping : public ::testing::TestWithParam<Typing> { };

TEST_P(YearFieldTyping, AppliesTheLimitsFromTheFourthCharacter)
{
    const Typing &row = GetParam();
    PlainYearFields fields(QString::fromLatin1(row.start), QString::fromLatin1(row.end));
    EXPECT_EQ(typeInto(fields, row.field, QString::fromLatin1(row.typed)), row.seen);
}

INSTANTIATE_TEST_SUITE_P(Cases, YearFieldTyping, ::testing::Values(
    Typing{"1871", "2000", 0, "1850", {"1|2000", "18|2000", "185|2000", "1871|2000"}},
    Typing{"1871", "2000", 0, "187", {"1|2000", "18|2000", "187|2000"}},
    Typing{"1871", "2000", 0, "1870", {"1|2000", "18|2000", "187|2000", "1871|2000"}},
    Typing{"1871", "2000", 0, "1871", {"1|2000", "18|2000", "187|2000", "1871|2000"}},
    Typing{"1871", "2000", 0, " 185", {" |2000", " 1|2000", " 18|2000", "1871|2000"}},
    Typing{"1871", "2000", 1, "12345", {"1871|1", "1871|12", "1871|123", "1871|1234", "1871|9999"}},
    Typing{"1871", "2000", 1, "9999", {"1871|9", "1871|99", "1871|999", "1871|9999"}},
    Typing{"1871", "2000", 1, "10000", {"1871|1", "1871|10", "1871|100", "1871|1000", "1871|9999"}},
    // Either field's change checks both limits.
    Typing{"185", "200", 1, "2000", {"185|2", "185|20", "185|200", "1871|2000"}},
    Typing{"1900", "1e5", 0, "1950", {"1|1e5", "19|1e5", "195|1e5", "1950|9999"}},
    // A rewritten text is where the next keystroke lands.
    Typing{"1871", "2000", 0, "18501", {"1|2000", "18|2000", "185|2000", "1871|2000", "18711|2000"}}));

// Fields that start out holding any texts, as if the window had been given
// them, and that apply the edit rule to every later change.
class PresetYearFields final : public YearFields
{
public:
    PresetYearFields(const char *start, const char *end)
        : m_texts{QString::fromLatin1(start), QString::fromLatin1(end)} { }
    QString yearText(int index) const override { return m_texts[index]; }
    void setYearText(int index, const QString &text) override
    {
        if (m_texts[index] == text)
            return;
        m_texts[index] = text;
        ApplyYearLimits(*this, text);
    }

private:
    QString m_texts[2];
};

struct Normalising {
    const char *start;
    const char *end;
    const char *expectedStart;
    const char *expectedEnd;
};

void PrintTo(const Normalising &row, std::ostream *os)
{
    *os << '\'' << row.start << "' to '" << row.end << '\'';
}

class NormalisePeriodRule : public ::testing::TestWithParam<Normalising> { };

TEST_P(NormalisePeriodRule, Texts)
{
    const Normalising &row = GetParam();
    PresetYearFields fields(row.start, row.end);
    NormalisePeriod(fields);
    EXPECT_EQ(fields.startText(), QString::fromLatin1(row.expectedStart));
    EXPECT_EQ(fields.endText(), QString::fromLatin1(row.expectedEnd));
}

INSTANTIATE_TEST_SUITE_P(Cases, NormalisePeriodRule, ::testing::Values(
    Normalising{"1871", "2000", "1871", "2000"},
    Normalising{"2000", "1871", "1871", "2000"},
    Normalising{"1850", "1860", "1871", "1860"},
    Normalising{"1950", "1940", "1940", "1950"},
    // The swap writes '1860' into the start field, whose edit rule at once
    // raises it to '1871' before the end field receives '5000'.
    Normalising{"5000", "1860", "1871", "5000"},
    // ... and the end field's rule caps what the swap writes there.
    Normalising{"20000", "1900", "1900", "9999"},
    Normalising{"abc", "2000", "1871", "2000"},
    Normalising{"", "", "1871", ""},
    Normalising{"2000.0", "1995abc", "1995", "2000"},
    Normalising{"1901", "1900.5", "1900.5", "1901"},
    Normalising{"1900.5", "1901", "1900.5", "1901"},
    Normalising{"9999", "-5", "1871", "9999"},
    // An end year of three characters stands, so every year from 1871 on
    // can be reached.
    Normalising{"1871", "9e9", "1871", "9e9"}));

struct Record {
    const char *last;
    const char *first;
    qint16 year;
};

const std::vector<Record> Records = {
    {"Zero", "Ann", 0},     {"Early", "Bob", 1870}, {"Start", "Cy", 1871}, {"Late", "Dan", 1889},
    {"Ninety", "Ed", 1890}, {"Nineh", "Fay", 1900}, {"Nine1", "Gus", 1901}, {"Twok", "Hal", 2000},
    {"Twok1", "Ida", 2001}, {"Minus", "Jo", -5},    {"Zero2", "Kit", 0},    {"Max", "Lou", 32767},
};

std::unique_ptr<MainState> stateWith(const std::vector<Record> &records)
{
    auto state = std::make_unique<MainState>();
    for (const Record &record : records) {
        state->LastNames[size_t(state->NameCount)] = QString::fromLatin1(record.last);
        state->FirstNames[size_t(state->NameCount)] = QString::fromLatin1(record.first);
        state->Years[size_t(state->NameCount)] = record.year;
        ++state->NameCount;
    }
    state->PoolLast.assign(size_t(state->NameCount) + 1, QString());
    state->PoolFirst.assign(size_t(state->NameCount) + 1, QString());
    return state;
}

QStringList poolOf(const MainState &state)
{
    QStringList pool;
    for (int k = 0; k < state.PoolCount; ++k)
        pool << state.PoolFirst[size_t(k)] + u' ' + state.PoolLast[size_t(k)];
    return pool;
}

struct Filtering {
    const char *start;
    const char *end;
    QStringList pool;
};

void PrintTo(const Filtering &row, std::ostream *os)
{
    *os << '\'' << row.start << "' to '" << row.end << '\'';
}

class FilterByPeriodRule : public ::testing::TestWithParam<Filtering> { };

TEST_P(FilterByPeriodRule, FillsThePoolsInFileOrder)
{
    const Filtering &row = GetParam();
    auto state = stateWith(Records);
    PresetYearFields fields(row.start, row.end);
    FilterByPeriod(*state, fields);
    EXPECT_EQ(poolOf(*state), row.pool);
    EXPECT_EQ(state->PoolStartText, QString::fromLatin1(row.start));
    EXPECT_EQ(state->PoolEndText, QString::fromLatin1(row.end));
    EXPECT_EQ(state->PoolFirst.size(), Records.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterByPeriodRule, ::testing::Values(
    Filtering{"1871", "2000", {"Ann Zero", "Cy Start", "Dan Late", "Ed Ninety", "Fay Nineh", "Gus Nine1", "Hal Twok", "Kit Zero2"}},
    Filtering{"1890", "1900", {"Ed Ninety", "Fay Nineh"}},
    Filtering{"1889", "1889", {"Ann Zero", "Dan Late", "Kit Zero2"}},
    Filtering{"1889.9", "1890", {"Ann Zero", "Ed Ninety", "Kit Zero2"}},
    Filtering{"1900.5", "1901", {"Gus Nine1"}},
    Filtering{"2000", "9999", {"Hal Twok", "Ida Twok1"}},
    Filtering{"2000", "9e9", {"Hal Twok", "Ida Twok1", "Lou Max"}},
    Filtering{"3000", "3001", {}},
    Filtering{"1871", "1860", {"Ann Zero", "Kit Zero2"}},
    Filtering{"-10", "0", {"Ann Zero", "Jo Minus", "Kit Zero2"}},
    Filtering{"abc", "", {"Ann Zero", "Kit Zero2"}}));

TEST(FilterByPeriod, RefillingLeavesOnlyTheNewPeriodCounted)
{
    auto state = stateWith(Records);
    PresetYearFields wide("1871", "2000");
    FilterByPeriod(*state, wide);
    ASSERT_EQ(state->PoolCount, 8);
    PresetYearFields narrow("1901", "1901");
    FilterByPeriod(*state, narrow);
    EXPECT_EQ(poolOf(*state), QStringList{QStringLiteral("Gus Nine1")});
}

TEST(FilterByPeriod, FullStoreFitsThePools)
{
    auto state = std::make_unique<MainState>();
    state->NameCount = StoreSlots;
    std::fill(state->Years.begin(), state->Years.end(), qint16(1900));
    state->LastNames.back() = QStringLiteral("Last");
    state->PoolLast.assign(StoreSlots + 1, QString());
    state->PoolFirst.assign(StoreSlots + 1, QString());
    PlainYearFields fields;
    FilterByPeriod(*state, fields);
    EXPECT_EQ(state->PoolCount, StoreSlots);
    EXPECT_EQ(state->PoolLast[StoreSlots - 1], u"Last");
}

} // namespace
