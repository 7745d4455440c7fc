#!/usr/bin/env python3
"""Draws the board's bundle pictures and writes them as PNG files into resources/.

Run it again after changing a drawing; the PNG files are committed. Only the standard library is
used: each picture is a function that answers the colour of a point, sampled 4 x 4 times per pixel.
"""

import math
import os
import struct
import sys
import zlib

SAMPLES = 4


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples, each 0-255."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n")
        file.write(chunk(b"IHDR", header))
        file.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        file.write(chunk(b"IEND", b""))


def render(width, height, shade):
    """shade(x, y) answers (r, g, b, a) with components 0..1 for a point in pixels."""
    rows = []
    step = 1.0 / SAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = shade(px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            count = SAMPLES * SAMPLES
            alpha = total[3] / count
            if alpha > 0:
                colour = tuple(round(255 * min(1.0, c / total[3])) for c in total[:3])
            else:
                colour = (0, 0, 0)
            row.append(colour + (round(255 * alpha),))
        rows.append(row)
    return rows


def over(top, bottom):
    """Composites two (r, g, b, a) colours."""
    ta, ba = top[3], bottom[3]
    a = ta + ba * (1 - ta)
    if a == 0:
        return (0, 0, 0, 0)
    return tuple((top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)) + (a,)


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_segment(x, y, x1, y1, x2, y2, half_width):
    dx, dy = x2 - x1, y2 - y1
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length))
    px, py = x1 + t * dx, y1 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2


def in_heart(x, y, cx, cy, size):
    # The classic implicit heart, y pointing up.
    u = (x - cx) / size
    v = -(y - cy) / size + 0.15
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


CLEAR = (0, 0, 0, 0)


def background(x, y):
    # A calm blue gradient with soft light discs, so pictures stand out on it.
    t = y / 460
    base = (0.12 + 0.10 * t, 0.30 + 0.12 * t, 0.52 + 0.10 * t, 1)
    colour = base
    for cx, cy, radius, strength in ((60, 80, 120, 0.10), (280, 300, 150, 0.08), (160, 470, 110, 0.06)):
        d = math.hypot(x - cx, y - cy)
        if d < radius:
            glow = strength * (1 - d / radius)
            colour = over((1, 1, 1, glow), colour)
    return colour


def placeholder(x, y):
    # A light card with a person's outline and a plus: "pick a contact here".
    if not in_rounded_rect(x, y, 2, 2, 88, 88, 14):
        return CLEAR
    colour = (0.93, 0.95, 0.98, 0.92)
    if not in_rounded_rect(x, y, 4, 4, 86, 86, 12):
        return (0.70, 0.76, 0.86, 1)
    grey = (0.62, 0.68, 0.78, 1)
    if in_circle(x, y, 45, 34, 13):
        colour = grey
    if in_circle(x, y, 45, 76, 26) and y < 74:
        colour = grey
    if in_circle(x, y, 68, 66, 11):
        colour = (0.24, 0.55, 0.30, 1)
        if in_segment(x, y, 62, 66, 74, 66, 1.6) or in_segment(x, y, 68, 60, 68, 72, 1.6):
            colour = (1, 1, 1, 1)
    return colour


def without_photo(x, y):
    # The stock picture of a contact without a photo: a grey silhouette on a light ground.
    colour = (0.86, 0.88, 0.91, 1)
    grey = (0.55, 0.59, 0.66, 1)
    if in_circle(x, y, 90, 68, 32):
        colour = grey
    if in_circle(x, y, 90, 178, 66) and y < 176:
        colour = grey
    return colour


def heart(x, y):
    return (0.90, 0.16, 0.22, 1) if in_heart(x, y, 10, 10, 8.2) else CLEAR


def glyph(test):
    def shade(x, y):
        return (1, 1, 1, 1) if test(x, y) else CLEAR
    return shade


def cancel_glyph(x, y):
    return in_segment(x, y, 5, 5, 15, 15, 1.5) or in_segment(x, y, 15, 5, 5, 15, 1.5)


def add_glyph(x, y):
    return in_segment(x, y, 10, 3.5, 10, 16.5, 1.6) or in_segment(x, y, 3.5, 10, 16.5, 10, 1.6)


def trash_glyph(x, y):
    lid = in_segment(x, y, 3.5, 5, 16.5, 5, 1.1) or in_segment(x, y, 8, 3, 12, 3, 1.0)
    can = 5 <= x <= 15 and 6.5 <= y <= 17 and not (6.8 <= x <= 13.2 and 6.5 <= y <= 15.2)
    ribs = any(in_segment(x, y, rx, 8.5, rx, 14, 0.6) for rx in (8.3, 10, 11.7))
    return lid or can or ribs


def save_glyph(x, y):
    # A disk: a square with a shutter and a label.
    body = in_rounded_rect(x, y, 3, 3, 17, 17, 1.5)
    shutter = 6 <= x <= 13 and 3 <= y <= 8
    label = 6 <= x <= 14 and 11 <= y <= 17
    return body and not (shutter and not (10.5 <= x <= 12)) and not label


def edit_glyph(x, y):
    # A pencil for the settings tab.
    return in_segment(x, y, 7, 23, 22, 8, 3) or in_segment(x, y, 5, 25, 7, 23, 1.5)


def black(x, y):
    return (0, 0, 0, 1)


def logo(x, y):
    # A plain word mark: three rounded bars forming a stylised "B" beside a dial of dots.
    colour = CLEAR
    if in_rounded_rect(x, y, 4, 6, 146, 34, 12):
        colour = (0.95, 0.96, 1, 1)
        if in_rounded_rect(x, y, 16, 11, 22, 29, 3) or in_circle(x, y, 26, 15.5, 4.5) or in_circle(x, y, 27, 24.5, 4.5):
            colour = (0.25, 0.25, 0.63, 1)
        for index in range(9):
            dx = 44 + (index % 3) * 10
            dy = 12 + (index // 3) * 8
            if in_circle(x, y, dx, dy, 2.6):
                colour = (0.25, 0.25, 0.63, 1)
        if 80 <= x <= 136 and (13 <= y <= 16 or 19 <= y <= 22 or 25 <= y <= 28) and in_rounded_rect(x, y, 80, 12, 136, 29, 1.5):
            colour = (0.55, 0.58, 0.80, 1)
    return colour


PICTURES = {
    "defaultbackground.png": (320, 460, background),
    "contact-placeholder.png": (90, 90, placeholder),
    "contact-withoutphoto.png": (180, 180, without_photo),
    "black100.png": (100, 100, black),
    "heart.png": (20, 20, heart),
    "cancel.png": (20, 20, glyph(cancel_glyph)),
    "add.png": (20, 20, glyph(add_glyph)),
    "trash.png": (20, 20, glyph(trash_glyph)),
    "save.png": (20, 20, glyph(save_glyph)),
    "edit.png": (30, 30, glyph(edit_glyph)),
    "tarvollogo.png": (150, 40, logo),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "..", "resources")
    for name, (width, height, shade) in PICTURES.items():
        write_png(os.path.join(folder, name), width, height, render(width, height, shade))
        print(name, width, height)


if __name__ == "__main__":
    main()
