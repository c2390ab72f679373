// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <functional>

// The few file operations whose system calls differ between POSIX and
// Windows. One implementation per system; everything above this layer is
// the same everywhere. Reasons are words for a message: the system's own
// text for its errors, else one of the fixed texts below.

// Owns one open file of the system and closes it on every path out.
class FileHandle {
public:
#if defined(Q_OS_WIN)
    using Native = void *; // a HANDLE
#else
    using Native = int; // a descriptor
#endif

    FileHandle() = default;
    explicit FileHandle(Native native) : m_native(native) { }
    ~FileHandle();
    FileHandle(FileHandle &&other) noexcept : m_native(other.release()) { }
    FileHandle &operator=(FileHandle &&other) noexcept;
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    static Native invalid();
    bool isOpen() const { return m_native != invalid(); }
    Native get() const { return m_native; }
    Native release();
    // Closes now; returns 0 or the system's error code.
    int close();

private:
    Native m_native = invalid();
};

// The system's text for one of its error codes (errno, or GetLastError()).
QString systemErrorText(int code);

inline const QString FolderNotFileReason = QStringLiteral("it is a folder, not a file");
inline const QString NotRegularFileReason = QStringLiteral("it is not a regular file");
inline const QString LockedByAnotherReason = QStringLiteral("another program keeps it locked");
inline const QString FileNotFolderReason = QStringLiteral("it is a file, not a folder");
inline const QString ReadOnlyFileReason = QStringLiteral("it is read-only");
inline const QString OpenElsewhereReason =
        QStringLiteral("another program has it open; closing it there lets the save go through");

// Why a name that Windows keeps for a device is refused.
QString deviceNameReason(const QString &name);

struct ReadResult {
    enum Status { Read, Failed, Missing, TooLarge };
    Status status = Read;
    QString reason; // with Failed, and with Missing: nothing by that name, or no folder above it
};

// Reads the whole file at path into bytes. Anything but a regular file is
// refused, judged on the open file, and nothing is ever waited for: a path
// checked first and opened afterwards can become a pipe in between, and
// reading a pipe may wait for ever. A file of more than maxBytes is refused
// without being read whole.
ReadResult readRegularFile(const QString &path, qint64 maxBytes, QByteArray &bytes);

inline const QString DanglingLinkReason = QStringLiteral("it is a link to a file that does not exist");

struct FileKind {
    enum Kind { Missing, Regular, Unusable };
    Kind kind = Missing;
    QString reason; // with Unusable: why it can't serve as a file
};

// What path names, following links, judged without opening it: a regular
// file; nothing at all; or anything else (a folder, a pipe, a device, a
// dangling link, a loop of links), which no file operation should touch.
FileKind fileKindAt(const QString &path);

// Replaces the whole content of the regular file at path with bytes, or
// makes the file; its folder must exist. The bytes go to a new file beside it
// first, which then takes its place, so that a failure at any point leaves the
// old file whole. Through a link, the file it leads to is replaced and the
// link stays. Anything but a regular file is refused, and so is a read-only
// file. Returns why that failed, or an empty text.
QString replaceFileContents(const QString &path, QByteArrayView bytes);

struct AppendResult {
    QString reason;         // why the block is not in the file; empty when it is
    QString restoreFailure; // why the file could not be put back as it was, if it could not

    bool appended() const { return reason.isEmpty(); }
};

// Appends block to the file at path in one write, creating the file when it
// is missing, under an exclusive lock so that concurrent appends never
// interleave. Succeeds only once the data is written, flushed to disk and the
// file closed. On any failure the file is cut back to its old length, and a
// file made by this call is removed again. The bytes that appendedAfter puts
// before the block go in the same write, so that the block starts on a line
// of its own. From the write until the block is synced or rolled back, the
// signals that end a program from a terminal or at shutdown (SIGTERM, SIGINT,
// SIGHUP), and on Windows the console's Ctrl+C, Ctrl+Break and close events,
// wait, and take effect afterwards. A character device such as the null device is written
// without lock or flush; pipes and the like are refused, and so are names that
// Windows keeps for devices, except the null device NUL itself. waiting, when
// given, is called once before the first wait for a lock that another program
// holds, or on Windows for a program that has the file open and shares it
// with nobody; the wait ends after LockPatienceMilliseconds.
// On POSIX, call with SIGXFSZ ignored, so that a file-size limit gives an
// error instead of ending the program.
AppendResult appendLocked(const QString &path, QByteArrayView block, const std::function<void()> &waiting = {});

