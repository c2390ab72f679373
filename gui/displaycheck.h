// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Why no display can be opened, checked before QApplication exists, where Qt
// would abort with a core dump. Follows Qt 6.4's choice of platforms: the
// list in QT_QPA_PLATFORM, or else Wayland (WAYLAND_DISPLAY or
// XDG_SESSION_TYPE=wayland) before X11 (DISPLAY). A platform fails when its
// plugin is missing from pluginDirectory (Qt's platforms folder) or its
// display's socket does not answer. Returns one line for the user naming
// what was tried and what to do; empty when some platform may open, or when
// Qt is to judge (a platform or plugin folder chosen some other way, a
// platform it does not know, a display on another host).
QString unopenableDisplays(const QString &pluginDirectory);

// Qt's platforms folder for this program.
QString platformPluginDirectory();
