// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/platformfile.h"

#include "platform/nativepath.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

FileHandle::Native FileHandle::invalid()
{
    return INVALID_HANDLE_VALUE;
}

int FileHandle::close()
{
    return ::CloseHandle(release()) ? 0 : int(::GetLastError());
}

namespace {

// The whole file and any length it may grow to.
constexpr DWORD WholeRangeLow = MAXDWORD;
constexpr DWORD WholeRangeHigh = MAXDWORD;

QString lastError()
{
    return systemErrorText(int(::GetLastError()));
}

// Paths go to the system as UTF-16 in their extended form, so that any name
// the user can type works in folders of any depth, whatever the system's
// setting for long paths.
std::wstring nativePath(const QString &path)
{
    return extendedLengthPath(path).toStdWString();
}

// Why a file could not be opened for writing, in words where the system
// only says that access is denied.
QString openFailureReason(const std::wstring &path, DWORD error)
{
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return FolderNotFileReason;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            return ReadOnlyFileReason;
    }
    return systemErrorText(int(error));
}

// Opens path for appending. A program that has the file open and shares it
// with nobody, as spreadsheets do with the file they show, gets the same
// patience as one that holds a lock.
FileHandle openForAppend(const std::wstring &path, const std::function<void()> &waiting, bool &created, QString &reason)
{
    using platformdetail::LockTry;
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    bool timedOut = false;
    // Others may read and append while this one waits; nobody may delete or
    // rename the file while it is open here. Read access lets the append see
    // whether the file's last line has its line break.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    platformdetail::takeLockPatiently([&] {
        opened = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        error = ::GetLastError();
        // Where only writing is granted, as to a pipe's writing end, or shared,
        // by a program that shares writing but not reading, open for that alone.
        if (opened == INVALID_HANDLE_VALUE && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)) {
            opened = ::CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            error = ::GetLastError();
        }
        if (opened != INVALID_HANDLE_VALUE)
            return LockTry::Held;
        return error == ERROR_SHARING_VIOLATION ? LockTry::Busy : LockTry::Failed;
    }, waiting, timedOut);
    created = opened != INVALID_HANDLE_VALUE && error != ERROR_ALREADY_EXISTS;
    if (opened == INVALID_HANDLE_VALUE)
        reason = timedOut ? OpenElsewhereReason : openFailureReason(path, error);
    return FileHandle(opened);
}

// 0 when the lock is held; otherwise the error.
DWORD lockExclusive(HANDLE file, const std::function<void()> &waiting)
{
    using platformdetail::LockTry;
    DWORD error = 0;
    bool timedOut = false;
    const bool held = platformdetail::takeLockPatiently([&] {
        OVERLAPPED whole {};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, WholeRangeLow, WholeRangeHigh, &whole))
            return LockTry::Held;
        error = ::GetLastError();
        // A file system without locks has nobody to wait for.
        if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED)
            return LockTry::Held;
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? LockTry::Busy : LockTry::Failed;
    }, waiting, timedOut);
    return held ? 0 : timedOut ? DWORD(ERROR_LOCK_VIOLATION) : error;
}

// Removes the file that a failed append made, unless anybody else has it
// open or wrote to it meanwhile: opened for nobody else to share, it is
// deleted when closed.
void removeIfStillEmpty(const std::wstring &path)
{
    const FileHandle file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size {};
    if (!file.isOpen() || !::GetFileSizeEx(file.get(), &size) || size.QuadPart != 0)
        return;
    FILE_DISPOSITION_INFO disposition {TRUE};
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// The bytes written in one call, or -1 with the error in GetLastError().
qsizetype writeOnce(HANDLE file, QByteArrayView bytes)
{
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr))
        return -1;
    return qsizetype(written);
}

