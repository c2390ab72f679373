#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's pictures: the baseball of the main window and the icon.

Writes baseball.gif (176 x 156), quillery-icon.png (16 x 16, 8-bit palette)
and quillery.ico (16 x 16, 256 colours) beside this script, and the program
icon for menus and docks as icons/quillery-N.png (N x N, RGBA) at every size
in ICON_SIZES, using the standard library only, so the same files come out on every machine. The build
uses the committed files; run this only to change the pictures.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

BACKGROUND = (239, 239, 239)  # the window's own face colour, for the soft edges
WHITE = (250, 248, 240)
SHADE = (178, 172, 160)
RED = (200, 30, 40)
SHADOW = (150, 150, 150)

ICON_SIZES = (16, 32, 48, 64, 128, 256)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def palette():
    # A 6x6x6 colour cube and a ramp of 40 greys: 256 entries.
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(round(i * 255 / 41),) * 3 for i in range(1, 41)]
    return colours


def nearest(colour, colours, cache):
    key = tuple(round(c) for c in colour)
    if key not in cache:
        cache[key] = min(range(len(colours)),
                         key=lambda i: sum((colours[i][k] - key[k]) ** 2 for k in range(3)))
    return cache[key]


class Ball:
    """A baseball of radius r centred at (cx, cy), lit from the upper left."""

    def __init__(self, cx, cy, r, seam_width, stitches, stitch_reach=4):
        self.cx, self.cy, self.r = cx, cy, r
        self.seam_width = seam_width
        self.stitches = stitches
        self.stitch_reach = stitch_reach  # in seam widths, either side of the seam's centre
        # Each seam is an arc of a circle whose centre lies outside the ball.
        self.seam_centres = [(cx - 1.45 * r, cy), (cx + 1.45 * r, cy)]
        self.seam_radius = 1.05 * r

    def coverage(self, x, y):
        """Colour and coverage (0 or 1) of the ball at a point."""
        dx, dy = x - self.cx, y - self.cy
        d = math.hypot(dx, dy)
        if d > self.r:
            return None
        # Light falls from the upper left: a soft ramp from white to shade.
        light = max(0.0, min(1.0, (d / self.r) * 0.6 + (dx + dy) / (2.8 * self.r) + 0.25))
        colour = mix(WHITE, SHADE, light ** 1.6)
        for sx, sy in self.seam_centres:
            rho = math.hypot(x - sx, y - sy)
            off = rho - self.seam_radius
            if abs(off) < self.seam_width:
                return mix(RED, SHADE, light * 0.4)
            if self.stitches and abs(off) < self.seam_width * self.stitch_reach:
                # Short slanted stitches across the seam at even steps of angle.
                angle = math.atan2(y - sy, x - sx)
                step = 0.085
                phase = (angle / step + off / (self.seam_width * 6)) % 1.0
                if phase < 0.22:
                    return mix(RED, SHADE, light * 0.4)
        return colour


def render(width, height, ball, shadow, supersample):
    """Rows of (colour, alpha) per pixel, averaged over supersample^2 points."""
    rows = []
    n = supersample
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    colour = ball.coverage(x, y)
                    if colour is None and shadow is not None:
                        ex, ey, rx, ry = shadow
                        if ((x - ex) / rx) ** 2 + ((y - ey) / ry) ** 2 <= 1.0:
                            colour = mix(SHADOW, BACKGROUND, 0.35)
                    if colour is not None:
                        covered += 1
                        for k in range(3):
                            total[k] += colour[k]
            alpha = covered / (n * n)
            if covered:
                colour = tuple(t / covered for t in total)
            else:
                colour = BACKGROUND
            row.append((colour, alpha))
        rows.append(row)
    return rows


def indexed(rows, colours, transparent_index=None):
    cache = {}
    out = []
    for row in rows:
        line = []
        for colour, alpha in row:
            if transparent_index is not None and alpha < 0.25:
                line.append(transparent_index)
            else:
                line.append(nearest(mix(BACKGROUND, colour, alpha), colours, cache))
        out.append(line)
    return out


def lzw_gif(pixels, min_code_size=8):
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, size):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, clear + 2, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    current = b""
    for value in pixels:
        candidate = current + bytes([value])
        if candidate in table:
            current = candidate
            continue
        emit(table[current], size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = reset()
        current = bytes([value])
    if current:
        emit(table[current], size)
    emit(end, size)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def write_gif(path, width, height, rows, colours, transparent_index):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)  # global table of 256
    for colour in colours:
        data += bytes(colour)
    data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 1, 0, transparent_index, 0)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    data.append(8)
    stream = lzw_gif([v for row in rows for v in row])
    for i in range(0, len(stream), 255):
        block = stream[i:i + 255]
        data.append(len(block))
        data += block
    data += b"\x00\x3B"
    with open(path, "wb") as f:
        f.write(data)


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def write_png(path, width, height, rows, colours, transparent_index):
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    alpha = bytes(0 if i == transparent_index else 255 for i in range(len(colours)))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(c) for c in colours))
    data += png_chunk(b"tRNS", alpha)
    data += png_chunk(b"IDAT", zlib.compress(raw, 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def write_rgba_png(path, width, height, rows):
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for colour, alpha in row:
            raw += bytes(round(c) for c in colour) + bytes((round(alpha * 255),))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def icon_ball(size):
    """The 16 x 16 icon's ball scaled to size; short stitches once they show."""
    scale = size / 16
    return Ball(cx=8 * scale, cy=8 * scale, r=7.4 * scale, seam_width=0.55 * scale,
                stitches=size >= 128, stitch_reach=2.4)


def write_ico(path, width, height, rows, colours, transparent_index):
    # One 8-bit image: a bitmap of double height (colours, then the AND mask),
    # rows bottom-up, each padded to four bytes.
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    pixels = b"".join(bytes(row) + b"\x00" * ((4 - width % 4) % 4) for row in reversed(rows))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, v in enumerate(row):
            if v == transparent_index:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    image = header + table + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", width, height, 0, 0, 1, 8, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def main():
    colours = palette()

    # Both pictures leave their background transparent, so they sit on any
    # window colour. The last grey is nearly white and gives its entry up for
    # that, since the cube already holds pure white.
    transparent = len(colours) - 1
    opaque = colours[:transparent]
    colours = opaque + [BACKGROUND]

    width, height = 176, 156
    ball = Ball(cx=88, cy=72, r=62, seam_width=1.6, stitches=True)
    picture = render(width, height, ball, shadow=(92, 142, 58, 9), supersample=3)
    write_gif(os.path.join(HERE, "baseball.gif"), width, height,
              indexed(picture, opaque, transparent), colours, transparent)

    small = icon_ball(16)
    icon = indexed(render(16, 16, small, shadow=None, supersample=4), opaque, transparent)
    write_png(os.path.join(HERE, "quillery-icon.png"), 16, 16, icon, colours, transparent)
    write_ico(os.path.join(HERE, "quillery.ico"), 16, 16, icon, colours, transparent)

    # Full colour with real alpha: these sit on any panel, light or dark.
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for size in ICON_SIZES:
        rows = render(size, size, icon_ball(size), shadow=None, supersample=4 if size <= 64 else 3)
        write_rgba_png(os.path.join(HERE, "icons", f"quillery-{size}.png"), size, size, rows)


if __name__ == "__main__":
    main()
