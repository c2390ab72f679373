// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/mainstate.h"
#include "roster/rosterfile.h"
#include "windows/listfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Readable failure output.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toStdString() << '"';
}

namespace {

using Pick = std::pair<QString, QString>; // last name, first name

MainState withPicks(const std::vector<Pick> &picks)
{
    MainState state;
    state.PickLast = {QString()};
    state.PickFirst = {QString()};
    for (const auto &[last, first] : picks) {
        state.PickLast.push_back(last);
        state.PickFirst.push_back(first);
    }
    state.NumNames = qint16(picks.size());
    return state;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Everything below root, as one text: names, kinds, link targets and file bytes.
QByteArray snapshot(const QString &root)
{
    QByteArray picture;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString &path : paths) {
        const QByteArray native = QFile::encodeName(path);
        struct stat info {};
        ::lstat(native.constData(), &info);
        picture += native + ' ' + QByteArray::number(info.st_mode, 8) + ' ';
        if (S_ISLNK(info.st_mode))
            picture += "-> " + QFile::encodeName(QFile::symLinkTarget(path));
        else if (S_ISREG(info.st_mode))
            picture += readAll(path).toHex();
        picture += '\n';
    }
    return picture;
}

int openDescriptorCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

const MainState TwoPicks = withPicks({{"Smith", "John"}, {"Jones", "Bill"}});
const QByteArray TwoPickBlock = "1871 , 2000\r\nSmith,John\r\nJones,Bill\r\n\r\n\r\n";

} // namespace

struct BlockCase {
    const char *name;
    QString startText;
    QString endText;
    MainState state;
    QByteArray expected;
};

void PrintTo(const BlockCase &row, std::ostream *out)
{
    *out << row.name;
}

class ListBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(ListBlockTest, HasTheExactBytes)
{
    const BlockCase &row = GetParam();
    EXPECT_EQ(listBlock(row.startText, row.endText, row.state), row.expected);
}

MainState picksShorterThanCount()
{
    MainState state = withPicks({{"Smith", "John"}});
    state.NumNames = 3;
    return state;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ListBlockTest,
    testing::Values(
        BlockCase{"Typical", "1871", "2000", TwoPicks, TwoPickBlock},
        BlockCase{"YearTextsAsTheyStand", "1871", "2000abc", withPicks({{"Smith", "John"}}),
                  "1871 , 2000abc\r\nSmith,John\r\n\r\n\r\n"},
        BlockCase{"EmptyYearTexts", "", "", withPicks({{"Smith", "John"}}), " , \r\nSmith,John\r\n\r\n\r\n"},
        BlockCase{"LineBreaksInYearTextsAsBlanks", "1950\r\n\r\n\r\n", QStringLiteral("\n19\r\r60\u2028\u2029"),
                  withPicks({{"Smith", "John"}}), "1950    ,  19  60  \r\nSmith,John\r\n\r\n\r\n"},
        BlockCase{"CommaInNameUnchanged", "1871", "2000", withPicks({{"Smith,Jr", "John"}}),
                  "1871 , 2000\r\nSmith,Jr,John\r\n\r\n\r\n"},
        BlockCase{"BlanksKept", "1871", "2000", withPicks({{" Van Haltren", "George "}}),
                  "1871 , 2000\r\n Van Haltren,George \r\n\r\n\r\n"},
        BlockCase{"NonAsciiAsUtf8", "1871", "2000", withPicks({{QStringLiteral("M\u00fcller"), QStringLiteral("Jos\u00e9")}}),
                  "1871 , 2000\r\nM\xc3\xbcller,Jos\xc3\xa9\r\n\r\n\r\n"},
        BlockCase{"NoPicks", "1871", "2000", withPicks({}), "1871 , 2000\r\n\r\n\r\n"},
        BlockCase{"PicksShorterThanCount", "1871", "2000", picksShorterThanCount(),
                  "1871 , 2000\r\nSmith,John\r\n\r\n\r\n"}),
    [](const testing::TestParamInfo<BlockCase> &info) { return std::string(info.param.name); });

TEST(ListBlock, NameFromWindows1252RosterIsWrittenAsUtf8)
{
    const QString last = decodeRosterText("M\xfcller");
    ASSERT_EQ(last, QStringLiteral("M\u00fcller"));
    EXPECT_EQ(listBlock("1871", "2000", withPicks({{last, "Hans"}})),
              "1871 , 2000\r\nM\xc3\xbcller,Hans\r\n\r\n\r\n");
}

TEST(ListFilePath, JoinsTheDirectoryAndTheName)
{
    EXPECT_EQ(listFilePath("/opt/quillery"), "/opt/quillery/RandomNames.txt");
}

class ListFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void TearDown() override
    {
        for (int fd : m_openedHere)
            ::close(fd);
        QDirIterator it(m_dir.path(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            ::chmod(QFile::encodeName(it.next()).constData(), 0700);
    }

public:
    QString file(const QString &name = ListFileName.toString()) const { return m_dir.filePath(name); }
    QString root() const { return m_dir.path(); }
    void keepOpenUntilTearDown(int fd) { m_openedHere.push_back(fd); }

private:
    QTemporaryDir m_dir;
    std::vector<int> m_openedHere;
};

TEST_F(ListFileTest, CreatesTheFileWhenMissing)
{
    const ListFileReport report = appendListBlock(file(), TwoPickBlock);
    EXPECT_TRUE(report.saved()) << report.error.toStdString();
    EXPECT_EQ(readAll(file()), TwoPickBlock);
}

TEST_F(ListFileTest, TwoSavesAppendTwoIdenticalBlocksAfterEarlierContent)
{
    const QByteArray earlier = "1900 , 1910\r\nOld,Name\r\n\r\n\r\n";
    writeAll(file(), earlier);
    ASSERT_TRUE(appendListBlock(file(), TwoPickBlock).saved());
    ASSERT_TRUE(appendListBlock(file(), TwoPickBlock).saved());
    EXPECT_EQ(readAll(file()), earlier + TwoPickBlock + TwoPickBlock);
}

TEST_F(ListFileTest, CharacterDeviceChosenByTheUserIsAccepted)
{
    ASSERT_EQ(::symlink("/dev/null", QFile::encodeName(file()).constData()), 0);
    EXPECT_TRUE(appendListBlock(file(), TwoPickBlock).saved());
}

class SoftFileSizeLimit {
public:
    explicit SoftFileSizeLimit(std::optional<rlim_t> limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        if (limit) {
            rlimit capped = m_saved;
            capped.rlim_cur = *limit;
            m_active = ::setrlimit(RLIMIT_FSIZE, &capped) == 0;
        }
    }
    ~SoftFileSizeLimit()
    {
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    SoftFileSizeLimit(const SoftFileSizeLimit &) = delete;
    SoftFileSizeLimit &operator=(const SoftFileSizeLimit &) = delete;

private:
    rlimit m_saved {};
    bool m_active = false;
};

class IgnoredSignal {
public:
    explicit IgnoredSignal(int signal) : m_signal(signal)
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(m_signal, &ignore, &m_saved);
    }
    ~IgnoredSignal() { ::sigaction(m_signal, &m_saved, nullptr); }
    IgnoredSignal(const IgnoredSignal &) = delete;
    IgnoredSignal &operator=(const IgnoredSignal &) = delete;

private:
    int m_signal;
    struct sigaction m_saved {};
};

struct Fault {
    const char *name;
    // Puts the fault in place and returns the path to save to.
    std::function<QString(ListFileTest &)> prepare;
    QString reason;
    // Relative path that must not be writable for the fault to bite (permission bits).
    QString unwritable = {};
    std::optional<rlim_t> fileSizeLimit = {};
};

void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name;
}

const QByteArray EarlierContent = QByteArray(1000, 'x');

QString existingFile(ListFileTest &test)
{
    writeAll(test.file(), EarlierContent);
    return test.file();
}

class ListFileFaultTest : public ListFileTest, public testing::WithParamInterface<Fault> {};

