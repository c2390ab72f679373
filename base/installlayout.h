// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/nativepath.h"

#include <QString>

// Where the programs find the roster and put the list file, given the folder
// that holds the program. Two layouts share one binary: the portable folder
// keeps everything beside the program; the system layout (bin/ beside share/)
// reads the roster from share/quillery/ and saves into the user's documents.

// Kordane.txt beside the program when it is there, otherwise
// ../share/quillery/Kordane.txt when that is there. With neither, the path
// beside the program, so that the failure to read it names the usual place.
QString rosterLocation(const QString &programDirectory);

// The folder for RandomNames.txt: the program's own when rosterPath lies beside
// the program and the list file is there or can be made there; otherwise the
// program's folder is not the user's to write (a system install, or a folder
// such as Program Files), and the user's documents folder is used, made here
// when it is missing. The error, when it cannot be made, names that folder.
CheckedPath listFileDirectory(const QString &programDirectory, const QString &rosterPath);

// The folder listFileDirectory gives, without making it: where the list file
// is read from before it is written.
QString listFileFolder(const QString &programDirectory, const QString &rosterPath);
