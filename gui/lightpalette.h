// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPalette>

// The colours the windows were designed with: black text on the standard light
// button face, white fields. The windows keep them under a dark desktop theme,
// where the help window's pure red and blue would be unreadable.
QPalette lightFacePalette();
