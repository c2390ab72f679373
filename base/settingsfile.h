// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The text of an INI settings file: "[group]" lines, "key=value" lines,
// comments (";" or "#" first) and blank lines, in UTF-8 with or without a
// byte-order mark, or in UTF-16 (little or big endian) after one, as Notepad
// saves "Unicode". Lines end in LF, CR LF or CR. Keys before any group belong
// to "General". A change rewrites one line and keeps every other byte, the
// encoding and the line breaks as they were.
class SettingsText
{
public:
    static SettingsText parse(QByteArrayView bytes);

    // The first line (from 1) that is none of the forms above, or that gives
    // a key of its group a second time; 0 when every line is understood.
    int unreadableLine() const { return m_unreadableLine; }
    // Why that line can't be read, as words that follow its number.
    QString unreadableReason() const { return m_unreadableReason; }

    struct Value {
        QString text; // trimmed
        int line = 0; // from 1; 0 when the key is not there
    };
    // The first key=value line of the key in the group.
    Value value(const QString &group, const QString &key) const;
    // Gives the key this value: its line is rewritten, or a line is added at
    // the end of the group, or the group is added at the end of the text.
    void setValue(const QString &group, const QString &key, const QString &text);

    // The whole text in the encoding it was read in.
    QByteArray bytes() const;

private:
    enum class Encoding { Utf8, Utf8WithMark, Utf16LittleEndian, Utf16BigEndian };
    struct Line {
        QString text;
        QString lineBreak; // empty for a last line without one
        QString group;     // the group the line belongs to
        QString key;       // for a key=value line; empty otherwise
    };

    QString newLineBreak() const;
    void markUnreadable(int line, const QString &reason);

    Encoding m_encoding = Encoding::Utf8;
    QList<Line> m_lines;
    int m_unreadableLine = 0;
    QString m_unreadableReason;
};

struct SettingsFileRead {
    enum Status {
        Missing, // no file yet
        Read,    // text holds it
        Refused, // not a regular file or not readable; reason says why
    };
    Status status = Missing;
    QString reason;
    SettingsText text;
};

// Reads the settings file at path. Only a regular file, or a link to one, is
// opened, and nothing is ever waited for.
SettingsFileRead readSettingsFile(const QString &path);

// Writes text to the settings file at path, making its folder when missing,
// so that a failure leaves the old file whole (see replaceFileContents).
// Returns why that failed, or an empty text.
QString writeSettingsFile(const QString &path, const SettingsText &text);
