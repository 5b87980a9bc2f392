#!/usr/bin/env python3
"""Writes the sample animations in this folder: run it again after changing a drawing here,
never edit the bitmaps by hand.

walk/  8 frames of 32 x 32 pixels, 24 bits per pixel: a ball bouncing across.
spin/  6 frames of 48 x 40 pixels, 8 bits per pixel with a palette: a turning bar.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp24(width, height, pixel):
    """pixel(x, y) -> (r, g, b), y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + header + data


def bmp8(width, height, palette, index):
    """index(x, y) -> palette index, y counted from the top."""
    stride = (width + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = bytes(index(x, y) for x in range(width))
        rows.append(row + bytes(stride - width))
    data = b"".join(rows)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                         len(palette), 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset) + header + table + data


def write(folder, name, content):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), "wb") as out:
        out.write(content)


def walk_frame(n):
    cx = 4 + n * 3
    cy = 24 - abs(int(18 * math.sin(n * math.pi / 4)))

    def pixel(x, y):
        if (x - cx - 4) ** 2 + (y - cy) ** 2 <= 16:
            return (230, 60, 40)
        if y >= 29:
            return (60, 140, 60)
        return (150, 200, 255)
    return bmp24(32, 32, pixel)


def spin_frame(n, palette):
    angle = n * math.pi / 6

    def index(x, y):
        dx, dy = x - 23.5, y - 19.5
        along = dx * math.cos(angle) + dy * math.sin(angle)
        across = -dx * math.sin(angle) + dy * math.cos(angle)
        if abs(along) <= 16 and abs(across) <= 3:
            return 1 + n % (len(palette) - 1)
        return 0
    return bmp8(48, 40, palette, index)


def main():
    for n in range(8):
        write("walk", "walk%02d.bmp" % (n + 1), walk_frame(n))
    palette = [(20, 20, 40), (250, 200, 40), (240, 120, 30), (220, 60, 60), (150, 60, 200),
               (60, 120, 230), (60, 200, 160)]
    for n in range(6):
        write("spin", "spin%d.bmp" % (n + 1), spin_frame(n, palette))


if __name__ == "__main__":
    main()