// The file's last bytes, as many as platformdetail::appendedAfter looks at;
// none when the handle may not read them. The file pointer is left at length
// either way.
QByteArray endOf(HANDLE file, LARGE_INTEGER length)
{
    QByteArray ending(qsizetype(std::min<LONGLONG>(length.QuadPart, platformdetail::EndingBytes)), Qt::Uninitialized);
    const quint64 from = quint64(length.QuadPart - ending.size());
    OVERLAPPED at {};
    at.Offset = DWORD(from & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(from >> 32);
    DWORD got = 0;
    const bool read = ending.isEmpty()
            || (::ReadFile(file, ending.data(), DWORD(ending.size()), &got, &at) && got == DWORD(ending.size()));
    ::SetFilePointerEx(file, length, nullptr, FILE_BEGIN);
    return read ? ending : QByteArray();
}

// Saves in progress hold this shared; the console's handler takes it
// exclusively, so it waits until none is left.
SRWLOCK savesInProgress = SRWLOCK_INIT;

// The system runs this on a thread of its own. Returning FALSE hands the
// event on, in the end to the default action, which ends the program.
BOOL WINAPI waitForSaves(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        ::AcquireSRWLockExclusive(&savesInProgress);
        ::ReleaseSRWLockExclusive(&savesInProgress);
    }
    return FALSE;
}

// Holds the console's Ctrl+C, Ctrl+Break and close events back while a block
// is written, flushed or rolled back: their default action ends the program
// at once, in the middle of the write, and the rollback would never come.
class ConsoleEventsWait {
public:
    ConsoleEventsWait()
    {
        [[maybe_unused]] static const bool installed = ::SetConsoleCtrlHandler(waitForSaves, TRUE);
        ::AcquireSRWLockShared(&savesInProgress);
    }
    ~ConsoleEventsWait() { ::ReleaseSRWLockShared(&savesInProgress); }
    ConsoleEventsWait(const ConsoleEventsWait &) = delete;
    ConsoleEventsWait &operator=(const ConsoleEventsWait &) = delete;
};

} // namespace

ReadResult readRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes)
{
    if (const QString device = reservedDeviceName(path); !device.isEmpty())
        return {ReadResult::Failed, deviceNameReason(device)};
    // Backup semantics open a folder too, so that it is named as one.
    const FileHandle file(::CreateFileW(nativePath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.isOpen()) {
        const DWORD code = ::GetLastError();
        const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        return {missing ? ReadResult::Missing : ReadResult::Failed, systemErrorText(int(code))};
    }

    BY_HANDLE_FILE_INFORMATION info {};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        return {ReadResult::Failed, NotRegularFileReason};
    if (!::GetFileInformationByHandle(file.get(), &info))
        return {ReadResult::Failed, lastError()};
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ReadResult::Failed, FolderNotFileReason};
    const qint64 size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    if (size > maxBytes)
        return {ReadResult::TooLarge, {}};

    return platformdetail::readToEnd(size, maxBytes, bytes, [&](char *into, qsizetype room, QString &reason) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), into, DWORD(room), &got, nullptr)) {
            reason = lastError();
            return qsizetype(-1);
        }
        return qsizetype(got);
    });
}

