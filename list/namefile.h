// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "generate/allowednames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Which lines of a name file give names.
enum class NameFileForms {
    ListFile, // the "Last,First" lines of the list file's blocks only
    Any,      // also the command's csv, json and text output, and plain "First Last" lines
};

// The names a name file lists, in file order, repeats included. A line that
// splits into first and last name in more than one way ("Mary Ann Lee") gives
// every split, as each of them shows as the same text. Lines that hold no name
// are passed over.
struct NameList {
    std::vector<Utf8Name> names; // views into the bytes parsed, or into decoded
    std::deque<QByteArray> decoded; // text the reader made: unquoted and unescaped names, a file that was not UTF-8
    QString error; // why the bytes are not text; names is empty then
};

using NameSink = std::function<void(const Utf8Name &)>;

// Gives each name in a name file's bytes to sink, in file order. The bytes
// are UTF-8, with or without a byte-order mark, or UTF-16 after its mark, or
// else Windows-1252; lines end in CR LF, LF or CR. A name points into the
// bytes or into decoded, where the text the reader makes is kept. Returns why
// the bytes are not text (they hold a NUL), or an empty text.
QString readNames(QByteArrayView bytes, NameFileForms forms, std::deque<QByteArray> &decoded, const NameSink &sink);

// The names in a name file's bytes, which must outlive the result.
NameList parseNameFile(QByteArrayView bytes, NameFileForms forms);

// Reads the file at path into bytes: a regular file of at most MaxRosterBytes;
// anything else is refused without waiting on it. A missing file holds no
// bytes when missingIsEmpty, and is an error otherwise. Returns the whole
// message, naming the file by its role (what, as in "the list file") and the
// reason, or an empty text.
QString readNameFileBytes(const QString &path, bool missingIsEmpty, QStringView what, QByteArray &bytes);

// Reads the name file at path and adds its names to taken; returns the
// message, as readNameFileBytes does, or an empty text.
QString addNameFile(const QString &path, NameFileForms forms, bool missingIsEmpty, QStringView what, TakenNames &taken);

// The names a list file holds, as taken names of the pools. The file is read
// whole on every update, but while it only grows at its end, as saving makes
// it, only what was added since the last update is parsed.
class ListFileNames
{
public:
    // Reads the list file at path, for the names of names. Returns the whole
    // message when it cannot be read; a missing file holds no names.
    QString update(const QString &path, const AllowedNames &names);
    // The names of the last update that succeeded.
    const TakenNames *taken() const { return m_taken ? &*m_taken : nullptr; }

private:
    QByteArray m_bytes; // the file at the last update, when it was UTF-8
    QString m_path;
    quint64 m_namesSerial = 0;
    std::optional<TakenNames> m_taken;
};
