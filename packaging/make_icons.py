#!/usr/bin/env python3
"""Makes the desktop menu icons of Topovil from the window icon.

    python3 packaging/make_icons.py [SOURCE_PNG [OUTPUT_DIR]]

Defaults: SOURCE_PNG = resources/icon.png (32 x 31), OUTPUT_DIR =
packaging/icons. Writes topovil-32.png, topovil-64.png and topovil-128.png.

Icon themes want square pictures, so the 32 x 31 icon gets one transparent
row at the bottom. The larger sizes repeat every pixel 2 or 4 times, which
keeps the small drawing sharp instead of blurring it. Only the standard
library is used and nothing depends on the clock, so a second run rewrites
the same bytes.
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "resources", "icon.png")
OUTPUT = os.path.join(HERE, "icons")

SIDE = 32
SCALES = (1, 2, 4)
TRANSPARENT = (0, 0, 0, 0)
SIGNATURE = b"\x89PNG\r\n\x1a\n"


def read_chunks(data):
    if not data.startswith(SIGNATURE):
        raise ValueError("not a PNG file")
    pos = len(SIGNATURE)
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height, bpp):
    """Undoes the per-row PNG filters; returns rows of bytes."""
    stride = width * bpp
    rows = []
    previous = bytearray(stride)
    pos = 0
    for _ in range(height):
        kind = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = previous[i]
            corner = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(left, up, corner)) & 0xFF
            elif kind != 0:
                raise ValueError("unknown PNG filter %d" % kind)
        rows.append(line)
        previous = line
    return rows


def read_rgba(path):
    """Reads an 8-bit RGBA, non-interlaced PNG: the kind make_assets.py writes."""
    with open(path, "rb") as f:
        data = f.read()
    header = None
    compressed = bytearray()
    for kind, body in read_chunks(data):
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        raise ValueError("%s: only 8-bit RGBA, non-interlaced PNG is read" % path)
    rows = unfilter(zlib.decompress(bytes(compressed)), width, height, 4)
    return [[tuple(row[x * 4:x * 4 + 4]) for x in range(width)] for row in rows]


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_rgba(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for pixel in row:
            raw += bytes(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(SIGNATURE
                + png_chunk(b"IHDR", header)
                + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + png_chunk(b"IEND", b""))


def square(pixels, side):
    """Pads with transparent pixels on the right and at the bottom."""
    height, width = len(pixels), len(pixels[0])
    if width > side or height > side:
        raise ValueError("the icon is larger than %d x %d" % (side, side))
    rows = [row + [TRANSPARENT] * (side - width) for row in pixels]
    return rows + [[TRANSPARENT] * side for _ in range(side - height)]


def enlarge(pixels, factor):
    rows = []
    for row in pixels:
        wide = [pixel for pixel in row for _ in range(factor)]
        rows.extend(list(wide) for _ in range(factor))
    return rows


def main(argv):
    source = argv[1] if len(argv) > 1 else SOURCE
    output = argv[2] if len(argv) > 2 else OUTPUT
    os.makedirs(output, exist_ok=True)
    base = square(read_rgba(source), SIDE)
    for factor in SCALES:
        side = SIDE * factor
        path = os.path.join(output, "topovil-%d.png" % side)
        write_rgba(path, enlarge(base, factor))
        print("wrote %s (%d x %d)" % (os.path.relpath(path), side, side))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
