// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Readies the heap for the few megabytes that loading a roster builds at
// start: the record store, the decoded text and the pools. Call it once, at
// the top of main, before any roster is loaded. Does nothing where the C
// library or the system offers no way to do it.
void prepareStartupHeap();
