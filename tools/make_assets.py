#!/usr/bin/env python3
"""Draws the window pictures of Topovil into resources/.

    python3 tools/make_assets.py [output-dir]

Writes skin.png (545 x 417), icon.png (32 x 31), hand.png (32 x 32),
minimise.png and quit.png (13 x 13). Only the standard library is used and
nothing depends on the clock or on chance, so a second run rewrites the same
bytes.
"""

import math
import os
import struct
import sys
import zlib

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

TRANSPARENT = (0, 0, 0, 0)


# --- PNG writing -------------------------------------------------------------


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, width, height, pixels, alpha):
    """pixels: rows of (r, g, b, a) tuples; alpha=False writes an RGB file."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a)) if alpha else bytes((r, g, b))
    colour_type = 6 if alpha else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    data = (
        b"\x89PNG\r\n\x1a\n"
        + png_chunk(b"IHDR", header)
        + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + png_chunk(b"IEND", b"")
    )
    with open(path, "wb") as f:
        f.write(data)


def blank(width, height, colour=TRANSPARENT):
    return [[colour] * width for _ in range(height)]


def mix(c1, c2, t):
    """Colour c1 moved by t (0..1) towards c2, rounded to bytes."""
    t = min(max(t, 0.0), 1.0)
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


def over(dst, src, coverage):
    """Paints the opaque colour src with the given coverage over dst (RGBA)."""
    if coverage <= 0:
        return dst
    r, g, b = src[:3]
    a = coverage * (src[3] / 255 if len(src) > 3 else 1.0)
    da = dst[3] / 255
    out_a = a + da * (1 - a)
    if out_a <= 0:
        return TRANSPARENT
    mixed = [(c * a + d * da * (1 - a)) / out_a for c, d in zip((r, g, b), dst[:3])]
    return tuple(int(round(v)) for v in mixed) + (int(round(out_a * 255)),)


def coverage(inside, x, y, samples=4):
    """Share of pixel (x, y) for which inside(px, py) holds, on a samples^2 grid."""
    hits = 0
    for j in range(samples):
        for i in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


# --- The skin -----------------------------------------------------------------

SKIN_W, SKIN_H = 545, 417
# The window is cut to the rounded rectangle from (1,1) to (545,420) with
# 30 x 30 corner ellipses; its lower edge lies below the window, so what shows
# is that outline clipped to the 545 x 417 client area.
REGION = (1, 1, 545, 420)
CORNER_RADIUS = 15

NAVY = (0, 0, 128)
DARK_BLUE = (0, 0, 192)
HIGHLIGHT = (236, 255, 255)
SKIN_TOP = (212, 255, 255)
SKIN_BOTTOM = (180, 244, 255)


def region_depth(x, y):
    """How far the centre of pixel (x, y) lies inside the visible outline, in
    pixels (negative outside)."""
    left, top, right, bottom = REGION
    px, py = x + 0.5, y + 0.5
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2, (bottom - top) / 2
    qx = abs(px - cx) - (hx - CORNER_RADIUS)
    qy = abs(py - cy) - (hy - CORNER_RADIUS)
    outside = math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - CORNER_RADIUS
    return min(-outside, SKIN_H - py)


def skin_colour(x, y, depth):
    body = mix(SKIN_TOP, SKIN_BOTTOM, y / (SKIN_H - 1))
    # Bands from the edge inwards: a navy rim, a dark-blue border, a thin
    # highlight, then the body. Each change is blended over one pixel so that
    # the bands stay smooth in the corners.
    bands = [(1.0, NAVY), (3.0, DARK_BLUE), (4.0, HIGHLIGHT)]
    colour = NAVY
    previous_edge = 0.0
    for edge, band in bands:
        colour = mix(colour, band, depth - previous_edge + 0.5)
        previous_edge = edge
    return mix(colour, body, depth - previous_edge + 0.5)


def make_skin():
    pixels = blank(SKIN_W, SKIN_H)
    for y in range(SKIN_H):
        for x in range(SKIN_W):
            depth = region_depth(x, y)
            if depth > 0:
                pixels[y][x] = skin_colour(x, y, depth) + (255,)
    return pixels


# --- The icon -----------------------------------------------------------------

ICON_W, ICON_H = 32, 31


def rounded_box(left, top, right, bottom, radius):
    def inside(x, y):
        qx = max(left + radius - x, x - (right - radius), 0)
        qy = max(top + radius - y, y - (bottom - radius), 0)
        return left <= x <= right and top <= y <= bottom and qx * qx + qy * qy <= radius * radius

    return inside


def pin(cx, cy, radius, tip_y):
    """A map pin: a round head whose sides run down to a point at tip_y."""
    # The sides are the tangents from the tip to the head's circle.
    distance = tip_y - cy
    half_angle = math.asin(radius / distance)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        if dx * dx + dy * dy <= radius * radius:
            return True
        if y < cy or y > tip_y:
            return False
        angle = math.atan2(abs(dx), tip_y - y)
        return angle <= half_angle and (tip_y - y) <= distance * math.cos(half_angle) + 1e-9

    return inside


def shrink(inside_test, amount):
    """Points of a shape at least `amount` away from its edge (approximately)."""
    steps = [(amount * math.cos(a * math.pi / 8), amount * math.sin(a * math.pi / 8)) for a in range(16)]

    def inside(x, y):
        return all(inside_test(x + dx, y + dy) for dx, dy in steps)

    return inside


def make_icon():
    pixels = blank(ICON_W, ICON_H)

    def paint(inside, colour, alpha=1.0):
        for y in range(ICON_H):
            for x in range(ICON_W):
                c = coverage(inside, x, y)
                if c > 0:
                    pixels[y][x] = over(pixels[y][x], colour + (int(255 * alpha),), c)

    # A map tile with a grid: the grid squares of the locator.
    tile = rounded_box(1, 7, 29, 30, 3)
    paint(tile, NAVY)
    paint(shrink(tile, 1.2), (200, 255, 255))
    grid = lambda x, y: tile(x, y) and (
        any(abs(x - gx) < 0.5 for gx in (10.5, 19.5)) or any(abs(y - gy) < 0.5 for gy in (15.0, 22.5))
    )
    paint(grid, DARK_BLUE, 0.55)
    # The pin's shadow on the tile, then the pin with its rim and a highlight.
    shadow = lambda x, y: ((x - 19.0) / 5.0) ** 2 + ((y - 27.0) / 1.6) ** 2 <= 1
    paint(shadow, (0, 0, 64), 0.45)
    head = pin(16.0, 9.0, 7.5, 27.5)
    paint(head, (112, 0, 0))
    paint(shrink(head, 1.1), (224, 32, 32))
    paint(lambda x, y: (x - 14.3) ** 2 + (y - 7.3) ** 2 <= 2.6**2, (255, 255, 255))
    return pixels


# --- The hand pointer ---------------------------------------------------------

# The pointing hand: X black outline, o white, . transparent. The fingertip,
# the pointer's hot spot, is the top of the index finger.
HAND = [
    ".....XX.........................",
    "....XooX........................",
    "....XooX........................",
    "....XooX........................",
    "....XooX........................",
    "....XooXXX......................",
    "....XooXooXXX...................",
    "....XooXooXooXX.................",
    ".XX.XooXooXooXoX................",
    "XooXXooooooooXooX...............",
    "XoooXoooooooooooX...............",
    ".XooXoooooooooooX...............",
    "..XoXoooooooooooX...............",
    "..XooooooooooooX................",
    "...XoooooooooooX................",
    "...XooooooooooX.................",
    "....XoooooooooX.................",
    "....XoooooooooX.................",
    "....XXXXXXXXXXX.................",
] + ["................................"] * 13
HAND_HOT_SPOT = (5, 0)


def make_hand():
    palette = {".": TRANSPARENT, "X": (0, 0, 0, 255), "o": (255, 255, 255, 255)}
    assert len(HAND) == 32 and all(len(row) == 32 for row in HAND)
    return [[palette[c] for c in row] for row in HAND]


# --- The minimise and quit pictures ------------------------------------------

BUTTON = 13
LIGHT = (221, 221, 221, 255)
INNER_LIGHT = (170, 170, 170, 255)
FACE = (149, 149, 149, 255)
DARKEST = (34, 34, 34, 255)
DARK = (102, 102, 102, 255)
BLACK = (0, 0, 0, 255)


def bevelled_tile():
    """The grey tile both pictures share: light top row and left column, an
    inner light edge, the face, and a dark right column and two bottom rows."""
    last = BUTTON - 1
    pixels = blank(BUTTON, BUTTON, FACE)
    for i in range(1, last - 1):
        pixels[1][i] = INNER_LIGHT
        pixels[i][1] = INNER_LIGHT
    for i in range(1, last):
        pixels[last - 1][i] = DARK
    for i in range(BUTTON):
        pixels[last][i] = DARKEST
        pixels[i][last] = DARKEST
    for i in range(last):
        pixels[0][i] = LIGHT
        pixels[i][0] = LIGHT
    return pixels


def outline(pixels, left, top, width, height, colour):
    right, bottom = left + width - 1, top + height - 1
    for x in range(left, right + 1):
        pixels[top][x] = colour
        pixels[bottom][x] = colour
    for y in range(top, bottom + 1):
        pixels[y][left] = colour
        pixels[y][right] = colour


def make_minimise():
    pixels = bevelled_tile()
    outline(pixels, 3, 5, 6, 5, BLACK)  # the larger window, lower left
    outline(pixels, 6, 3, 5, 4, BLACK)  # the smaller one, upper right, over it
    return pixels


def make_quit():
    pixels = bevelled_tile()
    first, last = 2, 10
    for i in range(first, last + 1):
        # Each stroke is black with a dark-grey shade on its right.
        for x, y in ((i, i), (first + last - i, i)):
            if x + 1 <= last and pixels[y][x + 1] != BLACK:
                pixels[y][x + 1] = DARK
        pixels[i][i] = BLACK
        pixels[i][first + last - i] = BLACK
    return pixels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else RESOURCES
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "skin.png"), SKIN_W, SKIN_H, make_skin(), alpha=True)
    write_png(os.path.join(out, "icon.png"), ICON_W, ICON_H, make_icon(), alpha=True)
    write_png(os.path.join(out, "hand.png"), 32, 32, make_hand(), alpha=True)
    write_png(os.path.join(out, "minimise.png"), BUTTON, BUTTON, make_minimise(), alpha=False)
    write_png(os.path.join(out, "quit.png"), BUTTON, BUTTON, make_quit(), alpha=False)
    print("hand pointer hot spot: %d,%d" % HAND_HOT_SPOT)


if __name__ == "__main__":
    main()
