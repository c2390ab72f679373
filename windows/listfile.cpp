// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "windows/listfile.h"

#include "common/linebreaks.h"
#include "common/mainstate.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Another copy of the program holds the lock only for one append, so waiting
// longer than this means it is stuck.
constexpr auto LockPatience = std::chrono::seconds(5);
constexpr auto LockRetry = std::chrono::milliseconds(10);

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Closes now and returns 0 or the error close reported.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write the list file %1: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString systemReason(int error)
{
    return qt_error_string(error);
}

const QString NotRegularReason = QStringLiteral("it is not a regular file");

bool isWritableKind(mode_t mode)
{
    // A character device such as /dev/null is a deliberate choice of the
    // user; a FIFO or socket could block the program or swallow the list.
    return S_ISREG(mode) || S_ISCHR(mode);
}

// Opening a FIFO that nobody reads fails with ENXIO under O_NONBLOCK; say what
// is really in the way.
QString openFailureReason(const QByteArray &nativePath, int error)
{
    struct stat info {};
    if (error == ENXIO && ::stat(nativePath.constData(), &info) == 0 && !isWritableKind(info.st_mode))
        return NotRegularReason;
    return systemReason(error);
}

// 0 when the lock is held or the file system has no locks; otherwise the error.
int lockExclusive(int fd)
{
    const auto deadline = std::chrono::steady_clock::now() + LockPatience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        const int error = errno;
        if (error == ENOLCK || error == EOPNOTSUPP || error == EINVAL)
            return 0;
        if (error != EWOULDBLOCK && error != EINTR)
            return error;
        if (std::chrono::steady_clock::now() >= deadline)
            return EWOULDBLOCK;
        std::this_thread::sleep_for(LockRetry);
    }
}

// The bytes written in one call, or -1 with errno set.
qsizetype writeBlock(int fd, QByteArrayView bytes)
{
    ssize_t written;
    do {
        written = ::write(fd, bytes.data(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return written;
}

} // namespace

QString listFilePath(const QString &directory)
{
    return QDir(directory).filePath(ListFileName.toString());
}

QByteArray listBlock(const QString &startText, const QString &endText, const MainState &state)
{
    const qsizetype stored = std::min(state.PickLast.size(), state.PickFirst.size());
    const qsizetype last = std::min<qsizetype>(state.NumNames, stored - 1);

    const QLatin1StringView lineEnd("\r\n");
    QString text = lineBreaksAsBlanks(startText) + QLatin1StringView(" , ") + lineBreaksAsBlanks(endText) + lineEnd;
    for (qsizetype i = 1; i <= last; ++i)
        text += state.PickLast[size_t(i)] + u',' + state.PickFirst[size_t(i)] + lineEnd;
    text += lineEnd;
    text += lineEnd;
    return text.toUtf8();
}

ListFileReport appendListBlock(const QString &path, QByteArrayView block)
{
    const QByteArray nativePath = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(nativePath.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        return {failure(path, openFailureReason(nativePath, error))};
    }
    Descriptor file(fd);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return {failure(path, systemReason(errno))};
    if (!isWritableKind(info.st_mode))
        return {failure(path, NotRegularReason)};
    const bool regular = S_ISREG(info.st_mode);

    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return {failure(path, systemReason(errno))};

    if (const int error = lockExclusive(file.get())) {
        return {failure(path, error == EWOULDBLOCK ? QStringLiteral("another program keeps it locked")
                                                   : systemReason(error))};
    }
    if (::fstat(file.get(), &info) != 0)
        return {failure(path, systemReason(errno))};
    const off_t oldLength = info.st_size;

    // A second descriptor keeps the file open and locked after the first is
    // closed, so that a failing close can still be rolled back.
    Descriptor keeper(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    if (!keeper.isOpen())
        return {failure(path, systemReason(errno))};

    auto rollBack = [&](const QString &reason) {
        QString message = failure(path, reason);
        if (regular && ::ftruncate(keeper.get(), oldLength) != 0) {
            message += QStringLiteral(" Its earlier length could not be restored: %1.")
                           .arg(systemReason(errno));
        }
        return ListFileReport{message};
    };

    const qsizetype written = writeBlock(file.get(), block);
    if (written < 0)
        return rollBack(systemReason(errno));
    if (written != block.size()) {
        // A write that stops short gives no reason; writing the rest once
        // more does, such as a full disk or the file-size limit.
        const qsizetype more = writeBlock(file.get(), block.sliced(written));
        if (more < 0) {
            return rollBack(QStringLiteral("only %1 of %2 bytes could be written (%3)")
                                .arg(written)
                                .arg(block.size())
                                .arg(systemReason(errno)));
        }
        if (written + more != block.size()) {
            return rollBack(QStringLiteral("only %1 of %2 bytes could be written")
                                .arg(written + more)
                                .arg(block.size()));
        }
    }

    if (regular && ::fsync(file.get()) != 0)
        return rollBack(systemReason(errno));
    if (const int error = file.close())
        return rollBack(systemReason(error));
    return {};
}
