// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

// Opens the null device on each standard descriptor (input, output, error)
// that was closed when the program started, so that no file opened later
// takes its number and receives what was meant for the terminal. Call first
// thing in main, before anything opens a file. Returns false when standard
// output was closed.
[[nodiscard]] bool reserveStandardDescriptors();

// Writes bytes to stream and flushes it. Returns why that failed, or an empty
// text.
QString writeAndFlush(FILE *stream, const QByteArray &bytes);
