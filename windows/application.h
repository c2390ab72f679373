// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QString>

struct CheckedPath;

// Makes the pictures built into the program available under ":/". Safe to call
// more than once.
void registerResources();

// Reads a picture built into the program, in the given format ("png", "gif").
// Naming the format spares Qt from asking every image plugin about the file.
QPixmap builtInPicture(const QString &path, const char *format);

// Sets what every window of the program shares, such as its icon.
void prepareApplication();

// Loads the main window from programDirectory and runs the program until the
// window closes. Returns the exit status: non-zero when the folder was refused
// or the roster could not be loaded, which has been reported, and no window was
// shown.
int runMainWindow(const CheckedPath &programDirectory);
