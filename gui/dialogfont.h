// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The windows are laid out for "MS Sans Serif". Where that face is missing,
// prefer faces of about its width, so that every caption still fits its
// control. Safe to call more than once.
void addDialogFontSubstitutes();
