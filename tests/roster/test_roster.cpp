// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/mainstate.h"
#include "platform/platformfile.h"
#include "roster/rosterfile.h"

#include "tests/printers.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct Parsed {
    std::unique_ptr<MainState> state = std::make_unique<MainState>();
    RosterReport report;
};

Parsed parse(const QByteArray &bytes)
{
    Parsed parsed;
    parsed.report = parseRoster(bytes, QStringLiteral("Kordane.txt"), *parsed.state);
    return parsed;
}

// n lines "Last<i>,First<i>,1900", numbered from 1, each ending in CR LF.
QByteArray numberedRoster(int lines)
{
    QByteArray bytes;
    bytes.reserve(lines * 24);
    for (int i = 1; i <= lines; ++i)
        bytes += "Last" + QByteArray::number(i) + ",First" + QByteArray::number(i) + ",1900\r\n";
    return bytes;
}

struct LineFields {
    const char *line;
    const char16_t *lastName;
    const char16_t *firstName;
    qint16 year;
    const char16_t *yearWarning = nullptr; // the player is kept, but no period reaches the year
};

void PrintTo(const LineFields &row, std::ostream *os)
{
    *os << '\'' << row.line << '\'';
}

class RosterLineSplits : public ::testing::TestWithParam<LineFields> { };

