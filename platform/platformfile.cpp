// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/platformfile.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

FileHandle::~FileHandle()
{
    if (isOpen())
        close();
}

FileHandle &FileHandle::operator=(FileHandle &&other) noexcept
{
    if (this != &other) {
        if (isOpen())
            close();
        m_native = other.release();
    }
    return *this;
}

FileHandle::Native FileHandle::release()
{
    return std::exchange(m_native, invalid());
}

QString systemErrorText(int code)
{
    QString text = qt_error_string(code);
    // Windows' texts end in a full stop; the messages that quote them add their own.
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString deviceNameReason(const QString &name)
{
    return QStringLiteral("Windows keeps the name %1 for a device; choose another name").arg(name);
}

QString shortWriteReason(qsizetype written, qsizetype total, const QString &cause)
{
    if (cause.isEmpty())
        return QStringLiteral("only %1 of %2 bytes could be written").arg(QString::number(written), QString::number(total));
    return QStringLiteral("only %1 of %2 bytes could be written (%3)")
            .arg(QString::number(written), QString::number(total), cause);
}

QString makeFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (folder.isDir())
        return {};
    if (folder.exists())
        return FileNotFolderReason;
    const QString parent = folder.absolutePath();
    if (parent != folder.absoluteFilePath() && !QFileInfo::exists(parent)) {
        if (QString reason = makeFolder(parent); !reason.isEmpty())
            return reason;
    }
    return platformdetail::makeOneFolder(folder.absoluteFilePath());
}

namespace platformdetail {

QByteArray appendedAfter(qint64 length, QByteArrayView ending, QByteArrayView block)
{
    const bool endKnown = ending.size() == std::min(length, EndingBytes);
    if (length == 0 || (endKnown && (ending.endsWith('\n') || (length == EndingBytes && ending == "\xEF\xBB\xBF"))))
        return block.toByteArray();
    // A reader that splits on CR LF takes a lone CR for no line end at all.
    if (endKnown && ending.endsWith('\r'))
        return "\n" + block.toByteArray();
    return "\r\n" + block.toByteArray();
}

bool takeLockPatiently(const std::function<LockTry()> &tryOnce, const std::function<void()> &waiting, bool &timedOut)
{
    constexpr auto Retry = std::chrono::milliseconds(10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(LockPatienceMilliseconds);
    timedOut = false;
    for (bool waited = false;; waited = true) {
        switch (tryOnce()) {
        case LockTry::Held:
            return true;
        case LockTry::Failed:
            return false;
        case LockTry::Busy:
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            timedOut = true;
            return false;
        }
        if (!waited && waiting)
            waiting();
        std::this_thread::sleep_for(Retry);
    }
}

ReadResult readToEnd(qint64 size, qint64 maxBytes, QByteArray &bytes,
                     const std::function<qsizetype(char *, qsizetype, QString &)> &readSome)
{
    // One byte more than the file holds shows at once whether it grew.
    qsizetype capacity = qsizetype(size) + 1;
    bytes = QByteArray(capacity, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == capacity) {
            if (capacity > maxBytes)
                return {ReadResult::TooLarge, {}};
            capacity = qsizetype(std::min<qint64>(qint64(capacity) * 2, maxBytes + 1));
            bytes.resize(capacity);
        }
        QString reason;
        const qsizetype got = readSome(bytes.data() + filled, capacity - filled, reason);
        if (got < 0)
            return {ReadResult::Failed, reason};
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return {};
}

} // namespace platformdetail

