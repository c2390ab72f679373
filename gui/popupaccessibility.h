// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Screen readers on Linux find a window through the application's accessible
// children, and Qt leaves popups out of them, so an open context menu is not
// there to read. Once this has run, the open popup is the application's last
// child, and a checkable menu entry reads the same on every opening of a menu
// made afresh each time, with its state and its status tip as description.
// Call it once, after the QApplication exists.
void exposePopupsToAccessibility();