TEST_P(RosterLineSplits, IntoLastFirstAndYear)
{
    const LineFields &row = GetParam();
    for (const char *ending : {"\r\n", "\n", ""}) {
        const Parsed parsed = parse(QByteArray(row.line) + ending);
        ASSERT_TRUE(parsed.report.loaded()) << parsed.report.error.toStdString();
        EXPECT_EQ(parsed.report.warningText(),
                  row.yearWarning ? QStringLiteral("1 player of the roster can never be drawn:\nKordane.txt line 1: year ")
                                  + QString::fromUtf16(row.yearWarning) + QStringLiteral(" lies before 1871")
                                  : QString());
        ASSERT_EQ(parsed.state->NameCount, 1);
        EXPECT_EQ(parsed.state->LastNames[0], QString::fromUtf16(row.lastName));
        EXPECT_EQ(parsed.state->FirstNames[0], QString::fromUtf16(row.firstName));
        EXPECT_EQ(parsed.state->Years[0], row.year);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, RosterLineSplits, ::testing::Values(
    LineFields{"Smith,John,1871", u"Smith", u"John", 1871},
    LineFields{"Smith,John,", u"Smith", u"John", 0},
    LineFields{"Smith,John,abc", u"Smith", u"John", 0},
    LineFields{" Smith , John , 1901", u" Smith ", u" John ", 1901},
    LineFields{"Smith,John,1901,1950", u"Smith", u"John", 1901},
    LineFields{"Smith,John,1901,extra", u"Smith", u"John", 1901},
    LineFields{"Unknown,John,1875", u"Unknown", u"John", 1875},
    LineFields{"Smith,Unknown,1875", u"Smith", u"Unknown", 1875},
    LineFields{"de la Cruz,TOMMY,19 01", u"de la Cruz", u"TOMMY", 1901},
    LineFields{"Smith,John,1900.5", u"Smith", u"John", 1900},
    LineFields{"Smith,John,1901.5", u"Smith", u"John", 1902},
    LineFields{"Smith,John,1870x", u"Smith", u"John", 1870, u"1870"},
    LineFields{"Smith,John,9999", u"Smith", u"John", 9999},
    LineFields{"Smith,John,1 0000", u"Smith", u"John", 10000},
    LineFields{"Smith,John,\xEF\xBB\xBF" "19\xEF\xBB\xBF" "01", u"Smith", u"John", 1901},
    LineFields{"Smith,John,-1", u"Smith", u"John", -1, u"-1"},
    LineFields{"Smith,John,32767", u"Smith", u"John", 32767},
    LineFields{"Smith,John,-32768", u"Smith", u"John", -32768, u"-32768"},
    LineFields{"Smith,John,-32768.5", u"Smith", u"John", -32768, u"-32768"},
    LineFields{"Smith,John,1901\xE2\x80\xA9", u"Smith", u"John", 1901}));

TEST(RosterFile, RecordsKeepFileOrderAndPoolsHaveOneSpareSlot)
{
    for (int lines : {1, 2, 7, StoreSlots}) {
        const Parsed parsed = parse(numberedRoster(lines));
        ASSERT_TRUE(parsed.report.loaded());
        EXPECT_FALSE(parsed.report.hasWarnings()) << lines << " lines";
        ASSERT_EQ(parsed.state->NameCount, lines);
        EXPECT_EQ(parsed.state->PoolLast.size(), size_t(lines) + 1);
        EXPECT_EQ(parsed.state->PoolFirst.size(), size_t(lines) + 1);
        EXPECT_EQ(parsed.state->PoolCount, 0);
        for (int k : {1, lines}) {
            EXPECT_EQ(parsed.state->LastNames[size_t(k - 1)], QStringLiteral("Last%1").arg(k));
            EXPECT_EQ(parsed.state->FirstNames[size_t(k - 1)], QStringLiteral("First%1").arg(k));
        }
    }
}

TEST(RosterFile, LineEndings)
{
    const QByteArray rosters[] = {
        "A,a,1901\r\nB,b,1902\r\nC,c,1903\r\n",
        "A,a,1901\nB,b,1902\nC,c,1903\n",
        "A,a,1901\r\nB,b,1902\nC,c,1903",
        "A,a,1901\nB,b,1902\r\nC,c,1903\r\n",
        "A,a,1901\rB,b,1902\rC,c,1903\r",
        "A,a,1901\r\rB,b,1902\r\n\rC,c,1903",
        "\xEF\xBB\xBF" "A,a,1901\n\xEF\xBB\xBF" "B,b,1902\r\n\xEF\xBB\xBF" "C,c,1903",
    };
    for (const QByteArray &bytes : rosters) {
        const Parsed parsed = parse(bytes);
        ASSERT_EQ(parsed.state->NameCount, 3) << bytes.toStdString();
        EXPECT_FALSE(parsed.report.hasWarnings());
        EXPECT_EQ(parsed.state->LastNames[2], u"C");
        EXPECT_EQ(parsed.state->FirstNames[2], u"c");
        EXPECT_EQ(parsed.state->Years[2], 1903);
    }
}

TEST(RosterFile, EachLineEndCountsOnce)
{
    const std::pair<QByteArray, int> rosters[] = {
        {"A,a,1901\rbad\rC,c,1903", 2},
        {"A,a,1901\r\nbad", 2},
        {"A,a,1901\r\rbad", 3},
        {"A,a,1901\n\rbad", 3},
        {"A,a,1901\r\n\r\nbad\r\n", 3},
    };
    for (const auto &[bytes, line] : rosters) {
        const Parsed parsed = parse(bytes);
        EXPECT_EQ(parsed.report.skipDetails, QStringList{QStringLiteral("Kordane.txt line %1: fewer than two commas").arg(line)})
                << bytes.toStdString();
    }
}

TEST(RosterFile, EmptyLinesAreSkippedSilentlyButCounted)
{
    const Parsed parsed = parse("\r\nA,a,1901\r\n\r\n\nB,b,1902\r\n\r\nbad line\r\n");
    EXPECT_EQ(parsed.state->NameCount, 2);
    EXPECT_EQ(parsed.state->LastNames[1], u"B");
    EXPECT_EQ(parsed.report.skippedLines, 1);
    EXPECT_EQ(parsed.report.skipDetails, QStringList{QStringLiteral("Kordane.txt line 7: fewer than two commas")});
}

struct BadLine {
    const char *line;
    const char16_t *reason;
};

void PrintTo(const BadLine &row, std::ostream *os)
{
    *os << '\'' << row.line << '\'';
}

class RosterBadLine : public ::testing::TestWithParam<BadLine> { };

TEST_P(RosterBadLine, IsSkippedAndReportedWithFileAndLine)
{
    // Empty lines after it put the bad line into whole blocks of 64
    // characters, which the reader scans otherwise than the short last one.
    for (const int emptyLines : {0, 40}) {
        QByteArray bytes = numberedRoster(16);
        bytes += QByteArray(GetParam().line) + "\r\nLast18,First18,1950\r\n" + QByteArray("\r\n").repeated(emptyLines);
        const Parsed parsed = parse(bytes);
        ASSERT_TRUE(parsed.report.loaded());
        EXPECT_EQ(parsed.state->NameCount, 17);
        EXPECT_EQ(parsed.state->LastNames[16], u"Last18");
        EXPECT_EQ(parsed.state->Years[16], 1950);
        EXPECT_EQ(parsed.report.skippedLines, 1);
        EXPECT_EQ(parsed.report.ignoredFromLine, 0);
        EXPECT_EQ(parsed.report.skipDetails,
                  QStringList{QStringLiteral("Kordane.txt line 17: ") + QString::fromUtf16(GetParam().reason)})
                << emptyLines << " empty lines after it";
        EXPECT_EQ(parsed.report.warningText(),
                  QStringLiteral("1 line of the roster was skipped:\nKordane.txt line 17: ") + QString::fromUtf16(GetParam().reason));
    }
}

INSTANTIATE_TEST_SUITE_P(Reasons, RosterBadLine, ::testing::Values(
    BadLine{"Smith John 1900", u"fewer than two commas"},
    BadLine{"Smith,John 1900", u"fewer than two commas"},
    BadLine{",", u"fewer than two commas"},
    BadLine{" ", u"fewer than two commas"},
    BadLine{"Smith,John,40000", u"year 40000 is outside -32768..32767"},
    BadLine{"Smith,John,32767.5", u"year 32767.5 is outside -32768..32767"},
    BadLine{"Smith,John,-32768.6", u"year -32768.6 is outside -32768..32767"},
    BadLine{"Smith,John, 1e9 ", u"year 1e9 is outside -32768..32767"},
    BadLine{"Smith\xE2\x80\xA8,John,1900", u"a name holds a line separator (U+2028)"},
    BadLine{"Smith,Jo\xE2\x80\xA9hn,1900", u"a name holds a paragraph separator (U+2029)"},
    BadLine{"Smith,\xE2\x80\xA9\xE2\x80\xA8,1900", u"a name holds a paragraph separator (U+2029)"},
    BadLine{"Jones,\xEF\xBB\xBFTim,1900", u"a name holds a byte-order mark (U+FEFF)"},
    BadLine{"Smith,John\x1B]0;pwned\x07,1900", u"the line holds a control character (U+001B)"},
    BadLine{"Smith,John,\t1900", u"the line holds a tab (U+0009)"},
    BadLine{"Smith,John,1900\x7F", u"the line holds a control character (U+007F)"},
    BadLine{"Smith,John\xC2\x9F,1900", u"the line holds a control character (U+009F)"},
    BadLine{"\xE2\x80\xAEhtimS,John,1900", u"the line holds a text-direction control (U+202E)"},
    BadLine{"Smith,John,19\xE2\x81\xA9", u"the line holds a text-direction control (U+2069)"},
    BadLine{",,1900", u"the last name is empty"},
    BadLine{"Smith,,1900", u"the first name is empty"}));

struct LongLine {
    const char16_t *character;
    int length; // of the whole line, "<characters>,a,1900"
    bool kept;
};

void PrintTo(const LongLine &row, std::ostream *os)
{
    *os << row.length << " characters";
}

class RosterLongLine : public ::testing::TestWithParam<LongLine> { };

TEST_P(RosterLongLine, OverAThousandCharactersIsNoPlayer)
{
    const LongLine &row = GetParam();
    const QString last = QString::fromUtf16(row.character).repeated(row.length - 7);
    const Parsed parsed = parse((last + QStringLiteral(",a,1900\r\nB,b,1901")).toUtf8());
    EXPECT_EQ(parsed.state->NameCount, row.kept ? 2 : 1);
    EXPECT_EQ(parsed.state->LastNames[0], row.kept ? last : QStringLiteral("B"));
    EXPECT_EQ(parsed.report.skipDetails,
              row.kept ? QStringList() : QStringList{QStringLiteral("Kordane.txt line 1: longer than 1000 characters")});
}

INSTANTIATE_TEST_SUITE_P(Boundary, RosterLongLine, ::testing::Values(
    LongLine{u"x", 1000, true},
    LongLine{u"x", 1001, false},
    LongLine{u"\u00e9", 1000, true},
    LongLine{u"\u00e9", 1001, false},
    LongLine{u"\U0001F600", 1000, true},
    LongLine{u"\U0001F600", 1001, false},
    LongLine{u"x", 10'000'000, false}));

TEST(RosterFile, ReportListsTheFirstFewSkippedLines)
{
    QByteArray bytes;
    for (int i = 0; i < 8; ++i)
        bytes += "no commas\r\nA,a,1900\r\n";
    const Parsed parsed = parse(bytes);
    EXPECT_EQ(parsed.state->NameCount, 8);
    EXPECT_EQ(parsed.report.skippedLines, 8);
    EXPECT_EQ(parsed.report.warningText(),
              QStringLiteral("8 lines of the roster were skipped:\n"
                             "Kordane.txt line 1: fewer than two commas\n"
                             "Kordane.txt line 3: fewer than two commas\n"
                             "Kordane.txt line 5: fewer than two commas\n"
                             "Kordane.txt line 7: fewer than two commas\n"
                             "Kordane.txt line 9: fewer than two commas\n"
                             "and 3 more."));
}

TEST(RosterFile, StoreHoldsAtMost32767Records)
{
    const Parsed parsed = parse(numberedRoster(StoreSlots + 2));
    ASSERT_TRUE(parsed.report.loaded());
    EXPECT_EQ(parsed.state->NameCount, StoreSlots);
    EXPECT_EQ(parsed.state->LastNames[StoreSlots - 1], QStringLiteral("Last%1").arg(StoreSlots));
    EXPECT_EQ(parsed.state->PoolLast.size(), size_t(StoreSlots) + 1);
    EXPECT_EQ(parsed.report.skippedLines, 0);
    EXPECT_EQ(parsed.report.ignoredFromLine, StoreSlots + 1);
    EXPECT_EQ(parsed.report.warningText(),
              QStringLiteral("The roster holds at most 32767 players; the rest, from line 32768 on, was ignored."));
}

TEST(RosterFile, StoreFullThenOnlyEmptyLinesIsNoWarning)
{
    const Parsed parsed = parse(numberedRoster(StoreSlots) + "\r\n\r\n\n");
    EXPECT_EQ(parsed.state->NameCount, StoreSlots);
    EXPECT_FALSE(parsed.report.hasWarnings());
}

// Once the store is full nothing after it is read, bad lines included: the
// report names the first line that did not fit.
TEST(RosterFile, StoreFullThenBadLineIsIgnoredNotSkipped)
{
    const Parsed parsed = parse(numberedRoster(StoreSlots) + "\r\nno commas\r\nA,a,1900\r\n");
    EXPECT_EQ(parsed.state->NameCount, StoreSlots);
    EXPECT_EQ(parsed.report.skippedLines, 0);
    EXPECT_EQ(parsed.report.ignoredFromLine, StoreSlots + 2);
}

TEST(RosterDecoding, Utf8WithAndWithoutByteOrderMark)
{
    for (const QByteArray &prefix : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        const Parsed parsed = parse(prefix + "M\xC3\xBCller,J\xC3\xB6rg,1900\r\n\xC3\x89vora,\xE2\x82\xAC,1901");
        ASSERT_EQ(parsed.state->NameCount, 2);
        EXPECT_EQ(parsed.state->LastNames[0], QStringLiteral("M\u00fcller"));
        EXPECT_EQ(parsed.state->FirstNames[0], QStringLiteral("J\u00f6rg"));
        EXPECT_EQ(parsed.state->LastNames[1], QStringLiteral("\u00c9vora"));
        EXPECT_EQ(parsed.state->FirstNames[1], QStringLiteral("\u20ac"));
    }
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes.append(char(bigEndian ? c.row() : c.cell())).append(char(bigEndian ? c.cell() : c.row()));
    return bytes;
}

TEST(RosterDecoding, Utf16WithByteOrderMarkLoadsAndNulBytesAreRefused)
{
    const QString roster = QStringLiteral("Pe\u00f1a,Jos\u00e9,1901\r\nB,b,1902");
    const QString withNul = QStringLiteral("Pe\u00f1a,Jos\u00e9,1901\r\nB,b\u0000,1902");
    const std::pair<QByteArray, bool> rosters[] = {
        {"\xFF\xFE" + utf16(roster, false), true},
        {"\xFE\xFF" + utf16(roster, true), true},
        {utf16(roster, false), false},
        {"\xFF\xFE" + utf16(withNul, false), false},
        {withNul.toUtf8(), false},
    };
    for (const auto &[bytes, loads] : rosters) {
        const Parsed parsed = parse(bytes);
        if (!loads) {
            EXPECT_EQ(parsed.report.error, u"it holds NUL bytes, so it is not a text file; save it as UTF-8 or Windows-1252 text");
            EXPECT_EQ(parsed.state->NameCount, 0);
            continue;
        }
        EXPECT_FALSE(parsed.report.hasWarnings());
        ASSERT_EQ(parsed.state->NameCount, 2);
        EXPECT_EQ(parsed.state->LastNames[0], QStringLiteral("Pe\u00f1a"));
        EXPECT_EQ(parsed.state->FirstNames[0], QStringLiteral("Jos\u00e9"));
        EXPECT_EQ(parsed.state->Years[1], 1902);
    }
}

struct BrokenUtf16 {
    const char16_t *text;
    bool bigEndian;
    bool oddByte;               // one byte more after the text
    const char16_t *secondLast; // LastNames[1] as read
    int warningLine;            // 0: no warning
};

class RosterBrokenUtf16 : public ::testing::TestWithParam<BrokenUtf16> { };

TEST_P(RosterBrokenUtf16, ReadsU_FFFDAndWarnsNamingTheLine)
{
    const BrokenUtf16 &row = GetParam();
    QByteArray bytes = (row.bigEndian ? "\xFE\xFF" : "\xFF\xFE") + utf16(QString::fromUtf16(row.text), row.bigEndian);
    if (row.oddByte)
        bytes += 'x';
    const Parsed parsed = parse(bytes);
    ASSERT_EQ(parsed.state->NameCount, 2);
    EXPECT_EQ(parsed.state->LastNames[1], QString::fromUtf16(row.secondLast));
    EXPECT_EQ(parsed.report.encodingWarning,
              row.warningLine ? QStringLiteral("Kordane.txt line %1: not valid UTF-16, so each broken character was read as U+FFFD.")
                                        .arg(row.warningLine)
                              : QString());
}

INSTANTIATE_TEST_SUITE_P(Units, RosterBrokenUtf16, ::testing::Values(
    BrokenUtf16{u"A,a,1900\r\nJ\xD83D\xDE00n,b,1901", false, false, u"J\U0001F600n", 0},
    BrokenUtf16{u"A,a,1900\r\nJ\xD800n,b,1901", false, false, u"J\xFFFDn", 2},
    BrokenUtf16{u"A,a,1900\r\nJ\xD800n,b,1901", true, false, u"J\xFFFDn", 2},
    BrokenUtf16{u"A,a,1900\r\n\rJ\xDC00\xD800,b,1901", false, false, u"J\xFFFD\xFFFD", 3},
    BrokenUtf16{u"\xD800,a,1900\nB\xD800,b,1901", false, false, u"B\xFFFD", 1},
    BrokenUtf16{u"A,a,1900\r\nB,b,1901\r\n", false, true, u"B", 3},
    BrokenUtf16{u"A,a,1900\r\nB,b,1901\xD800", true, true, u"B", 2}));

// Plain 8-bit text is the program's legacy encoding and loads quietly; UTF-8
// beside bytes that are not UTF-8 warns, naming the line of the first such
// byte (0: no warning).
TEST(RosterDecoding, OnlyAFileMixingUtf8WithOtherBytesWarns)
{
    const std::pair<QByteArray, int> rosters[] = {
        {"Pe\xF1" "a,Jos\xE9,1900\r\n", 0},
        {"A,a,1900\n\nB,b,1901\xC3", 0},
        {"A,a,1900\r\nB,\xED\xA0\x80,1901", 0},
        {"A,\xC0\x80\xE9\xA9,1901", 0},
        {"Pe\xC3\xB1" "a,Jos\xC3\xA9,1900\r\n", 0},
        {"Pe\xC3\xB1" "a,a,1900\r\nB,b,1901\rC,\xE9,1902\nD,d,1903\r\n", 3},
        {"Ren\xE9,a,1900\r\nPe\xC3\xB1" "a,b,1901", 1},
        {"A,a,1900\r\nB,\xC3,\xE2\x82\xAC\r\n", 2},
        {"\xEF\xBB\xBF\r\nB,\xC0\x80,1901", 2},
    };
    for (const auto &[bytes, line] : rosters) {
        const Parsed parsed = parse(bytes);
        EXPECT_EQ(parsed.report.encodingWarning,
                  line == 0 ? QString()
                            : QStringLiteral("Kordane.txt line %1: not valid UTF-8, so the whole file was read as Windows-1252.").arg(line))
                << bytes.toStdString();
        EXPECT_EQ(parsed.report.hasWarnings(), line != 0) << bytes.toStdString();
    }
}

TEST(RosterDecoding, InvalidUtf8IsReadAsWindows1252)
{
    // The five bytes Windows-1252 leaves unused stand for C1 controls, which
    // no line may hold.
    const Parsed parsed = parse("Ren\xE9,Jos\xE9,1900\r\n\x80uro,\x9F\x8A,1901\r\nOdd,\x81\x8D\x8F\x90\x9D,1902\r\n");
    ASSERT_EQ(parsed.state->NameCount, 2);
    EXPECT_EQ(parsed.report.skipDetails, QStringList{QStringLiteral("Kordane.txt line 3: the line holds a control character (U+0081)")});
    EXPECT_EQ(parsed.state->LastNames[0], QStringLiteral("Ren\u00e9"));
    EXPECT_EQ(parsed.state->FirstNames[0], QStringLiteral("Jos\u00e9"));
    EXPECT_EQ(parsed.state->LastNames[1], QStringLiteral("\u20acuro"));
    EXPECT_EQ(parsed.state->FirstNames[1], QStringLiteral("\u0178\u0160"));
    EXPECT_EQ(decodeRosterText("\x81\x8D\x8F\x90\x9D\xE9"), QStringLiteral("\u0081\u008d\u008f\u0090\u009d\u00e9"));
}

TEST(RosterDecoding, ByteOrderMarkIsDroppedEvenWhenTheRestIsWindows1252)
{
    MainState state;
    parseRoster("\xEF\xBB\xBFM\xFCller,J\xFCrgen,1901\r\n", QStringLiteral("Kordane.txt"), state);
    ASSERT_EQ(state.NameCount, 1);
    EXPECT_EQ(state.LastNames[0], QStringLiteral("M\u00FCller"));
}

TEST(RosterDecoding, OneBadByteMakesTheWholeFileWindows1252)
{
    // A UTF-8 sequence elsewhere in the file is then read byte by byte too.
    const Parsed parsed = parse("M\xC3\xBCller,A,1900\r\nRen\xE9,B,1901\r\n");
    ASSERT_EQ(parsed.state->NameCount, 2);
    EXPECT_EQ(parsed.state->LastNames[0], QStringLiteral("M\u00c3\u00bcller"));
    EXPECT_EQ(parsed.state->LastNames[1], QStringLiteral("Ren\u00e9"));
}

TEST(RosterDecoding, TruncatedUtf8AtTheEndIsWindows1252)
{
    EXPECT_EQ(decodeRosterText("Jos\xC3"), QStringLiteral("Jos\u00c3"));
    EXPECT_EQ(decodeRosterText("Jos\xC3\xA9"), QStringLiteral("Jos\u00e9"));
}

class LoadNameFileTest : public ::testing::Test {
protected:
    QString pathOf(const QString &name) const { return m_dir.filePath(name); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(pathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    RosterReport load(const QString &name)
    {
        m_state->DataFilePath = pathOf(name);
        return LoadNameFile(*m_state);
    }

    QString errorFor(const QString &name, const QString &reason) const
    {
        return QStringLiteral("Cannot read the roster file %1: %2.").arg(QDir::toNativeSeparators(pathOf(name)), reason);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<MainState> m_state = std::make_unique<MainState>();
};

TEST_F(LoadNameFileTest, ReadsTheFileAndNamesItInReports)
{
    write(QStringLiteral("Kordane.txt"), "Smith,John,1871\r\nbroken\r\nUnknown,Bob,1880");
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    ASSERT_TRUE(report.loaded()) << report.error.toStdString();
    EXPECT_EQ(m_state->NameCount, 2);
    EXPECT_EQ(m_state->PoolFirst.size(), 3u);
    EXPECT_EQ(report.skipDetails, QStringList{QStringLiteral("Kordane.txt line 2: fewer than two commas")});
}

TEST_F(LoadNameFileTest, MissingFile)
{
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
#if defined(Q_OS_WIN)
    const QString missing = systemErrorText(2); // ERROR_FILE_NOT_FOUND
#else
    const QString missing = QStringLiteral("No such file or directory");
#endif
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"), missing));
    EXPECT_EQ(m_state->NameCount, 0);
}

TEST_F(LoadNameFileTest, FolderInPlaceOfTheFile)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Kordane.txt")));
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"), QStringLiteral("it is a folder, not a file")));
}

TEST_F(LoadNameFileTest, EmptyFile)
{
    write(QStringLiteral("Kordane.txt"), "");
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"), QStringLiteral("the file is empty")));
}

TEST_F(LoadNameFileTest, FileWithoutAUsableLine)
{
    write(QStringLiteral("Kordane.txt"), "\r\n\r\nno commas here\r\n");
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"),
                                     QStringLiteral("the file holds no usable player line (first: Kordane.txt line 3: fewer than two commas)")));
    EXPECT_EQ(report.skippedLines, 1);
}

// A pipe would be read until its writer closes it, which may be never.
// Windows has no pipes in its folders.
#if !defined(Q_OS_WIN)
TEST_F(LoadNameFileTest, PipeInPlaceOfTheFileIsRefusedWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(pathOf(QStringLiteral("Kordane.txt"))).constData(), 0600), 0);
    ::alarm(20); // a hang fails the run instead of stalling it
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    ::alarm(0);
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"), QStringLiteral("it is not a regular file")));
}
#endif

