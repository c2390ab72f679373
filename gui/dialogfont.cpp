// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/dialogfont.h"

#include <QFont>
#include <QStringList>

void addDialogFontSubstitutes()
{
    // Without this the system's own choice is often a wide face, and the
    // longest help steps lose their last words. Faces of Arial's metrics are
    // no good either: they are taller, and the two-line count label no longer
    // fits. The set-up installs DejaVu Sans Condensed, so every machine that
    // lacks the original face ends up with the same one.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("DejaVu Sans Condensed")});
}
