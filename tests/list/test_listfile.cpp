// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/identity.h"
#include "base/mainstate.h"
#include "platform/platformfile.h"
#include "roster/rosterfile.h"
#include "list/listfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Everything below root, as one text: names, kinds, permissions, link
// targets and file bytes.
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
        const QFileInfo info(path);
        picture += path.toUtf8() + ' ' + QByteArray::number(int(info.permissions()), 16) + ' ';
        if (info.isSymLink())
            picture += "-> " + info.symLinkTarget().toUtf8();
        else if (info.isDir())
            picture += "folder";
        else if (info.isFile())
            picture += readAll(path).toHex();
        picture += '\n';
    }
    return picture;
}

// The files, pipes and the like this process holds open.
int openHandleCount()
{
#if defined(Q_OS_WIN)
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return int(count);
#else
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
#endif
}

// Windows' code for the error below, as its documentation numbers it.
constexpr int WindowsPathNotFound = 3;

// The system's words for an error, which differ between the systems.
QString reasonFor([[maybe_unused]] const char *posix, [[maybe_unused]] int windowsError)
{
#if defined(Q_OS_WIN)
    return systemErrorText(windowsError);
#else
    return QString::fromUtf8(posix);
#endif
}

// Another program's exclusive lock on the whole file, held until released.
FileHandle lockedByAnother(const QString &path)
{
#if defined(Q_OS_WIN)
    FileHandle other(::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    OVERLAPPED whole {};
    if (!other.isOpen() || !::LockFileEx(other.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        return {};
#else
    FileHandle other(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!other.isOpen() || ::flock(other.get(), LOCK_EX) != 0)
        return {};
#endif
    return other;
}

#if defined(Q_OS_WIN)
// Another program that has the file open for writing and lets nobody else
// write to it, as a spreadsheet does with the file it shows.
FileHandle openByAnother(const QString &path)
{
    return FileHandle(::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}
#endif

// Appends at the end and closes the file, giving up any lock, as the other
// program would.
bool appendAndClose(FileHandle &other, QByteArrayView bytes)
{
#if defined(Q_OS_WIN)
    LARGE_INTEGER end {};
    DWORD written = 0;
    const bool appended = ::SetFilePointerEx(other.get(), end, nullptr, FILE_END)
            && ::WriteFile(other.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
#else
    const bool appended = ::write(other.get(), bytes.data(), size_t(bytes.size())) == bytes.size();
#endif
    return appended && other.close() == 0;
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
        m_openedHere.clear();
        QDirIterator it(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            QFile::setPermissions(it.next(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

public:
    QString file(const QString &name = ListFileName.toString()) const { return m_dir.filePath(name); }
    QString root() const { return m_dir.path(); }
    void keepOpenUntilTearDown(FileHandle handle) { m_openedHere.push_back(std::move(handle)); }

private:
    QTemporaryDir m_dir;
    std::vector<FileHandle> m_openedHere;
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

// Whatever the earlier text's end, the block starts on a line of its own
// for a reader that splits on CR LF, and nothing marks an empty line before it.
struct Ending {
    const char *name;
    QByteArray earlier;
    QByteArray between; // what the save puts between the earlier text and the block
    bool writeOnly = false;
};

void PrintTo(const Ending &ending, std::ostream *out)
{
    *out << ending.name;
}

class ListFileEndingTest : public ListFileTest, public testing::WithParamInterface<Ending> {};

TEST_P(ListFileEndingTest, BlockStartsOnALineOfItsOwn)
{
    const Ending &ending = GetParam();
    writeAll(file(), ending.earlier);
    if (ending.writeOnly) {
        QFile::setPermissions(file(), QFileDevice::WriteOwner);
        if (QFile(file()).open(QIODevice::ReadOnly))
            GTEST_SKIP() << "permission bits do not stop this user";
    }
    const ListFileReport report = appendListBlock(file(), TwoPickBlock);
    EXPECT_TRUE(report.saved()) << report.error.toStdString();
    QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readAll(file()), ending.earlier + ending.between + TwoPickBlock);
}

INSTANTIATE_TEST_SUITE_P(Endings, ListFileEndingTest,
                         testing::Values(Ending{"LoneCr", "x\r", "\n"}, Ending{"ByteOrderMarkOnly", "\xEF\xBB\xBF", ""},
                                         Ending{"WriteOnly", "x", "\r\n", true}, Ending{"WriteOnlyEmpty", "", "", true}),
                         [](const testing::TestParamInfo<Ending> &info) { return std::string(info.param.name); });

TEST_F(ListFileTest, CharacterDeviceChosenByTheUserIsAccepted)
{
#if defined(Q_OS_WIN)
    // The bare name, in a folder and in any case, as --append takes it, and
    // with the colon Windows drops: the device itself, never a file.
    for (const QString &nullDevice : {file(QStringLiteral("nul")), file(QStringLiteral("NUL:"))})
        EXPECT_TRUE(appendListBlock(nullDevice, TwoPickBlock).saved());
    EXPECT_EQ(snapshot(root()), QByteArray());
#else
    ASSERT_EQ(::symlink("/dev/null", QFile::encodeName(file()).constData()), 0);
    EXPECT_TRUE(appendListBlock(file(), TwoPickBlock).saved());
#endif
}

#if !defined(Q_OS_WIN)
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

// A save that hangs ends the test run instead of blocking it.
struct HangGuard {
    HangGuard() { ::alarm(20); }
    ~HangGuard() { ::alarm(0); }
};
#endif

struct Fault {
    const char *name;
    // Puts the fault in place and returns the path to save to.
    std::function<QString(ListFileTest &)> prepare;
    QString reason;
    // Relative path that must not be writable for the fault to bite (permission bits).
    QString unwritable = {};
    std::optional<qint64> fileSizeLimit = {};
};

void PrintTo(const Fault &fault, std::ostream *out)
{
    *out << fault.name;
}

const QByteArray EarlierContent = QByteArray(998, 'x') + "\r\n";

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
    if (!fault.unwritable.isEmpty()) {
        QFile probe(file(fault.unwritable) + (QFileInfo(file(fault.unwritable)).isDir() ? "/probe" : ""));
        if (probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            probe.close();
            if (QFileInfo(file(fault.unwritable)).isDir())
                probe.remove();
            GTEST_SKIP() << "permission bits do not stop this user";
        }
    }

    const QByteArray before = snapshot(root());
    const int handlesBefore = openHandleCount();
    ListFileReport report;
    {
#if !defined(Q_OS_WIN)
        IgnoredSignal noFileSizeSignal(SIGXFSZ);
        SoftFileSizeLimit limit(fault.fileSizeLimit);
        HangGuard hang;
#endif
        report = appendListBlock(path, TwoPickBlock);
    }

    EXPECT_FALSE(report.saved());
    EXPECT_EQ(report.error, "Cannot write the list file " + QDir::toNativeSeparators(path) + ": " + fault.reason + ".");
    EXPECT_EQ(snapshot(root()), before);
    EXPECT_EQ(openHandleCount(), handlesBefore);

    ASSERT_TRUE(QDir(root()).mkdir("good"));
    const QString goodPath = listFilePath(file("good"));
    const ListFileReport later = appendListBlock(goodPath, TwoPickBlock);
    EXPECT_TRUE(later.saved()) << later.error.toStdString();
    EXPECT_EQ(readAll(goodPath), TwoPickBlock);
}

// Each system gets the faults it can produce: disk limits, folder permissions
// and FIFOs are POSIX's; named pipes are Windows'.
std::vector<Fault> faults()
{
    return {
#if !defined(Q_OS_WIN)
        Fault{"DiskFull",
              [](ListFileTest &t) {
                  EXPECT_EQ(::symlink("/dev/full", QFile::encodeName(t.file()).constData()), 0);
                  return t.file();
              },
              "No space left on device"},
        Fault{"FileSizeLimitCutsTheWrite", existingFile, "only 10 of 41 bytes could be written (File too large)", {},
              EarlierContent.size() + 10},
        Fault{"FileAlreadyAtSizeLimit", existingFile, "File too large", {}, EarlierContent.size()},
        // The line break put before the block goes again with it.
        Fault{"LineBreakBeforeTheBlockCut",
              [](ListFileTest &t) {
                  writeAll(t.file(), "x");
                  return t.file();
              },
              "only 1 of 43 bytes could be written (File too large)", {}, 2},
        // The file this save made is removed again, not left behind empty.
        Fault{"NewFileAtSizeLimit", [](ListFileTest &t) { return t.file(); }, "File too large", {}, 0},
        Fault{"ReadOnlyFolder",
              [](ListFileTest &t) {
                  QDir(t.root()).mkdir("readonly");
                  ::chmod(QFile::encodeName(t.file("readonly")).constData(), 0500);
                  return listFilePath(t.file("readonly"));
              },
              "Permission denied", "readonly"},
        Fault{"FifoWithoutReader",
              [](ListFileTest &t) {
                  ::mkfifo(QFile::encodeName(t.file()).constData(), 0600);
                  return t.file();
              },
              "it is not a regular file"},
        Fault{"FifoWithReader",
              [](ListFileTest &t) {
                  ::mkfifo(QFile::encodeName(t.file()).constData(), 0600);
                  t.keepOpenUntilTearDown(FileHandle(::open(QFile::encodeName(t.file()).constData(), O_RDONLY | O_NONBLOCK)));
                  return t.file();
              },
              "it is not a regular file"},
#else
        Fault{"NamedPipe",
              [](ListFileTest &t) {
                  const QString pipe = QStringLiteral("\\\\.\\pipe\\quillery-test-%1").arg(::GetCurrentProcessId());
                  t.keepOpenUntilTearDown(FileHandle(::CreateNamedPipeW(pipe.toStdWString().c_str(), PIPE_ACCESS_INBOUND,
                                                                        PIPE_TYPE_BYTE, 1, 0, 4096, 0, nullptr)));
                  return pipe;
              },
              "it is not a regular file"},
        // Windows opens the device, whatever the folder, and the list is lost.
        Fault{"DeviceNameWithExtension", [](ListFileTest &t) { return t.file("nul.txt"); },
              deviceNameReason("nul.txt")},
        Fault{"DeviceNameInAnyCase", [](ListFileTest &t) { return t.file("cOm3"); }, deviceNameReason("cOm3")},
        // Taken literally, it would be a file that Explorer can't remove.
        Fault{"NulBehindTheLiteralPrefix",
              [](ListFileTest &t) { return QStringLiteral("\\\\?\\") + QDir::toNativeSeparators(t.file("NUL")); },
              deviceNameReason("NUL")},
        // The patient wait runs out: nothing is written in part.
        Fault{"OpenElsewhereSharedWithNobody",
              [](ListFileTest &t) {
                  t.keepOpenUntilTearDown(openByAnother(existingFile(t)));
                  return t.file();
              },
              OpenElsewhereReason},
#endif
        Fault{"DirectoryInTheWay",
              [](ListFileTest &t) {
                  QDir(t.root()).mkdir(ListFileName.toString());
                  writeAll(t.file() + "/inside.txt", "kept");
                  return t.file();
              },
              FolderNotFileReason},
        Fault{"MissingParent", [](ListFileTest &t) { return listFilePath(t.file("missing")); },
              reasonFor("No such file or directory", WindowsPathNotFound)},
        Fault{"ReadOnlyFile",
              [](ListFileTest &t) {
                  existingFile(t);
                  QFile::setPermissions(t.file(), QFileDevice::ReadOwner);
                  return t.file();
              },
              ReadOnlyFileReason, ListFileName.toString()},
    };
}

INSTANTIATE_TEST_SUITE_P(Faults, ListFileFaultTest, testing::ValuesIn(faults()),
                         [](const testing::TestParamInfo<Fault> &info) { return std::string(info.param.name); });

// Another program that keeps the file from this one for a while. Whether the
// last line needs its line break is judged once the file is this one's.
struct Holder { const char *name; std::function<FileHandle(const QString &)> hold; };

void PrintTo(const Holder &holder, std::ostream *out) { *out << holder.name; }

class ListFileWaitTest : public ListFileTest, public testing::WithParamInterface<Holder> {};

TEST_P(ListFileWaitTest, WaitsWhileAnotherProgramHasTheFile)
{
    writeAll(file(), "A\r\n");
    FileHandle other = GetParam().hold(file());
    ASSERT_TRUE(other.isOpen());

    std::atomic<int> waits = 0;
    auto save = std::async(std::launch::async, [&] { return appendListBlock(file(), TwoPickBlock, [&] { ++waits; }); });
    EXPECT_EQ(save.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(readAll(file()), "A\r\n");
    EXPECT_EQ(waits, 1);

    ASSERT_TRUE(appendAndClose(other, "B"));
    const ListFileReport report = save.get();
    EXPECT_TRUE(report.saved()) << report.error.toStdString();
    EXPECT_EQ(readAll(file()), "A\r\nB\r\n" + TwoPickBlock);
    EXPECT_EQ(waits, 1);
}

std::vector<Holder> holders()
{
    return {
        Holder{"Lock", lockedByAnother},
#if defined(Q_OS_WIN)
        Holder{"OpenSharedWithNobody", openByAnother},
#endif
    };
}

INSTANTIATE_TEST_SUITE_P(Holders, ListFileWaitTest, testing::ValuesIn(holders()),
                         [](const testing::TestParamInfo<Holder> &info) { return std::string(info.param.name); });

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

    // Each save opens the file afresh, so the writers' locks meet as those of
    // two programs would.
    std::vector<std::future<bool>> writers;
    for (int writer = 0; writer < Writers; ++writer) {
        writers.push_back(std::async(std::launch::async, [&, writer] {
            for (int i = 0; i < BlocksEach; ++i) {
                if (!appendListBlock(file(), blocks[size_t(writer)]).saved())
                    return false;
            }
            return true;
        }));
    }
    for (auto &writer : writers)
        EXPECT_TRUE(writer.get());

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