TEST_F(LoadNameFileTest, HugeFileIsRefusedNotReadWhole)
{
    write(QStringLiteral("Kordane.txt"), "Smith,John,1871\r\n");
    QFile file(pathOf(QStringLiteral("Kordane.txt")));
    ASSERT_TRUE(file.resize(MaxRosterBytes + 1)); // sparse: no disk needed
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"),
                                     QStringLiteral("it is larger than 64 MiB, far more than 32767 players need")));
    EXPECT_EQ(m_state->NameCount, 0);
}

TEST_F(LoadNameFileTest, UnreadableFile)
{
    write(QStringLiteral("Kordane.txt"), "Smith,John,1871\r\n");
    QFile::setPermissions(pathOf(QStringLiteral("Kordane.txt")), QFileDevice::WriteOwner);
    if (QFile(pathOf(QStringLiteral("Kordane.txt"))).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "permission bits do not stop this user";
    const RosterReport report = load(QStringLiteral("Kordane.txt"));
    EXPECT_EQ(report.error, errorFor(QStringLiteral("Kordane.txt"), QStringLiteral("Permission denied")));
}

TEST(ShippedRoster, LoadsCompletelyWithoutWarnings)
{
    auto state = std::make_unique<MainState>();
    state->DataFilePath = QStringLiteral(QUILLERY_SHIPPED_ROSTER);
    const RosterReport report = LoadNameFile(*state);
    ASSERT_TRUE(report.loaded()) << report.error.toStdString();
    EXPECT_FALSE(report.hasWarnings()) << report.warningText().toStdString();
    EXPECT_EQ(state->NameCount, 23614);
    EXPECT_EQ(std::count(state->FirstNames.begin(), state->FirstNames.end(), PlaceholderName), 374);
    const auto [earliest, latest] = std::minmax_element(state->Years.begin(), state->Years.begin() + state->NameCount);
    EXPECT_EQ(*earliest, 1871);
    EXPECT_EQ(*latest, 2025);
}

} // namespace