FileKind fileKindAt(const QString &path)
{
    if (const QString device = reservedDeviceName(path); !device.isEmpty())
        return {FileKind::Unusable, deviceNameReason(device)};
    const std::wstring native = nativePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {FileKind::Missing, {}};
        return {FileKind::Unusable, systemErrorText(int(error))};
    }
    DWORD attributes = data.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: what it leads to counts, found by attributes alone.
        const FileHandle file(::CreateFileW(native.c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info {};
        if (!file.isOpen()) {
            const DWORD error = ::GetLastError();
            return {FileKind::Unusable, error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                                                ? DanglingLinkReason : systemErrorText(int(error))};
        }
        if (::GetFileType(file.get()) != FILE_TYPE_DISK)
            return {FileKind::Unusable, NotRegularFileReason};
        if (!::GetFileInformationByHandle(file.get(), &info))
            return {FileKind::Unusable, lastError()};
        attributes = info.dwFileAttributes;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return {FileKind::Unusable, FolderNotFileReason};
    return {FileKind::Regular, {}};
}

QString replaceFileContents(const QString &path, QByteArrayView bytes)
{
    if (const QString device = reservedDeviceName(path); !device.isEmpty())
        return deviceNameReason(device);
    QString target = path;
    const FileKind kind = fileKindAt(path);
    if (kind.kind == FileKind::Unusable)
        return kind.reason;
    if (kind.kind == FileKind::Regular && QFileInfo(path).isSymLink())
        target = QFileInfo(path).canonicalFilePath();
    const std::wstring native = nativePath(target);
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return ReadOnlyFileReason;

    std::wstring temporary;
    FileHandle file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        temporary = nativePath(target + QStringLiteral(".new-%1-%2").arg(::GetCurrentProcessId()).arg(attempt));
        file = FileHandle(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.isOpen() && ::GetLastError() != ERROR_FILE_EXISTS)
            return lastError();
    }
    if (!file.isOpen())
        return systemErrorText(ERROR_FILE_EXISTS);
    auto giveUp = [&](const QString &reason) {
        file.close();
        ::DeleteFileW(temporary.c_str());
        return reason;
    };
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qsizetype written = writeOnce(file.get(), bytes.sliced(done));
        if (written <= 0)
            return giveUp(written < 0 ? lastError() : shortWriteReason(done, bytes.size(), {}));
        done += written;
    }
    if (!::FlushFileBuffers(file.get()))
        return giveUp(lastError());
    if (const int error = file.close())
        return giveUp(systemErrorText(error));
    if (!::MoveFileExW(temporary.c_str(), native.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return giveUp(lastError());
    return {};
}

AppendResult appendLocked(const QString &path, QByteArrayView block, const std::function<void()> &waiting)
{
    // The null device is the user's own choice, as /dev/null is on POSIX. It
    // is opened by its own name, so that no spelling of it, on any version of
    // Windows, makes a file called NUL instead.
    const bool nullDevice = namesNullDevice(path);
    const QString device = reservedDeviceName(path);
    if (!device.isEmpty() && !nullDevice)
        return {deviceNameReason(device), {}};
    // The wait for whoever has the file open and the wait for a lock are one
    // wait to the user.
    bool told = false;
    const std::function<void()> waitingOnce = [&] {
        if (!std::exchange(told, true) && waiting)
            waiting();
    };

    const std::wstring native = nullDevice ? std::wstring(L"\\\\.\\NUL") : nativePath(path);
    bool created = false;
    QString openFailure;
    FileHandle file = openForAppend(native, waitingOnce, created, openFailure);
    if (!file.isOpen())
        return {openFailure, {}};

    // The null device is a deliberate choice of the user; a pipe could block
    // the program or swallow the list, and any other device (CONOUT$, a port
    // behind a name of the system's own) would take it.
    const DWORD type = ::GetFileType(file.get());
    const bool regular = type == FILE_TYPE_DISK;
    if (!regular && !(nullDevice && type == FILE_TYPE_CHAR))
        return {NotRegularFileReason, {}};

    if (regular) {
        if (const DWORD error = lockExclusive(file.get(), waitingOnce)) {
            return {error == ERROR_LOCK_VIOLATION ? LockedByAnotherReason : systemErrorText(int(error)), {}};
        }
    }
    LARGE_INTEGER oldLength {};
    if (regular && (!::GetFileSizeEx(file.get(), &oldLength) || !::SetFilePointerEx(file.get(), oldLength, nullptr, FILE_BEGIN)))
        return {lastError(), {}};

    auto rollBack = [&](const QString &reason) {
        AppendResult result{reason, {}};
        if (!regular)
            return result;
        if (!::SetFilePointerEx(file.get(), oldLength, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get())) {
            result.restoreFailure = lastError();
        } else if (created && oldLength.QuadPart == 0) {
            file.close();
            removeIfStillEmpty(native);
        }
        return result;
    };

    // From here until the block is whole and flushed, or rolled back.
    const ConsoleEventsWait eventsWait;
    // Read under the lock, so that no other append ends the file meanwhile.
    const QByteArray bytes = regular ? platformdetail::appendedAfter(oldLength.QuadPart, endOf(file.get(), oldLength), block)
                                     : block.toByteArray();
    const qsizetype written = writeOnce(file.get(), bytes);
    if (written < 0)
        return rollBack(lastError());
    if (written != bytes.size()) {
        // A write that stops short gives no reason; writing the rest once
        // more does, such as a full disk.
        const qsizetype more = writeOnce(file.get(), QByteArrayView(bytes).sliced(written));
        if (more < 0)
            return rollBack(shortWriteReason(written, bytes.size(), lastError()));
        if (written + more != bytes.size())
            return rollBack(shortWriteReason(written + more, bytes.size(), {}));
    }

    if (regular && !::FlushFileBuffers(file.get()))
        return rollBack(lastError());
    // Closing gives up the lock with the handle. The block is on disk by
    // now, so a failing close is no failed append.
    file.close();
    return {};
}

bool reserveStandardDescriptors()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // The C runtime keeps its first three numbers for the standard streams,
    // so none needs reserving; a stream without a handle is closed. A
    // handle can also be there and take no writes (Wine gives one for a
    // closed descriptor): a write of nothing finds that out.
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const intptr_t runtimeOutput = _get_osfhandle(_fileno(stdout));
    if (!output || output == INVALID_HANDLE_VALUE || runtimeOutput == -1 || runtimeOutput == -2)
        return false;
    // A pipe is left alone: its reader would take a write of nothing for the
    // end of the input.
    if (::GetFileType(output) == FILE_TYPE_PIPE)
        return true;
    DWORD written = 0;
    return ::WriteFile(output, "", 0, &written, nullptr) || ::GetLastError() != ERROR_INVALID_HANDLE;
}

