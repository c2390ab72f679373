// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

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

// The program's folder from its native name.
CheckedPath programDirectoryFrom(QByteArrayView nativeFolder);

// The folder that holds the running program.
CheckedPath programDirectory();

// path taken from the current folder when it is relative.
CheckedPath absoluteFromCurrentFolder(const QString &path);