TEST_P(ListFileFaultTest, ReportsPathAndReasonAndLeavesEverythingAsItWas)
{
    const Fault &fault = GetParam();
    ASSERT_EQ(TwoPickBlock.size(), 41);
    const QString path = fault.prepare(*this);
    if (!fault.unwritable.isEmpty() && ::access(QFile::encodeName(file(fault.unwritable)).constData(), W_OK) == 0)
        GTEST_SKIP() << "permission bits do not stop this user";

    const QByteArray before = snapshot(root());
    const int descriptorsBefore = openDescriptorCount();
    ListFileReport report;
    {
        IgnoredSignal noFileSizeSignal(SIGXFSZ);
        SoftFileSizeLimit limit(fault.fileSizeLimit);
        ::alarm(20); // a save that hangs ends the test run instead of blocking it
        report = appendListBlock(path, TwoPickBlock);
        ::alarm(0);
    }

    EXPECT_FALSE(report.saved());
    EXPECT_EQ(report.error, "Cannot write the list file " + QDir::toNativeSeparators(path) + ": " + fault.reason + ".");
    EXPECT_EQ(snapshot(root()), before);
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);

    ASSERT_TRUE(QDir(root()).mkdir("good"));
    const QString goodPath = listFilePath(file("good"));
    const ListFileReport later = appendListBlock(goodPath, TwoPickBlock);
    EXPECT_TRUE(later.saved()) << later.error.toStdString();
    EXPECT_EQ(readAll(goodPath), TwoPickBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ListFileFaultTest,
    testing::Values(
        Fault{"DiskFull",
              [](ListFileTest &t) {
                  ::symlink("/dev/full", QFile::encodeName(t.file()).constData());
                  return t.file();
              },
              "No space left on device"},
        Fault{"FileSizeLimitCutsTheWrite", existingFile, "only 10 of 41 bytes could be written (File too large)", {},
              EarlierContent.size() + 10},
        Fault{"FileAlreadyAtSizeLimit", existingFile, "File too large", {}, EarlierContent.size()},
        Fault{"DirectoryInTheWay",
              [](ListFileTest &t) {
                  QDir(t.root()).mkdir(ListFileName.toString());
                  writeAll(t.file() + "/inside.txt", "kept");
                  return t.file();
              },
              "Is a directory"},
        Fault{"MissingParent", [](ListFileTest &t) { return listFilePath(t.file("missing")); },
              "No such file or directory"},
        Fault{"ReadOnlyFolder",
              [](ListFileTest &t) {
                  QDir(t.root()).mkdir("readonly");
                  ::chmod(QFile::encodeName(t.file("readonly")).constData(), 0500);
                  return listFilePath(t.file("readonly"));
              },
              "Permission denied", "readonly"},
        Fault{"ReadOnlyFile",
              [](ListFileTest &t) {
                  existingFile(t);
                  ::chmod(QFile::encodeName(t.file()).constData(), 0400);
                  return t.file();
              },
              "Permission denied", ListFileName.toString()},
        Fault{"FifoWithoutReader",
              [](ListFileTest &t) {
                  ::mkfifo(QFile::encodeName(t.file()).constData(), 0600);
                  return t.file();
              },
              "it is not a regular file"},
        Fault{"FifoWithReader",
              [](ListFileTest &t) {
                  ::mkfifo(QFile::encodeName(t.file()).constData(), 0600);
                  t.keepOpenUntilTearDown(::open(QFile::encodeName(t.file()).constData(), O_RDONLY | O_NONBLOCK));
                  return t.file();
              },
              "it is not a regular file"}),
    [](const testing::TestParamInfo<Fault> &info) { return std::string(info.param.name); });

TEST_F(ListFileTest, WaitsWhileAnotherProgramHoldsTheLock)
{
    writeAll(file(), "A");
    const int other = ::open(QFile::encodeName(file()).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_GE(other, 0);
    keepOpenUntilTearDown(other);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);

    auto save = std::async(std::launch::async, [this] { return appendListBlock(file(), TwoPickBlock); });
    EXPECT_EQ(save.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(readAll(file()), "A");

    ASSERT_EQ(::write(other, "B", 1), 1);
    ASSERT_EQ(::flock(other, LOCK_UN), 0);
    const ListFileReport report = save.get();
    EXPECT_TRUE(report.saved()) << report.error.toStdString();
    EXPECT_EQ(readAll(file()), "AB" + TwoPickBlock);
}

TEST_F(ListFileTest, ConcurrentSavesNeverInterleave)
{
    constexpr int Writers = 2;
    constexpr int BlocksEach = 30;
    std::vector<QByteArray> blocks;
    for (int writer = 0; writer < Writers; ++writer) {
        std::vector<Pick> picks;
        for (int i = 0; i < 400; ++i)
            picks.emplace_back(QStringLiteral("Last%1_%2").arg(writer).arg(i), QStringLiteral("First%1").arg(i));
        blocks.push_back(listBlock("1871", "2000", withPicks(picks)));
    }

    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < BlocksEach; ++i) {
                if (!appendListBlock(file(), blocks[size_t(writer)]).saved())
                    ::_exit(1);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const QByteArray written = readAll(file());
    std::vector<int> seen(Writers, 0);
    qsizetype at = 0;
    while (at < written.size()) {
        int found = -1;
        for (int writer = 0; writer < Writers; ++writer) {
            if (QByteArrayView(written).sliced(at).startsWith(blocks[size_t(writer)]))
                found = writer;
        }
        ASSERT_GE(found, 0) << "broken block at byte " << at;
        ++seen[size_t(found)];
        at += blocks[size_t(found)].size();
    }
    EXPECT_EQ(seen, std::vector<int>(Writers, BlocksEach));
}
