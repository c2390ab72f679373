// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/lightpalette.h"

QPalette lightFacePalette()
{
    const QColor face(240, 240, 240);
    const QColor shadow(160, 160, 160);
    const QColor greyText(109, 109, 109);

    // Every role is set here, so none follows a later desktop theme change.
    QPalette palette(Qt::black, face, Qt::white, shadow, shadow, Qt::black, Qt::white, Qt::white, face);
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, greyText);
    palette.setColor(QPalette::Link, Qt::blue);
    palette.setColor(QPalette::LinkVisited, Qt::magenta);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, greyText);
    return palette;
}
