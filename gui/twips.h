// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRect>

// The windows are laid out in twips: 15 make one pixel at 96 dpi, and Qt
// scales the pixels on high-dpi screens. Rounds to the nearest pixel.
constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

constexpr QSize twipsSize(int width, int height)
{
    return QSize(twipsToPixels(width), twipsToPixels(height));
}
