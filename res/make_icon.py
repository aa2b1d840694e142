#!/usr/bin/env python3
"""Writes tessaro.ico: one 32 x 32 image, 24 bits per pixel.

The picture is a small mosaic: a 3 x 3 grid of coloured tiles on a dark
rounded plate, the centre tile shaped as an arrow pointing down into a tray
(things going into one place, as files go into one archive).

Usage: make_icon.py [OUTPUT]   (default: tessaro.ico beside this script)
"""
import os
import struct
import sys

SIZE = 32
PLATE = (0x2B, 0x33, 0x40)
EDGE = (0x16, 0x1A, 0x22)
TILES = [
    (0xE0, 0x6C, 0x3A), (0xF2, 0xB1, 0x34), (0x4F, 0xA3, 0x5B),
    (0x3A, 0x8E, 0xD0), (0xF5, 0xF0, 0xE6), (0x9B, 0x5D, 0xC4),
    (0x2F, 0xB5, 0xA8), (0xD9, 0x4A, 0x6E), (0x8C, 0xC1, 0x3F),
]
ARROW = (0x2B, 0x33, 0x40)


def inside_plate(x, y):
    """A square plate with its four corners cut round (radius 4)."""
    r = 4
    cx = min(max(x, r), SIZE - 1 - r)
    cy = min(max(y, r), SIZE - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    """Colour at (x, y), y counted from the top; None is transparent."""
    if not inside_plate(x, y):
        return None
    if not inside_plate(x - 1, y) or not inside_plate(x + 1, y) \
            or not inside_plate(x, y - 1) or not inside_plate(x, y + 1):
        return EDGE
    # Tiles of 8 pixels with 1-pixel grout, starting at 3.
    tx, ox = divmod(x - 3, 9)
    ty, oy = divmod(y - 3, 9)
    if not (0 <= tx < 3 and 0 <= ty < 3 and ox < 8 and oy < 8):
        return PLATE
    if (tx, ty) == (1, 1):
        # Arrow: a shaft above a triangle, the tile colour around it.
        if 3 <= ox <= 4 and oy <= 3:
            return ARROW
        if oy >= 3 and abs(2 * ox - 7) <= 2 * (7 - oy) - 1:
            return ARROW
    return TILES[ty * 3 + tx]


def ico_bytes():
    xor_rows = []
    and_rows = []
    for y in range(SIZE - 1, -1, -1):  # bitmaps are stored bottom-up
        row = bytearray()
        mask = 0
        for x in range(SIZE):
            c = pixel(x, y)
            if c is None:
                row += bytes(3)
                mask |= 1 << (SIZE - 1 - x)
            else:
                r, g, b = c
                row += bytes((b, g, r))
        xor_rows.append(bytes(row))
        and_rows.append(struct.pack(">I", mask))
    xor = b"".join(xor_rows)
    andmask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + xor + andmask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return icondir + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "tessaro.ico")
    with open(out, "wb") as f:
        f.write(ico_bytes())


if __name__ == "__main__":
    main()
