// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/nativepath.h"

#include "roster/rosterfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#ifndef Q_OS_WIN
#include <filesystem>
#include <system_error>
#endif

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
