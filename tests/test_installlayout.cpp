#include "common/installlayout.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <vector>

namespace {

struct LayoutCase {
    const char *name;
    std::vector<const char *> rosters; // made under the root before the lookup
    const char *program;               // the program's folder under the root
    const char *roster;                // expected roster, under the root
    const char *listDirectory;         // expected list folder, under the root
};

void PrintTo(const LayoutCase &c, std::ostream *out)
{
    *out << c.name;
}

// The user's documents live in home/Papers, as the user-dirs file says, and do
// not exist until a save needs them.
class InstallLayout : public testing::TestWithParam<LayoutCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        m_savedHome = qgetenv("HOME");
        m_savedConfig = qgetenv("XDG_CONFIG_HOME");
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("home/.config")));
        QFile dirs(m_root.filePath(QStringLiteral("home/.config/user-dirs.dirs")));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
        dirs.close();
        qputenv("HOME", m_root.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_root.filePath(QStringLiteral("home/.config")).toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("HOME", m_savedHome);
        if (m_savedConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_savedConfig);
    }

    QString under(const char *relative) const { return m_root.filePath(QString::fromUtf8(relative)); }

    QTemporaryDir m_root;
    QByteArray m_savedHome;
    QByteArray m_savedConfig;
};

TEST_P(InstallLayout, FindsTheRosterAndTheListFolder)
{
    const LayoutCase &c = GetParam();
    for (const char *roster : c.rosters) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(under(roster)).path()));
        QFile file(under(roster));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir().mkpath(under(c.program)));

    const QString roster = rosterLocation(under(c.program));
    EXPECT_EQ(roster.toStdString(), under(c.roster).toStdString());
    const QString list = listFileDirectory(under(c.program), roster);
    EXPECT_EQ(QDir(list).absolutePath().toStdString(), QDir(under(c.listDirectory)).absolutePath().toStdString());
    EXPECT_TRUE(QFileInfo(list).isDir()) << "the list folder is made when missing";
}

INSTANTIATE_TEST_SUITE_P(Rules, InstallLayout, testing::Values(
    LayoutCase{"portable", {"Quillery/Kordane.txt"}, "Quillery", "Quillery/Kordane.txt", "Quillery"},
    LayoutCase{"besideWinsOverShare", {"usr/bin/Kordane.txt", "usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/bin/Kordane.txt", "usr/bin"},
    LayoutCase{"system", {"usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/share/quillery/Kordane.txt", "home/Papers"},
    LayoutCase{"folderIsNoRoster", {"usr/bin/Kordane.txt/x", "usr/share/quillery/Kordane.txt"}, "usr/bin", "usr/share/quillery/Kordane.txt", "home/Papers"},
    LayoutCase{"neitherNamesBeside", {}, "usr/bin", "usr/bin/Kordane.txt", "usr/bin"}),
    [](const testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.name); });

} // namespace