// How long an append waits for another program's lock. That program holds it
// for one append only, so a longer wait means it is stuck.
inline constexpr int LockPatienceMilliseconds = 5000;

// The reason for a write that stopped after written of total bytes; cause is
// the system's reason found by writing the rest once more, if it gave one.
QString shortWriteReason(qsizetype written, qsizetype total, const QString &cause);

// Opens the null device on each standard descriptor (input, output, error)
// that was closed when the program started, so that no file opened later
// takes its number and receives what was meant for the terminal; on Windows,
// sets standard output and error to binary, so that no CR is ever put before
// an LF. Call first thing in main, before anything opens a file. Returns
// false when standard output was closed.
[[nodiscard]] bool reserveStandardDescriptors();

// Writes UTF-8 text to stream and flushes it. A Windows console gets it as
// UTF-16, so that every name shows whatever the console's code page; anything
// else gets the bytes. Returns why that failed, or an empty text; readerGone,
// when given, says whether it failed because the pipe's reader closed it.
// Call with SIGPIPE ignored on POSIX, so that a closed pipe gives an error
// instead of ending the program.
QString writeAndFlush(std::FILE *stream, const QByteArray &utf8, bool *readerGone = nullptr);

// Whether the two paths name one and the same existing file, whatever links
// or spellings lead to it: the same device and inode on POSIX, the same volume
// and file index on Windows.
bool isSameFile(const QString &first, const QString &second);

// Makes the folder at path and every missing folder above it. Returns why
// that failed, or an empty text; an existing folder is no failure.
QString makeFolder(const QString &path);

enum class TerminalOutput { Ready, Closed, NoTerminal };

// Where a window program's text for the terminal can go; outputOpen is what
// reserveStandardDescriptors said. A Windows program with windows starts
// without standard streams unless they were redirected: it borrows the
// console it was started from, and NoTerminal means there is none, as when
// started from a shortcut or Explorer.
TerminalOutput connectStandardOutput(bool outputOpen);

// What the two implementations share: the loops around their system calls.
namespace platformdetail {

enum class LockTry { Held, Busy, Failed };

// Tries to take a lock until tryOnce holds it or fails, waiting between tries
// while another program holds it, for LockPatienceMilliseconds at most.
// waiting is called once, before the first wait. Returns true when held; on
// false, timedOut says whether the patience ran out.
bool takeLockPatiently(const std::function<LockTry()> &tryOnce, const std::function<void()> &waiting, bool &timedOut);

// Reads a file of the given size to its end into bytes; a file that grows
// meanwhile is read on, up to maxBytes. readSome reads into the room given
// and returns the bytes read, 0 at the end, or -1 with the reason set.
ReadResult readToEnd(qint64 size, qint64 maxBytes, QByteArray &bytes,
                     const std::function<qsizetype(char *, qsizetype, QString &)> &readSome);

// How many of a file's last bytes appendedAfter looks at: a UTF-8 byte-order
// mark's worth.
inline constexpr qint64 EndingBytes = 3;

// The bytes an append writes after a regular file of length bytes that ends
// in ending: its last min(length, EndingBytes) bytes, or none when they could
// not be read. The block starts on a line of its own: after CR LF when the
// last line has no line break or its end is unknown, after LF when it ends in
// a lone CR, and as it is after a line break, in an empty file and in one that
// holds only a byte-order mark.
QByteArray appendedAfter(qint64 length, QByteArrayView ending, QByteArrayView block);

// Makes the one folder at path, whose parent exists. Returns why that
// failed, or an empty text.
QString makeOneFolder(const QString &path);

} // namespace platformdetail

