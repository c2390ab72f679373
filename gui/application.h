// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

struct CheckedPath;

// Sets what every window of the program shares, such as its icon.
void prepareApplication();

// Loads the main window from programDirectory and runs the program until the
// window closes. Returns the exit status: non-zero when the folder was refused
// or the roster could not be loaded, which has been reported, and no window was
// shown.
int runMainWindow(const CheckedPath &programDirectory);
