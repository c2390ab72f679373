// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

struct MainState;

inline constexpr QStringView ListFileSavedMessage = u"File RandomNames.txt Successfully Written!";

// The outcome of one save. A failed save leaves the file as it was.
struct ListFileReport {
    QString error; // empty when saved; otherwise the whole message, naming the path and the reason

    bool saved() const { return error.isEmpty(); }
};

// The list file's path in the given directory (the program's directory).
QString listFilePath(const QString &directory);

// One block of the list file: the header "start , end" with the two year texts
// as given, except that a line break in them is written as a blank, so the
// header is always one line; then one "Last,First" line per pick 1..NumNames,
// then two empty lines. Every line ends in CR LF; the text is UTF-8.
QByteArray listBlock(const QString &startText, const QString &endText, const MainState &state);

// Appends block to the file at path in one write, creating the file when it is
// missing, under an exclusive lock so that concurrent saves never interleave.
// A file whose last line has no line break, or whose end cannot be read, gets
// CR LF first, and one ending in a lone CR gets LF, so that the header never
// joins the user's last line. Ctrl+C and the like wait until the save is done.
// Reports success only once the data is written, flushed and the file closed;
// on any failure the file is left as it was, and a file this call made is
// removed. waiting is called once if another program's lock makes it wait.
// On POSIX, call with SIGXFSZ ignored, so that a file-size limit gives an
// error, not a crash.
[[nodiscard]] ListFileReport appendListBlock(const QString &path, QByteArrayView block,
                                             const std::function<void()> &waiting = {});