QString writeAndFlush(std::FILE *stream, const QByteArray &utf8, bool *readerGone)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring text = QString::fromUtf8(utf8).toStdWString();
        DWORD written = 0;
        if (!::WriteConsoleW(handle, text.data(), DWORD(text.size()), &written, nullptr))
            return lastError();
        return {};
    }
    errno = 0;
    ::SetLastError(0);
    const size_t written = std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
    const bool flushed = std::fflush(stream) == 0;
    const DWORD systemError = ::GetLastError();
    if (flushed && !std::ferror(stream) && written == size_t(utf8.size()))
        return {};
    // A pipe whose reader has gone: not every C runtime turns the system's
    // errors for it into EPIPE (Wine's gives EINVAL), so the system's own
    // error decides, and names it.
    const bool pipeGone = errno == EPIPE || systemError == ERROR_BROKEN_PIPE || systemError == ERROR_NO_DATA
            || systemError == ERROR_PIPE_NOT_CONNECTED;
    if (readerGone)
        *readerGone = pipeGone;
    if (pipeGone && systemError != 0)
        return systemErrorText(int(systemError));
    return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("write error");
}

bool isSameFile(const QString &first, const QString &second)
{
    // Attributes alone need no right to read the file; backup semantics open
    // a folder too.
    auto identify = [](const QString &path, BY_HANDLE_FILE_INFORMATION &info) {
        const FileHandle file(::CreateFileW(nativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file.isOpen() && ::GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION one {};
    BY_HANDLE_FILE_INFORMATION other {};
    return identify(first, one) && identify(second, other) && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber
            && one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

QString platformdetail::makeOneFolder(const QString &path)
{
    const std::wstring native = nativePath(path);
    if (::CreateDirectoryW(native.c_str(), nullptr))
        return {};
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? QString() : FileNotFolderReason;
    return systemErrorText(int(error));
}

TerminalOutput connectStandardOutput(bool outputOpen)
{
    if (outputOpen)
        return TerminalOutput::Ready;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return TerminalOutput::NoTerminal;
    return std::freopen("CONOUT$", "w", stdout) && std::freopen("CONOUT$", "w", stderr) ? TerminalOutput::Ready
                                                                                        : TerminalOutput::NoTerminal;
}
