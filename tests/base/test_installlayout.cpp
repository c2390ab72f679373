// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/installlayout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

namespace {

struct LayoutCase {
    const char *name;
    std::vector<const char *> rosters; // made under the root before the lookup
    const char *program, *roster, *listDirectory; // folders and files under the root
    const char *error = nullptr; // %1: listDirectory, which cannot be made
};

void PrintTo(const LayoutCase &c, std::ostream *out) { *out << c.name; }

class InstallLayout : public testing::TestWithParam<LayoutCase> {};

// HOME is a fresh folder whose user-dirs file puts the documents in Papers,
// which does not exist until a save needs it.
TEST_P(InstallLayout, FindsTheRosterAndTheListFolder)
{
    const LayoutCase &c = GetParam();
    QTemporaryDir root;
    const auto under = [&](const char *relative) { return root.filePath(QString::fromUtf8(relative)); };
    // A path ending in '/' is made as a folder.
    const auto make = [&](const char *relative, QByteArrayView text) {
        const QString path = under(relative);
        QFile file(path);
        return path.endsWith(u'/') ? QDir().mkpath(path)
                                   : QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly)
                    && file.write(text.data(), text.size()) == text.size();
    };
    for (const char *roster : c.rosters)
        ASSERT_TRUE(make(roster, "Smith,John,1900\r\n"));
    ASSERT_TRUE(make("home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n"));
    ASSERT_TRUE(QDir().mkpath(under(c.program)));
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", under("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", under("home/.config").toLocal8Bit());

    const QString roster = rosterLocation(under(c.program));
    const CheckedPath list = listFileDirectory(under(c.program), roster);
    qputenv("HOME", home);
    config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);

    EXPECT_EQ(roster.toStdString(), under(c.roster).toStdString());
    QString expectedList = under(c.listDirectory);
#if defined(Q_OS_WIN)
    // Windows keeps the documents folder in its own settings, not under HOME.
    if (QByteArrayView(c.listDirectory).startsWith("home/")) {
        if (c.error)
            GTEST_SKIP() << "the documents folder is not under HOME";
        expectedList = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
#endif
    if (c.error) {
        EXPECT_EQ(list.error.toStdString(),
                  QString::fromUtf8(c.error).arg(QDir::toNativeSeparators(expectedList)).toStdString());
        return;
    }
    EXPECT_EQ(QDir(list.path).absolutePath().toStdString(), QDir(expectedList).absolutePath().toStdString());
    EXPECT_TRUE(QFileInfo(list.path).isDir()) << "the list folder is made when missing";
}

INSTANTIATE_TEST_SUITE_P(Rules, InstallLayout, testing::Values(
    LayoutCase{"portable", {"Quillery/Kordane.txt"}, "Quillery", "Quillery/Kordane.txt", "Quillery"},
    LayoutCase{"besideWinsOverShare", {"usr/bin/Kordane.txt", "usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/bin/Kordane.txt", "usr/bin"},
    LayoutCase{"system", {"usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/share/quillery/Kordane.txt", "home/Papers"},
    LayoutCase{"folderIsNoRoster", {"usr/bin/Kordane.txt/", "usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/share/quillery/Kordane.txt", "home/Papers"},
    LayoutCase{"neitherNamesBeside", {}, "usr/bin", "usr/bin/Kordane.txt", "usr/bin"},
    LayoutCase{"documentsCannotBeMade", {"usr/share/quillery/Kordane.txt", "home/Papers"}, "usr/bin",
               "usr/share/quillery/Kordane.txt", "home/Papers",
               "Cannot make the documents folder %1 for the list file: it is a file, not a folder."}),
    [](const testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.name); });

} // namespace
