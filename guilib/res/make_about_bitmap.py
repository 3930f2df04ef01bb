#!/usr/bin/env python3
"""Draws the About box picture (bitmap 22000): 270 x 102 pixels, 24 bits.

A dusk gradient with a band of isolines and the maker's mark, a block T
standing on a baseline. Run it from this folder to rewrite about.bmp; the
output is deterministic, so the committed file only changes with this script.
"""
import math
import struct
import sys

W, H = 270, 102


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def pixel(x, y):
    # Background: deep blue at the top-left to teal at the bottom-right.
    t = (x / (W - 1)) * 0.6 + (y / (H - 1)) * 0.4
    colour = mix((18, 36, 84), (20, 128, 136), t)
    # Isolines of a gentle surface z = sin + cos, drawn as thin light bands.
    z = math.sin(x / 23.0) * 9 + math.cos(y / 17.0 + x / 51.0) * 7 + y * 0.35
    if abs((z % 8.0) - 4.0) < 0.45:
        colour = mix(colour, (170, 220, 230), 0.35)
    # The mark: a block T on the left.
    in_bar = 22 <= x < 82 and 20 <= y < 34
    in_stem = 45 <= x < 59 and 34 <= y < 80
    if in_bar or in_stem:
        colour = (245, 180, 40)
    # Baseline under the mark and a thin rule across the picture.
    if 86 <= y < 89 and 14 <= x < 256:
        colour = (235, 240, 245)
    # Three squares to the right, growing: a nod to progress.
    for i, (sx, size) in enumerate(((120, 14), (146, 22), (180, 32))):
        top = 80 - size
        if sx <= x < sx + size and top <= y < 80:
            colour = mix((120, 200, 220), (245, 180, 40), i / 2.0)
    return tuple(clamp(c) for c in colour)


def main(path):
    row_bytes = (W * 3 + 3) & ~3
    image = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        image += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(image), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(file_header + info_header + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "about.bmp")
