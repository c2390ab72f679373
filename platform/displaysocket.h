// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// Whether a display server listens on the local socket at path: connects
// without waiting and closes again. Returns an empty text when the server is
// there (answering or busy), otherwise the system's reason ("No such file or
// directory", "Connection refused"). With abstractName the path is looked up
// in Linux's abstract socket namespace instead of the file system.
QString displaySocketRefusal(const QByteArray &path, bool abstractName = false);
