// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/nativepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

#ifndef Q_OS_WIN
#include <filesystem>
#include <system_error>
#endif

qsizetype firstInvalidUtf8(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const unsigned lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        qsizetype length;
        char32_t value;
        char32_t smallest;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, value = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, value = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, value = lead & 0x07, smallest = 0x10000;
        } else {
            return i;
        }
        if (size - i < length)
            return i;
        for (qsizetype k = 1; k < length; ++k) {
            if ((data[i + k] & 0xC0) != 0x80)
                return i;
            value = value << 6 | (data[i + k] & 0x3F);
        }
        if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return i;
        i += length;
    }
    return -1;
}

bool decodesWithoutLoss(QByteArrayView native)
{
    return QFile::encodeName(QFile::decodeName(native.toByteArray())) == native;
}

QString printableName(QByteArrayView native)
{
    QString printable;
    for (;;) {
        const qsizetype bad = firstInvalidUtf8(native);
        if (bad < 0)
            return printable + QString::fromUtf8(native);
        printable += QString::fromUtf8(native.first(bad)) + QStringLiteral("\\x")
                + QString::number(uchar(native[bad]), 16).toUpper().rightJustified(2, u'0');
        native = native.sliced(bad + 1);
    }
}

QString withVisibleControls(QStringView text)
{
    QString visible;
    for (QChar c : text) {
        const char16_t code = c.unicode();
        if (isControlOrDirection(code))
            visible += QStringLiteral("<U+%1>").arg(unsigned(code), 4, 16, QChar(u'0')).toUpper();
        else
            visible += c;
    }
    return visible;
}

CheckedPath programDirectoryFrom(QByteArrayView nativeFolder)
{
    if (decodesWithoutLoss(nativeFolder))
        return {QFile::decodeName(nativeFolder.toByteArray()), {}};
    return {{}, QStringLiteral("Cannot use the program's folder %1: its name is not valid UTF-8, so the roster and "
                               "the list file could not be found in it. Move the program to a folder whose name is.")
                        .arg(printableName(nativeFolder))};
}

CheckedPath programDirectory()
{
#ifndef Q_OS_WIN
    // Qt's own answer has already lost what did not decode, and with it the
    // folder: ask the system for the bytes.
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = program.parent_path();
        return programDirectoryFrom(QByteArrayView(folder.native().data(), qsizetype(folder.native().size())));
    }
#endif
    return {QCoreApplication::applicationDirPath(), {}};
}

CheckedPath absoluteFromCurrentFolder(const QString &path)
{
    if (QDir::isAbsolutePath(path))
        return {path, {}};
#ifndef Q_OS_WIN
    // Qt takes a current folder it cannot name as the root folder.
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    const QString refused = QStringLiteral("Cannot use the relative path %1: %2. Give its full path.");
    if (error == std::errc::no_such_file_or_directory)
        return {{}, refused.arg(path, QStringLiteral("the current folder no longer exists"))};
    if (error)
        return {{}, refused.arg(path, QStringLiteral("the current folder cannot be found (%1)")
                                              .arg(QString::fromLocal8Bit(error.message())))};
    const std::string &native = current.native();
    const QByteArrayView folder(native.data(), qsizetype(native.size()));
    if (!decodesWithoutLoss(folder)) {
        return {{}, refused.arg(path, QStringLiteral("the name of the current folder, %1, is not valid UTF-8")
                                              .arg(printableName(folder)))};
    }
    return {QDir(QFile::decodeName(folder.toByteArray())).absoluteFilePath(path), {}};
#else
    return {QDir::current().absoluteFilePath(path), {}};
#endif
}

