// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "builtinpictures.h"

#include <QImageReader>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResourcesOnce()
{
    Q_INIT_RESOURCE(quillery);
}

void registerResources()
{
    static const bool registered = (initResourcesOnce(), true);
    Q_UNUSED(registered);
}

QPixmap builtInPicture(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
