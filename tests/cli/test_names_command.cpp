// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/printers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <optional>

#include <sys/resource.h>

namespace {

struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;

    QStringList outLines() const
    {
        QStringList lines = out.split(u'\n');
        EXPECT_TRUE(lines.last().isEmpty()) << "stdout must end in a line feed";
        lines.removeLast();
        return lines;
    }
    QString firstErrLine() const { return err.section(u'\n', 0, 0); }
};

class NamesCommand : public ::testing::Test {
protected:
    QString writeRoster(const QByteArray &bytes, const QString &name = QStringLiteral("Kordane.txt"))
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(bytes), bytes.size());
        return path;
    }

    CommandRun run(const QStringList &arguments, std::optional<rlim_t> fileSizeLimit = {})
    {
        QProcess process;
        if (fileSizeLimit) {
            process.setChildProcessModifier([limit = *fileSizeLimit] {
                const rlimit capped{limit, RLIM_INFINITY};
                ::setrlimit(RLIMIT_FSIZE, &capped);
            });
        }
        process.setWorkingDirectory(m_dir.path());
        process.start(QStringLiteral(QUILLERY_NAMES_BIN), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        CommandRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir m_dir;
};

// Three players of 1900, one of 1950, one without a year.
const QByteArray SmallRoster = "Adams,Ann,1900\r\nBrown,Bob,1900\r\nCole,Cy,1900\r\nDunn,Dee,1950\r\nEast,Eve,\r\n";

TEST_F(NamesCommand, PrintsOneFirstLastLinePerName)
{
    const QString roster = writeRoster(SmallRoster);
    const CommandRun result = run({QStringLiteral("--roster"), roster, QStringLiteral("--from"), QStringLiteral("1900"),
                            QStringLiteral("--to"), QStringLiteral("1900"), QStringLiteral("--count"), QStringLiteral("40"),
                            QStringLiteral("--seed"), QStringLiteral("1")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    EXPECT_FALSE(result.out.contains(u'\r'));
    const QStringList lines = result.outLines();
    ASSERT_EQ(lines.size(), 40);
    const QSet<QString> firsts = {QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")};
    const QSet<QString> lasts = {QStringLiteral("Adams"), QStringLiteral("Brown"), QStringLiteral("Cole")};
    for (const QString &line : lines) {
        EXPECT_TRUE(firsts.contains(line.section(u' ', 0, 0))) << line.toStdString();
        EXPECT_TRUE(lasts.contains(line.section(u' ', 1))) << line.toStdString();
    }
}

TEST_F(NamesCommand, SinglePlayerAndCountWrittenBackRules)
{
    const QString roster = writeRoster("Smith,John,1900\n");
    EXPECT_EQ(run({QStringLiteral("--roster"), roster, QStringLiteral("--count"), QStringLiteral("3")}).out,
              QStringLiteral("John Smith\nJohn Smith\nJohn Smith\n"));
    EXPECT_EQ(run({QStringLiteral("--roster"), roster, QStringLiteral("--count"), QStringLiteral("1e9")}).outLines().size(), 1000);
    EXPECT_EQ(run({QStringLiteral("--roster"), roster, QStringLiteral("--count"), QStringLiteral("abc")}).outLines().size(), 1);
    EXPECT_EQ(run({QStringLiteral("--roster"), roster}).outLines().size(), 12);
}

TEST_F(NamesCommand, SeedMakesTheOutputReproducible)
{
    QByteArray bytes;
    for (int i = 0; i < 30; ++i)
        bytes += "Last" + QByteArray::number(i) + ",First" + QByteArray::number(i) + ",1950\r\n";
    const QString roster = writeRoster(bytes);
    auto withSeed = [&](const char *seed) {
        return run({QStringLiteral("--roster"), roster, QStringLiteral("--seed"), QString::fromLatin1(seed)});
    };
    const CommandRun first = withSeed("12345");
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.outLines().size(), 12);
    EXPECT_EQ(withSeed("12345").out, first.out);
    EXPECT_NE(withSeed("54321").out, first.out);
}

TEST_F(NamesCommand, VerboseReportsThePeriodFirst)
{
    const QString roster = writeRoster("A,a,0\r\nB,b,1860\r\nC,c,1871\r\nD,d,1950\r\nE,e,5000\r\nF,f,5001\r\nbroken\r\n");
    const CommandRun result = run({QStringLiteral("--roster"), roster, QStringLiteral("--from"), QStringLiteral("5000"),
                            QStringLiteral("--to"), QStringLiteral("1860"), QStringLiteral("--verbose")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.firstErrLine(), u"Period: 1871 to 5000, 4 players");
    EXPECT_TRUE(result.err.contains(QStringLiteral("Kordane.txt line 7: fewer than two commas")));
}

TEST_F(NamesCommand, SkippedLinesAreWarningsOnly)
{
    writeRoster("Smith,John,1900\r\nno commas\r\nJones,Jim,99999\r\nClear\x1B[2J,Bob,1900\r\n");
    const CommandRun result = run({QStringLiteral("--roster"), QStringLiteral("Kordane.txt")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err,
              QStringLiteral("3 lines of the roster were skipped:\n"
                             "Kordane.txt line 2: fewer than two commas\n"
                             "Kordane.txt line 3: year 99999 is outside -32768..32767\n"
                             "Kordane.txt line 4: the line holds a control character (U+001B)\n"));
    EXPECT_EQ(result.outLines().size(), 12);
}

TEST_F(NamesCommand, Windows1252RosterComesOutAsUtf8)
{
    const QString roster = writeRoster("Ren\xE9,Jos\xE9,1900\r\n");
    EXPECT_EQ(run({QStringLiteral("--roster"), roster, QStringLiteral("--count"), QStringLiteral("1")}).out,
              QStringLiteral("Jos\u00e9 Ren\u00e9\n"));
}

TEST_F(NamesCommand, MissingRosterExitsWithTwo)
{
    const QString missing = m_dir.filePath(QStringLiteral("nothere/Kordane.txt"));
    const CommandRun result = run({QStringLiteral("--roster"), missing});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(result.err, QStringLiteral("quillery-names: Cannot read the roster file %1: No such file or directory.\n")
                                  .arg(QDir::toNativeSeparators(missing)));
}

TEST_F(NamesCommand, UnusableRostersExitWithTwo)
{
    writeRoster("", QStringLiteral("empty.txt"));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    for (const char *name : {"empty.txt", "folder"}) {
        const CommandRun result = run({QStringLiteral("--roster"), QString::fromLatin1(name)});
        EXPECT_EQ(result.exitCode, 2) << name;
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("quillery-names: Cannot read the roster file %1: ")
                                                  .arg(QDir::toNativeSeparators(m_dir.filePath(QString::fromLatin1(name))))))
                << result.err.toStdString();
    }
}

TEST_F(NamesCommand, EmptyPoolExitsWithOne)
{
    const QString roster = writeRoster(SmallRoster);
    const CommandRun result = run({QStringLiteral("--roster"), roster, QStringLiteral("--from"), QStringLiteral("3000"),
                            QStringLiteral("--to"), QStringLiteral("3001"), QStringLiteral("--verbose")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(result.err, QStringLiteral("Period: 3000 to 3001, 0 players\nquillery-names: No players between 3000 and 3001.\n"));
}

TEST_F(NamesCommand, BadOptionsGiveOneLineAndPointToHelp)
{
    const QString roster = writeRoster(SmallRoster);
    const QStringList badCalls[] = {
        {QStringLiteral("--bogus")},
        {QStringLiteral("--seed"), QStringLiteral("abc")},
        {QStringLiteral("--seed"), QStringLiteral("-1")},
        {QStringLiteral("extra")},
        {QStringLiteral("--count")},
        {QStringLiteral("--format"), QStringLiteral("xml")},
        {QStringLiteral("--help-all")},
    };
    for (const QStringList &arguments : badCalls) {
        const CommandRun result = run(QStringList{QStringLiteral("--roster"), roster} + arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("quillery-names: "))) << result.err.toStdString();
        EXPECT_TRUE(result.err.endsWith(QStringLiteral(" Try --help.\n"))) << result.err.toStdString();
        EXPECT_LE(result.err.count(u'\n'), 2);
    }
}

TEST_F(NamesCommand, VersionLine)
{
    for (const QString &option : {QStringLiteral("--version"), QStringLiteral("-v")}) {
        const CommandRun result = run({option});
        EXPECT_EQ(result.exitCode, 0) << option.toStdString();
        EXPECT_EQ(result.out, u"quillery-names 1.00\n") << option.toStdString();
    }
}

// RFC 4180 records: quoted fields may hold commas, quotes (doubled) and line breaks.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u'"') {
            field += text[++i];
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u',') {
            record << std::exchange(field, {});
        } else if (!quoted && c == u'\r' && text.mid(i + 1, 1) == u'\n') {
            records << (record << std::exchange(field, {}));
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

TEST_F(NamesCommand, EveryFormatGivesTheSameNames)
{
    const QString roster = writeRoster("O\"Neil,Jo \"Jo\",1900\r\nLee,Al,1900\r\nMay,Ty,1901\r\n");
    auto withFormat = [&](const char *format) {
        const CommandRun result = run({QStringLiteral("--roster"), roster, QStringLiteral("--from"), QStringLiteral("1900"),
                                       QStringLiteral("--to"), QStringLiteral("1900"), QStringLiteral("--count"),
                                       QStringLiteral("8"), QStringLiteral("--seed"), QStringLiteral("4"),
                                       QStringLiteral("--format"), QString::fromLatin1(format)});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        return result.out;
    };
    const QJsonObject json = QJsonDocument::fromJson(withFormat("json").toUtf8()).object();
    EXPECT_EQ(json.value(u"from").toString(), u"1900");
    EXPECT_EQ(json.value(u"to").toString(), u"1900");
    EXPECT_EQ(json.value(u"players").toInt(), 2);
    QList<QStringList> names = {{QStringLiteral("first"), QStringLiteral("last")}};
    for (const QJsonValue &name : json.value(u"names").toArray())
        names.append({name[u"first"].toString(), name[u"last"].toString()});
    ASSERT_EQ(names.size(), 9);
    EXPECT_TRUE(names.contains(QStringList{QStringLiteral("Jo \"Jo\""), QStringLiteral("O\"Neil")}));

    EXPECT_EQ(readCsv(withFormat("csv")), names);
    QString block = QStringLiteral("1900 , 1900\r\n"), text;
    for (qsizetype i = 1; i < names.size(); ++i) {
        block += names[i][1] + u',' + names[i][0] + QStringLiteral("\r\n");
        text += names[i][0] + u' ' + names[i][1] + u'\n';
    }
    EXPECT_EQ(withFormat("block"), block + QStringLiteral("\r\n\r\n"));
    EXPECT_EQ(withFormat("text"), text);
}

class AppendCommand : public NamesCommand, public ::testing::WithParamInterface<bool> { };

TEST_P(AppendCommand, AppendsTheBlockOrLeavesTheFileAsItWas)
{
    const bool limited = GetParam();
    const QString roster = writeRoster(SmallRoster);
    const QByteArray earlier(1000, 'x');
    const QString list = writeRoster(earlier, QStringLiteral("list.txt"));
    const QStringList common = {QStringLiteral("--roster"), roster, QStringLiteral("--seed"), QStringLiteral("9")};
    const QByteArray block = run(common + QStringList{QStringLiteral("--format"), QStringLiteral("block")}).out.toUtf8();

    const CommandRun result = run(common + QStringList{QStringLiteral("--append"), QStringLiteral("list.txt")},
                                  limited ? std::optional<rlim_t>(earlier.size() + 10) : std::nullopt);
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The earlier text's last line has no line break; the block gets one first.
    if (!limited) {
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(file.readAll(), earlier + "\r\n" + block);
        EXPECT_EQ(result.outLines().size(), 12);
        return;
    }
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_EQ(result.err, QStringLiteral("quillery-names: Cannot write the list file %1: only 10 of %2 bytes could be "
                                         "written (File too large).\n").arg(list).arg(block.size() + 2));
    EXPECT_EQ(file.readAll(), earlier);
}

INSTANTIATE_TEST_SUITE_P(Limits, AppendCommand, ::testing::Bool());

struct UserTextCase {
    const char *name;
    const char *rosterName;
    QByteArray roster;
    QStringList arguments;
    const char *expectedLine; // one line of stderr
};

class MessagesKeepUserText : public NamesCommand, public ::testing::WithParamInterface<UserTextCase> { };

TEST_P(MessagesKeepUserText, AsTyped)
{
    const UserTextCase &row = GetParam();
    writeRoster(row.roster, QString::fromUtf8(row.rosterName));
    const CommandRun result = run(QStringList{QStringLiteral("--roster"), QString::fromUtf8(row.rosterName)} + row.arguments);
    EXPECT_TRUE(result.err.split(u'\n').contains(QString::fromUtf8(row.expectedLine))) << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Messages, MessagesKeepUserText, ::testing::Values(
    UserTextCase{"YearText", "r.txt", SmallRoster, {"--verbose", "--from", "1900%1", "--to", "1950"},
                 "Period: 1900%1 to 1950, 4 players"},
    UserTextCase{"RosterName", "r%2x.txt", "A,a,1900\nbad\n", {}, "r%2x.txt line 2: fewer than two commas"},
    UserTextCase{"NotUtf8RosterName", "r%1%2.txt", "A,a,1900\nR\xE9,b,1900\nPe\xC3\xB1" "a,c,1900\n", {},
                 "r%1%2.txt line 2: not valid UTF-8, so the whole file was read as Windows-1252."}),
    [](const ::testing::TestParamInfo<UserTextCase> &info) { return std::string(info.param.name); });

TEST_F(NamesCommand, ShippedRosterBesideTheProgramIsTheDefault)
{
    const CommandRun result = run({QStringLiteral("--verbose")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.firstErrLine().startsWith(QStringLiteral("Period: 1871 to 2000, "))) << result.err.toStdString();
    EXPECT_EQ(result.outLines().size(), 12);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
