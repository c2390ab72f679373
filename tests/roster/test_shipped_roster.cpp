// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The roster as it ships: the copy in data/ is intact, the build places it
// beside the programs, and quillery-names finds it there with no options.

#include "base/mainstate.h"
#include "roster/rosterfile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString() << ": " << file.errorString().toStdString();
    return file.readAll();
}

const QString SourceRoster = QStringLiteral(QUILLERY_SOURCE_ROSTER);
const QString BuiltRoster = QStringLiteral(QUILLERY_BUILT_ROSTER);

} // namespace

TEST(ShippedRoster, EveryLineEndsInCrLf)
{
    // A checkout that rewrote line ends would still load, but would no longer
    // be the file the notice describes.
    const QByteArray bytes = readAll(SourceRoster);
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
}

TEST(ShippedRoster, LoadsEveryPlayerWithoutWarnings)
{
    auto state = std::make_unique<MainState>();
    const RosterReport report = parseRoster(readAll(SourceRoster), QStringLiteral("Kordane.txt"), *state);
    ASSERT_TRUE(report.loaded()) << report.error.toStdString();
    EXPECT_FALSE(report.hasWarnings()) << report.warningText().toStdString();
    EXPECT_EQ(state->NameCount, 23614);

    int unknownFirstNames = 0;
    qint16 firstDebut = 32767;
    qint16 lastDebut = -32768;
    for (int i = 0; i < state->NameCount; ++i) {
        if (state->FirstNames[i] == PlaceholderName)
            ++unknownFirstNames;
        firstDebut = std::min(firstDebut, state->Years[i]);
        lastDebut = std::max(lastDebut, state->Years[i]);
    }
    EXPECT_EQ(unknownFirstNames, 374);
    EXPECT_EQ(firstDebut, 1871);
    EXPECT_EQ(lastDebut, 2025);
}

// One player each of the Negro Leagues, of the latest season, and with accents,
// exactly as the roster spells them.
TEST(ShippedRoster, HoldsPlayersOfEveryKind)
{
    auto state = std::make_unique<MainState>();
    ASSERT_TRUE(parseRoster(readAll(SourceRoster), QStringLiteral("Kordane.txt"), *state).loaded());
    const struct {
        QString last, first;
        qint16 year;
    } players[] = {
        {QStringLiteral("Gibson"), QStringLiteral("Josh"), 1930},
        {QStringLiteral("Misiorowski"), QStringLiteral("Jacob"), 2025},
        {QStringLiteral("Acu\u00f1a"), QStringLiteral("Ronald"), 2018},
    };
    for (const auto &player : players) {
        bool found = false;
        for (int i = 0; i < state->NameCount && !found; ++i)
            found = state->LastNames[i] == player.last && state->FirstNames[i] == player.first && state->Years[i] == player.year;
        EXPECT_TRUE(found) << player.first.toStdString() << ' ' << player.last.toStdString() << ' ' << player.year;
    }
}

TEST(ShippedRoster, BuildPlacesAnIdenticalCopyBesideThePrograms)
{
    EXPECT_EQ(readAll(BuiltRoster), readAll(SourceRoster));
}

TEST(ShippedRoster, NamesCommandUsesTheRosterBesideIt)
{
    auto state = std::make_unique<MainState>();
    ASSERT_TRUE(parseRoster(readAll(SourceRoster), QStringLiteral("Kordane.txt"), *state).loaded());
    int inDefaultPeriod = 0;
    for (int i = 0; i < state->NameCount; ++i)
        inDefaultPeriod += state->Years[i] >= 1871 && state->Years[i] <= 2000;

    // Started from elsewhere, so only the program's own folder can supply the roster.
    QProcess names;
    names.setWorkingDirectory(QStringLiteral("/"));
    names.start(QStringLiteral(QUILLERY_NAMES_BIN), {QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--verbose")});
    ASSERT_TRUE(names.waitForFinished(30000));
    const QString err = QString::fromUtf8(names.readAllStandardError());
    ASSERT_EQ(names.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(names.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(err, QStringLiteral("Period: 1871 to 2000, %1 players\n").arg(inDefaultPeriod));

    const QStringList lines = QString::fromUtf8(names.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    const QRegularExpression firstBlankLast(QStringLiteral("^\\S.* \\S.*$"));
    for (const QString &line : lines)
        EXPECT_TRUE(firstBlankLast.match(line).hasMatch()) << line.toStdString();
}
