// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>
#include <QString>

// Makes the pictures built into the program available under ":/". Safe to call
// more than once.
void registerResources();

// Reads a picture built into the program, in the given format ("png", "gif").
// Naming the format spares Qt from asking every image plugin about the file.
QPixmap builtInPicture(const QString &path, const char *format);
