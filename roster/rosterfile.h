// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

struct MainState;

// Far more than 32767 players of any sane length; a larger file is refused
// rather than read into memory whole.
inline constexpr qint64 MaxRosterBytes = 64 * 1024 * 1024;
// A longer line is no player: it is skipped and reported. This bounds every
// name, and so every list, to a size the window can lay out at once. Counted
// in characters, a surrogate pair being one.
inline constexpr qsizetype MaxRosterLineLength = 1000;

// What a roster load found. A roster that could not be loaded has an error and
// leaves nothing to generate from; skipped and ignored lines are warnings only.
struct RosterReport {
    QString error;               // empty when the roster loaded; from parseRoster a bare reason
    int skippedLines = 0;        // lines that hold no usable record
    QStringList skipDetails;     // the first few, as "Kordane.txt line 17: fewer than two commas"
    int unreachableYears = 0;    // players kept whose year no period can reach
    QStringList unreachableDetails; // the first few, as "Kordane.txt line 4: year 1850 lies before 1871"
    int ignoredFromLine = 0;     // > 0: lines from here on did not fit in the store
    QString encodingWarning;     // set when the file mixed UTF-8 with other bytes and was read as Windows-1252, or was broken UTF-16

    bool loaded() const { return error.isEmpty(); }
    bool hasWarnings() const
    {
        return skippedLines > 0 || unreachableYears > 0 || ignoredFromLine > 0 || !encodingWarning.isEmpty();
    }
    // The warnings as one text, one sentence per line; empty when there are none.
    QString warningText() const;
};

enum class RosterEncoding { Utf8, Utf16, Windows1252 };

struct DecodedRoster {
    QString text;
    RosterEncoding encoding = RosterEncoding::Utf8;
    qsizetype firstInvalidByte = -1; // Windows1252: offset of the first byte that is not UTF-8
    bool mixesUtf8 = false;          // Windows1252: some well-formed multi-byte UTF-8 stands in it too
    qsizetype firstInvalidUnit = -1; // Utf16: index in text of the first U+FFFD that stands for broken input
    bool hasNul = false;             // the text holds U+0000, so it is no text roster
};

// Turns the roster file's bytes into text: UTF-16 (little or big endian) after
// its byte-order mark, with U+FFFD for each unpaired surrogate and a lone last
// byte, else UTF-8 when the bytes are valid UTF-8, else Windows-1252. A leading
// UTF-8 byte-order mark is dropped either way, and counts as UTF-8 for
// mixesUtf8.
DecodedRoster decodeRoster(QByteArrayView bytes);
QString decodeRosterText(QByteArrayView bytes);

// The line, from 1, that holds the byte at offset; CR LF, LF and a lone CR
// each end a line.
int lineOfByte(QByteArrayView bytes, qsizetype offset);

// Fills the record store from the roster's bytes, in file order, and allocates
// the pools with NameCount+1 slots. fileName names the file in reports. Only
// the slots below the old NameCount are cleared: every other slot must still
// be empty, as parseRoster leaves it.
RosterReport parseRoster(QByteArrayView bytes, const QString &fileName, MainState &state);

// Reads the roster file at state.DataFilePath into the record store.
RosterReport LoadNameFile(MainState &state);
