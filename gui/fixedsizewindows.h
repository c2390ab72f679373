// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Keeps every window of fixed size (minimum size equal to maximum size) out
// of the maximized state. Where the compositor leaves the title bar to the
// program, as on Wayland without server-side decorations, Qt 6.4 draws a
// maximize button whatever the window's flags say; a compositor that then
// maximizes a fixed-size window finds the window's size wrong and ends the
// program's connection. A window asked to maximize is given a fresh,
// unmaximized surface before the compositor's answer arrives; it stays open,
// and a modal one stays modal. Call it once, after the QApplication exists.
void keepFixedSizeWindowsUnmaximized();
