// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A path the program is about to use, or why it must not. A name whose bytes
// do not decode without loss would open another file, and a relative path
// whose base folder is gone would be taken from the root folder; both are
// refused rather than replaced.
struct CheckedPath {
    QString path;  // absolute; empty when refused
    QString error; // empty when the path can be used; otherwise a whole sentence naming it

    bool ok() const { return error.isEmpty(); }
};

// The offset of the first byte that does not belong to a well-formed UTF-8
// sequence (overlong forms, surrogates and values above U+10FFFF included),
// or -1 when there is none.
qsizetype firstInvalidUtf8(QByteArrayView bytes);

// Whether native bytes come back unchanged through QFile::decodeName and
// QFile::encodeName.
bool decodesWithoutLoss(QByteArrayView native);

// The bytes for a message: what is valid UTF-8 as it stands, every other byte
// as \xNN.
QString printableName(QByteArrayView native);

// A control character, with which a text could move a terminal's cursor, set
// its title or clear its screen, or a direction embedding, override or
// isolate, which makes a text display as another.
constexpr bool isControlOrDirection(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// text for a message: each control character and text-direction control
// shown as "<U+202E>", so that none acts on the terminal or moves the text of
// the message around.
QString withVisibleControls(QStringView text);

// The program's folder from its native name.
CheckedPath programDirectoryFrom(QByteArrayView nativeFolder);

// The folder that holds the running program.
CheckedPath programDirectory();

// path taken from the current folder when it is relative.
CheckedPath absoluteFromCurrentFolder(const QString &path);

// The final name of path when Windows keeps it for a device (CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, in any case, with or without an extension,
// a trailing colon or trailing blanks, also after the drive of C:COM1 and
// behind \\?\); otherwise an empty text. Such a name opens the device in any
// folder, or, behind \\?\, makes a file by that name that few programs can
// remove again, so a file by that name would never be written.
QString reservedDeviceName(const QString &path);

// Whether Windows reads path as the null device itself: the bare name NUL, in
// any case and followed by nothing but dots, blanks or a colon, in any local
// folder or after a drive, or \\?\NUL and \\.\NUL. A NUL on a share or after
// a longer \\?\ path would be a file.
bool namesNullDevice(const QString &path);

// An absolute path in Windows' extended form, \\?\C:\... or \\?\UNC\server\...,
// which is not held to 260 characters. The system does no more clean-up on
// such a path, so that is done here: separators, "." and "..", and the dots
// and blanks that Windows drops from the end of a name. Relative paths,
// device paths (\\.\, \\?\) and device names are returned with native
// separators only.
QString extendedLengthPath(const QString &path);
