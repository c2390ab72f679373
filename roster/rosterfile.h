#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

struct MainState;

inline constexpr QStringView RosterFileName = u"Kordane.txt";
// Far more than 20001 players of any sane length; a larger file is refused
// rather than read into memory whole.
inline constexpr qint64 MaxRosterBytes = 64 * 1024 * 1024;

// What a roster load found. A roster that could not be loaded has an error and
// leaves nothing to generate from; skipped and ignored lines are warnings only.
struct RosterReport {
    QString error;               // empty when the roster loaded; from parseRoster a bare reason
    int skippedLines = 0;        // lines that hold no usable record
    QStringList skipDetails;     // the first few, as "Kordane.txt line 17: fewer than two commas"
    int ignoredFromLine = 0;     // > 0: lines from here on did not fit in the store

    bool loaded() const { return error.isEmpty(); }
    bool hasWarnings() const { return skippedLines > 0 || ignoredFromLine > 0; }
    // The warnings as one text, one sentence per line; empty when there are none.
    QString warningText() const;
};

// Turns the roster file's bytes into text: UTF-8 when the bytes are valid UTF-8,
// Windows-1252 otherwise. A leading UTF-8 byte-order mark is dropped either way.
QString decodeRosterText(QByteArrayView bytes);

// Fills the record store from the roster's bytes, in file order, and allocates
// the pools with NameCount+1 slots. fileName names the file in reports.
RosterReport parseRoster(QByteArrayView bytes, const QString &fileName, MainState &state);

// Reads the roster file at state.DataFilePath into the record store.
RosterReport LoadNameFile(MainState &state);
