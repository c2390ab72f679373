// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>

// The program's name: the caption of every message box, and its version.
inline constexpr QStringView ApplicationTitle = u"Quillery";
inline constexpr QStringView ApplicationVersion = u"1.00";

// The roster the programs read and the list file the window appends to.
inline constexpr QStringView RosterFileName = u"Kordane.txt";
inline constexpr QStringView ListFileName = u"RandomNames.txt";
