#!/usr/bin/env python3
"""Draws the application icon, an isometric block of loam under a grid of grass tiles, into
loamwright-SIZE.png files and loamwright.ico (standard library only). The results are committed;
run this again only to change the picture."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (16, 32, 48, 256)
SAMPLES = 4  # per axis, for smooth edges

# The block on a 256 x 256 canvas: the top diamond and the two visible sides.
TOP = ((128, 20), (236, 80), (128, 140), (20, 80))
LEFT = ((20, 80), (128, 140), (128, 240), (20, 180))
RIGHT = ((128, 140), (236, 80), (236, 180), (128, 240))
GRASS = (104, 170, 64)
GRASS_LINE = (72, 130, 44)
TURF_LEFT, TURF_RIGHT = (84, 142, 50), (66, 116, 40)
LOAM_LEFT, LOAM_RIGHT = (150, 104, 62), (118, 80, 46)
LAYER_LEFT, LAYER_RIGHT = (128, 86, 50), (98, 64, 36)
EDGE = (52, 40, 28)


def inside(poly, x, y):
    result = False
    for i, (x1, y1) in enumerate(poly):
        x2, y2 = poly[i - 1]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def colour_at(x, y):
    """The colour at a canvas point, or None outside the block."""
    if inside(TOP, x, y):
        # Tile coordinates along the diamond's two axes: grid lines split it into 3 x 3 tiles.
        u = ((x - 20) / 108 + (y - 80) / 60) / 2
        v = ((236 - x) / 108 + (y - 80) / 60) / 2
        near_line = any(abs(t * 3 - round(t * 3)) < 0.045 for t in (u, v))
        return GRASS_LINE if near_line else GRASS
    for poly, turf, loam, layer, x0 in ((LEFT, TURF_LEFT, LOAM_LEFT, LAYER_LEFT, 20),
                                        (RIGHT, TURF_RIGHT, LOAM_RIGHT, LAYER_RIGHT, 236)):
        if inside(poly, x, y):
            depth = y - (80 + abs(x - x0) * 60 / 108)  # below the side's top edge
            if depth < 18:
                return turf
            return layer if 52 < depth < 62 or 80 < depth < 86 else loam
    return None


def render(size):
    rows = []
    scale = 256 / size
    for py in range(size):
        row = bytearray([0])  # PNG filter: none
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) * scale,
                                  (py + (sy + 0.5) / SAMPLES) * scale)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row += bytes(round(a / hits) for a in acc) + bytes([255 * hits // SAMPLES**2])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def ico(images):
    """An .ico whose entries are PNG images (Windows Vista and later)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    images = []
    for size in SIZES:
        data = png(size, render(size))
        with open(os.path.join(HERE, f"loamwright-{size}.png"), "wb") as f:
            f.write(data)
        images.append((size, data))
    with open(os.path.join(HERE, "loamwright.ico"), "wb") as f:
        f.write(ico(images))


if __name__ == "__main__":
    main()
