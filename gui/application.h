// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "generate/allowednames.h"

#include <QString>

struct CheckedPath;

// Sets what every window of the program shares, such as its icon.
void prepareApplication();

// The user's settings file, Quillery.ini in the user's configuration folder
// (an INI file on Windows too, so that the program leaves the registry alone).
QString userSettingsFile();

// Loads the main window from programDirectory and runs the program until the
// window closes; startRules are turned on over the remembered choices.
// Returns the exit status: non-zero when the folder was refused or the roster
// could not be loaded, which has been reported, and no window was shown.
int runMainWindow(const CheckedPath &programDirectory, NameRules startRules = {});