namespace {

// The parts of a path with \ separators after the clean-up Windows gives a
// path it is not asked to take literally: "." goes, ".." takes the part before
// it (never one of the first rootParts), a part before a separator loses one
// trailing dot, and the last part loses every trailing dot and blank.
QStringList cleanedParts(const QString &native, qsizetype rootParts)
{
    const QStringList parts = native.split(u'\\', Qt::SkipEmptyParts);
    QStringList kept = parts.first(std::min(rootParts, parts.size()));
    for (const QString &part : parts.sliced(kept.size())) {
        if (part == u"..") {
            if (kept.size() > rootParts)
                kept.removeLast();
        } else if (part != u".") {
            kept.append(part);
        }
    }
    for (qsizetype i = rootParts; i + 1 < kept.size(); ++i) {
        if (kept[i].endsWith(u'.') && !kept[i].endsWith(u".."))
            kept[i].chop(1);
    }
    if (kept.size() > rootParts) {
        QString &last = kept.last();
        while (last.endsWith(u'.') || last.endsWith(u' '))
            last.chop(1);
        if (last.isEmpty())
            kept.removeLast();
    }
    return kept;
}

// \\?\ and \\.\ paths go to the system's own names as they stand: a
// device there is a name of its own (\\.\NUL), and any longer path names a
// file, even one called NUL.
bool isDeviceNamespacePath(const QString &native)
{
    return native.startsWith(u"\\\\?\\") || native.startsWith(u"\\\\.\\");
}

// The stem Windows compares with its device names: the name up to its first
// dot or colon, less the blanks before that ("com1 .txt", "NUL:").
bool isDeviceStem(QStringView name)
{
    qsizetype end = 0;
    while (end < name.size() && name[end] != u'.' && name[end] != u':')
        ++end;
    QStringView stem = name.left(end);
    while (stem.endsWith(u' '))
        stem.chop(1);
    if (stem.size() == 3) {
        for (const QStringView bare : {u"CON", u"PRN", u"AUX", u"NUL"}) {
            if (stem.compare(bare, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    // COM and LPT take the digits 1 to 9 and the superscripts ¹ ² ³.
    return stem.size() == 4
            && (stem.startsWith(u"COM", Qt::CaseInsensitive) || stem.startsWith(u"LPT", Qt::CaseInsensitive))
            && QStringView(u"123456789\u00b9\u00b2\u00b3").contains(stem[3]);
}

// The final name as Windows reads it for devices, as the user wrote it unless
// the clean-up took that part away: after the last separator, or after the
// drive of a drive-relative path (C:COM1).
QString finalName(const QString &native)
{
    const auto withoutDrive = [](QString name, bool first) {
        if (first && name.size() >= 2 && name[0].isLetter() && name[1] == u':')
            name.remove(0, 2);
        return name;
    };
    const qsizetype separator = native.lastIndexOf(u'\\');
    const QString written = withoutDrive(native.mid(separator + 1), separator < 0);
    if (isDeviceNamespacePath(native))
        return written;
    const QStringList parts = cleanedParts(native, 0);
    if (parts.isEmpty())
        return {};
    const QString cleaned = withoutDrive(parts.last(), parts.size() == 1);
    return written.startsWith(cleaned) ? written : cleaned;
}

} // namespace

QString reservedDeviceName(const QString &path)
{
    // Judged on the name Windows opens: C:\a\CON\. opens CON too.
    QString native = path;
    native.replace(u'/', u'\\');
    const QString name = finalName(native);
    return isDeviceStem(name) ? name : QString();
}

bool namesNullDevice(const QString &path)
{
    QString native = path;
    native.replace(u'/', u'\\');
    if (isDeviceNamespacePath(native))
        return native.mid(4).compare(u"NUL", Qt::CaseInsensitive) == 0;
    // A share's server decides for itself what a name there is.
    if (native.startsWith(u"\\\\"))
        return false;
    QString name = finalName(native);
    while (name.endsWith(u'.') || name.endsWith(u' ') || name.endsWith(u':'))
        name.chop(1);
    return name.compare(u"NUL", Qt::CaseInsensitive) == 0;
}

QString extendedLengthPath(const QString &path)
{
    QString native = path;
    native.replace(u'/', u'\\');
    const bool unc = native.startsWith(u"\\\\");
    const bool drive = native.size() >= 3 && native[0].isLetter() && native[1] == u':' && native[2] == u'\\';
    if (native.startsWith(u"\\\\.\\") || native.startsWith(u"\\\\?\\") || (!unc && !drive)
        || !reservedDeviceName(native).isEmpty())
        return native;
    // The root stays: the drive, or the server and its share.
    const qsizetype rootParts = unc ? 2 : 1;
    if (native.split(u'\\', Qt::SkipEmptyParts).size() < rootParts)
        return native;
    const QStringList kept = cleanedParts(native, rootParts);
    const QString joined = kept.join(u'\\') + (kept.size() == rootParts ? QStringLiteral("\\") : QString());
    return (unc ? QStringLiteral("\\\\?\\UNC\\") : QStringLiteral("\\\\?\\")) + joined;
}
