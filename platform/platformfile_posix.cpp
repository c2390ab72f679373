// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/platformfile.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <mutex>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FileHandle::Native FileHandle::invalid()
{
    return -1;
}

int FileHandle::close()
{
    const int result = ::close(release());
    return result == 0 ? 0 : errno;
}

namespace {

int openRetrying(const QByteArray &nativePath, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(nativePath.constData(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool isWritableKind(mode_t mode)
{
    // A character device such as /dev/null is a deliberate choice of the
    // user; a FIFO or socket could block the program or swallow the list.
    return S_ISREG(mode) || S_ISCHR(mode);
}

// Opening a FIFO that nobody reads fails with ENXIO under O_NONBLOCK, a folder
// with EISDIR and a file without write permission with EACCES; say what is
// really in the way.
QString openFailureReason(const QByteArray &nativePath, int error)
{
    struct stat info {};
    if (error == ENXIO && ::stat(nativePath.constData(), &info) == 0 && !isWritableKind(info.st_mode))
        return NotRegularFileReason;
    if (error == EISDIR)
        return FolderNotFileReason;
    if (error == EACCES && ::stat(nativePath.constData(), &info) == 0 && S_ISREG(info.st_mode)
        && ::access(nativePath.constData(), W_OK) != 0)
        return ReadOnlyFileReason;
    return systemErrorText(error);
}

// 0 when the lock is held or the file system has no locks; otherwise the error.
int lockExclusive(int fd, const std::function<void()> &waiting)
{
    using platformdetail::LockTry;
    int error = 0;
    bool timedOut = false;
    const bool held = platformdetail::takeLockPatiently([&] {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return LockTry::Held;
        error = errno;
        if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL)
            return LockTry::Held;
        return error == EWOULDBLOCK || error == EINTR ? LockTry::Busy : LockTry::Failed;
    }, waiting, timedOut);
    return held ? 0 : timedOut ? EWOULDBLOCK : error;
}

// The bytes written in one call, or -1 with errno set.
qsizetype writeOnce(int fd, QByteArrayView bytes)
{
    ssize_t written;
    do {
        written = ::write(fd, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return written;
}

// The file at path is still the one open as fd: an append that created the
// file and then failed removes it again, perhaps while this one waited for
// its lock.
bool pathStillNames(const QByteArray &nativePath, int fd)
{
    struct stat byPath {};
    struct stat byHandle {};
    return ::stat(nativePath.constData(), &byPath) == 0 && ::fstat(fd, &byHandle) == 0
            && byPath.st_dev == byHandle.st_dev && byPath.st_ino == byHandle.st_ino;
}

// The file's last bytes, as many as platformdetail::appendedAfter looks at;
// none when they cannot be read. They are read through the appending
// descriptor itself: on file systems that emulate flock with record locks,
// closing any other descriptor of the file would drop the lock.
QByteArray endOf(int fd, off_t length)
{
    QByteArray ending(qsizetype(std::min<off_t>(length, platformdetail::EndingBytes)), Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(fd, ending.data(), size_t(ending.size()), length - ending.size());
    } while (got < 0 && errno == EINTR);
    return got == ending.size() ? ending : QByteArray();
}

// The signals that end a program from the terminal or at shutdown: Ctrl+C,
// a closed terminal, a request to end.
constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr std::size_t EndingSignalCount = std::size(EndingSignals);

std::atomic<bool> endingSignalCaught[EndingSignalCount];

void noteEndingSignal(int signal)
{
    for (std::size_t i = 0; i < EndingSignalCount; ++i) {
        if (EndingSignals[i] == signal)
            endingSignalCaught[i] = true;
    }
}

// Holds the ending signals back while a block is written, synced or rolled
// back, and lets them take effect afterwards. The kernel stops a write as soon
// as a signal is about to end the process, so the rest of the block and the
// rollback would never come. Blocking them in this thread alone is not enough:
// the kernel hands a process's signal to any thread that does not block it,
// and then ends them all. So, while any append is in this section, a signal
// whose action is to end the program is only noted, and sent again at the end.
class EndingSignalsWait {
public:
    EndingSignalsWait()
    {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : EndingSignals)
            sigaddset(&ending, signal);
        pthread_sigmask(SIG_BLOCK, &ending, &m_savedMask);

        const std::lock_guard lock(s_mutex);
        if (s_holders++ > 0)
            return;
        for (std::size_t i = 0; i < EndingSignalCount; ++i) {
            endingSignalCaught[i] = false;
            struct sigaction &saved = s_saved[i];
            s_noted[i] = ::sigaction(EndingSignals[i], nullptr, &saved) == 0 && !(saved.sa_flags & SA_SIGINFO)
                    && saved.sa_handler == SIG_DFL;
            if (!s_noted[i])
                continue;
            struct sigaction note {};
            note.sa_handler = noteEndingSignal;
            note.sa_flags = SA_RESTART;
            sigfillset(&note.sa_mask);
            s_noted[i] = ::sigaction(EndingSignals[i], &note, nullptr) == 0;
        }
    }

    ~EndingSignalsWait()
    {
        bool resend[EndingSignalCount] = {};
        {
            const std::lock_guard lock(s_mutex);
            if (--s_holders == 0) {
                for (std::size_t i = 0; i < EndingSignalCount; ++i) {
                    if (!s_noted[i])
                        continue;
                    ::sigaction(EndingSignals[i], &s_saved[i], nullptr);
                    resend[i] = endingSignalCaught[i].exchange(false);
                }
            }
        }
        // One that waits blocked in this thread comes now, with its usual action.
        pthread_sigmask(SIG_SETMASK, &m_savedMask, nullptr);
        for (std::size_t i = 0; i < EndingSignalCount; ++i) {
            if (resend[i])
                ::kill(::getpid(), EndingSignals[i]);
        }
    }

    EndingSignalsWait(const EndingSignalsWait &) = delete;
    EndingSignalsWait &operator=(const EndingSignalsWait &) = delete;

private:
    sigset_t m_savedMask {};

    static inline std::mutex s_mutex;
    static inline int s_holders = 0;
    static inline struct sigaction s_saved[EndingSignalCount] {};
    static inline bool s_noted[EndingSignalCount] = {};
};

} // namespace

ReadResult readRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    const FileHandle file(openRetrying(QFile::encodeName(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.isOpen())
        return {errno == ENOENT ? ReadResult::Missing : ReadResult::Failed, systemErrorText(errno)};

    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return {ReadResult::Failed, systemErrorText(errno)};
    if (S_ISDIR(info.st_mode))
        return {ReadResult::Failed, FolderNotFileReason};
    if (!S_ISREG(info.st_mode))
        return {ReadResult::Failed, NotRegularFileReason};
    if (info.st_size > maxBytes)
        return {ReadResult::TooLarge, {}};

    // O_NONBLOCK has no effect on the reads of a regular file.
    return platformdetail::readToEnd(info.st_size, maxBytes, bytes, [&](char *into, qsizetype room, QString &reason) {
        ssize_t got;
        do {
            got = ::read(file.get(), into, size_t(room));
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            reason = systemErrorText(errno);
        return qsizetype(got);
    });
}

FileKind fileKindAt(const QString &path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat info {};
    if (::stat(nativePath.constData(), &info) == 0) {
        if (S_ISREG(info.st_mode))
            return {FileKind::Regular, {}};
        return {FileKind::Unusable, S_ISDIR(info.st_mode) ? FolderNotFileReason : NotRegularFileReason};
    }
    const int error = errno;
    if (error != ENOENT)
        return {FileKind::Unusable, systemErrorText(error)};
    struct stat link {};
    if (::lstat(nativePath.constData(), &link) == 0)
        return {FileKind::Unusable, DanglingLinkReason};
    return {FileKind::Missing, {}};
}

QString replaceFileContents(const QString &path, QByteArrayView bytes)
{
    QByteArray target = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(target.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char *resolved = ::realpath(target.constData(), nullptr);
        if (!resolved)
            return errno == ENOENT ? DanglingLinkReason : systemErrorText(errno);
        target = resolved;
        ::free(resolved);
    }
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return systemErrorText(errno);
    if (exists && !S_ISREG(old.st_mode))
        return S_ISDIR(old.st_mode) ? FolderNotFileReason : NotRegularFileReason;
    if (exists && ::access(target.constData(), W_OK) != 0)
        return errno == EACCES || errno == EROFS ? ReadOnlyFileReason : systemErrorText(errno);

    QByteArray temporary;
    FileHandle file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        temporary = target + ".new-" + QByteArray::number(qint64(::getpid())) + '-' + QByteArray::number(attempt);
        file = FileHandle(openRetrying(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!file.isOpen() && errno != EEXIST)
            return systemErrorText(errno);
    }
    if (!file.isOpen())
        return systemErrorText(EEXIST);
    auto giveUp = [&](const QString &reason) {
        file.close();
        ::unlink(temporary.constData());
        return reason;
    };
    if (exists) {
        // The new file keeps the old one's permissions, and its owner where
        // the program may give it away (run as root, say).
        if (::fchmod(file.get(), old.st_mode & 07777) != 0)
            return giveUp(systemErrorText(errno));
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            const int givenAway = ::fchown(file.get(), old.st_uid, old.st_gid);
            Q_UNUSED(givenAway)
        }
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qsizetype written = writeOnce(file.get(), bytes.sliced(done));
        if (written <= 0)
            return giveUp(written < 0 ? systemErrorText(errno) : shortWriteReason(done, bytes.size(), {}));
        done += written;
    }
    if (::fsync(file.get()) != 0)
        return giveUp(systemErrorText(errno));
    if (const int error = file.close())
        return giveUp(systemErrorText(error));
    if (::rename(temporary.constData(), target.constData()) != 0)
        return giveUp(systemErrorText(errno));
    // The folder's new entry goes to disk too.
    const int slash = target.lastIndexOf('/');
    const FileHandle folder(openRetrying(slash > 0 ? target.left(slash) : QByteArray(slash == 0 ? "/" : "."),
                                         O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        ::fsync(folder.get());
    return {};
}

AppendResult appendLocked(const QString &path, QByteArrayView block, const std::function<void()> &waiting)
{
    const QByteArray nativePath = QFile::encodeName(path);
    FileHandle file;
    bool created = false;
    bool regular = false;
    // The file this call made goes again when the append fails, unless
    // another append wrote to it meanwhile. An append that waits for the lock
    // on it meanwhile finds its path gone once it holds the lock, and starts over.
    auto removeIfMadeAndEmpty = [&](int fd) -> QString {
        struct stat info {};
        if (!created || ::fstat(fd, &info) != 0 || info.st_size != 0 || !pathStillNames(nativePath, fd)
            || ::unlink(nativePath.constData()) == 0)
            return {};
        return systemErrorText(errno);
    };
    auto giveUp = [&](const QString &reason) { return AppendResult{reason, removeIfMadeAndEmpty(file.get())}; };
    // A few rounds at most: each one lost means another append removed the
    // file it had just made, and every such append gives up at once.
    for (int round = 0; round < 8 && !file.isOpen(); ++round) {
        // Read access lets the append see whether the last line has its line
        // break; a file the user may only write to is appended to all the same.
        int flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK;
        created = false;
        file = FileHandle(openRetrying(nativePath, flags));
        if (!file.isOpen() && errno == EACCES) {
            flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
            file = FileHandle(openRetrying(nativePath, flags));
        }
        if (!file.isOpen() && errno == ENOENT) {
            file = FileHandle(openRetrying(nativePath, flags | O_CREAT | O_EXCL, 0666));
            created = file.isOpen();
            // Made by another program just now, or a link to a missing file,
            // which is made as before; either way not this call's to remove.
            if (!file.isOpen() && errno == EEXIST)
                file = FileHandle(openRetrying(nativePath, flags | O_CREAT, 0666));
        }
        if (!file.isOpen())
            return {openFailureReason(nativePath, errno), {}};

        struct stat info {};
        if (::fstat(file.get(), &info) != 0)
            return giveUp(systemErrorText(errno));
        if (!isWritableKind(info.st_mode))
            return giveUp(NotRegularFileReason);
        regular = S_ISREG(info.st_mode);

        const int fileFlags = ::fcntl(file.get(), F_GETFL);
        if (fileFlags < 0 || ::fcntl(file.get(), F_SETFL, fileFlags & ~O_NONBLOCK) != 0)
            return giveUp(systemErrorText(errno));
        if (const int error = lockExclusive(file.get(), waiting))
            // Whoever holds the lock may be about to write: the file stays.
            return {error == EWOULDBLOCK ? LockedByAnotherReason : systemErrorText(error), {}};
        if (regular && !pathStillNames(nativePath, file.get()))
            file.close();
    }
    if (!file.isOpen())
        return {LockedByAnotherReason, {}};

    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return giveUp(systemErrorText(errno));
    const off_t oldLength = info.st_size;

    // A second descriptor keeps the file open and locked after the first is
    // closed, so that a failing close can still be rolled back.
    const FileHandle keeper(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    if (!keeper.isOpen())
        return giveUp(systemErrorText(errno));

    auto rollBack = [&](const QString &reason) {
        AppendResult result{reason, {}};
        if (!regular)
            return result;
        if (::ftruncate(keeper.get(), oldLength) != 0)
            result.restoreFailure = systemErrorText(errno);
        else
            result.restoreFailure = removeIfMadeAndEmpty(keeper.get());
        return result;
    };

    // From here until the block is whole and synced, or rolled back.
    const EndingSignalsWait signalsWait;
    // Read under the lock, so that no other append ends the file meanwhile.
    const QByteArray bytes = regular ? platformdetail::appendedAfter(oldLength, endOf(file.get(), oldLength), block)
                                     : block.toByteArray();
    const qsizetype written = writeOnce(file.get(), bytes);
    if (written < 0)
        return rollBack(systemErrorText(errno));
    if (written != bytes.size()) {
        // A write that stops short gives no reason; writing the rest once
        // more does, such as a full disk or the file-size limit.
        const qsizetype more = writeOnce(file.get(), QByteArrayView(bytes).sliced(written));
        if (more < 0)
            return rollBack(shortWriteReason(written, bytes.size(), systemErrorText(errno)));
        if (written + more != bytes.size())
            return rollBack(shortWriteReason(written + more, bytes.size(), {}));
    }

    if (regular && ::fsync(file.get()) != 0)
        return rollBack(systemErrorText(errno));
    if (const int error = file.close())
        return rollBack(systemErrorText(error));
    return {};
}

bool reserveStandardDescriptors()
{
    bool outputOpen = true;
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == 1)
            outputOpen = false;
        // The lowest free number is fd itself: every one below it is open by now.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd)
            ::close(null);
    }
    return outputOpen;
}

QString writeAndFlush(std::FILE *stream, const QByteArray &utf8, bool *readerGone)
{
    errno = 0;
    const size_t written = std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
    if (std::fflush(stream) == 0 && !std::ferror(stream) && written == size_t(utf8.size()))
        return {};
    if (readerGone)
        *readerGone = errno == EPIPE;
    return errno != 0 ? systemErrorText(errno) : QStringLiteral("write error");
}

bool isSameFile(const QString &first, const QString &second)
{
    struct stat one {};
    struct stat other {};
    return ::stat(QFile::encodeName(first).constData(), &one) == 0
            && ::stat(QFile::encodeName(second).constData(), &other) == 0 && one.st_dev == other.st_dev
            && one.st_ino == other.st_ino;
}

QString platformdetail::makeOneFolder(const QString &path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    if (::mkdir(nativePath.constData(), 0777) == 0)
        return {};
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::stat(nativePath.constData(), &info) == 0)
        return S_ISDIR(info.st_mode) ? QString() : FileNotFolderReason;
    return systemErrorText(error);
}

TerminalOutput connectStandardOutput(bool outputOpen)
{
    return outputOpen ? TerminalOutput::Ready : TerminalOutput::Closed;
}
