#!/usr/bin/env python3
"""Writes toolstrip.bmp: four 16 x 16 toolbar images in one 4-bit strip.

Each image is the strip's light grey (192,192,192) background with a black
frame, a dark grey (128,128,128) bar, a white dot and one colour of its own
that no system colour replaces. Run it from this folder."""
import struct

W, H = 64, 16
palette = [(0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255),
           (200, 0, 0), (0, 160, 0), (0, 0, 220), (191, 192, 192)]
palette += [(0, 0, 0)] * (16 - len(palette))

def pixel(x, y):
    image, x = divmod(x, 16)
    if x in (2, 13) and 2 <= y <= 13 or y in (2, 13) and 2 <= x <= 13:
        return 0
    if 5 <= y <= 6 and 4 <= x <= 11:
        return 1
    if (x, y) == (8, 9):
        return 3
    if 9 <= y <= 11 and 4 <= x <= 6:
        return 4 + image % 4
    return 2

rows = []
for y in reversed(range(H)):  # bottom-up
    nibbles = [pixel(x, y) for x in range(W)]
    row = bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, W, 2))
    rows.append(row + b"\0" * (-len(row) % 4))
bits = b"".join(rows)
table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
offset = 14 + len(header) + len(table)
with open("toolstrip.bmp", "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset))
    f.write(header + table + bits)
