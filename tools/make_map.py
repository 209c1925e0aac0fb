#!/usr/bin/env python3
"""Draws the map of France compiled into the program, resources/map.bmp.

A 265 x 298 picture, 24 bits per pixel, uncompressed BMP: the 94 mainland
départements as white areas closed by one-pixel black borders on a light-blue
sea, an enlarged inset of Paris and its three neighbours at the top left, an
inset of Corsica at the bottom right, and a scale bar.

Every département must come out as one area of white pixels, connected
through side neighbours (the fill of the program spreads that way), that holds
the département's seed point from the table of
departements/DepartementTable.cpp. The tool checks that and every other promise the program relies on, nudges the
drawing locally where a seed point lands on a border or in a sliver, and
exits with an error when it cannot make the picture right.

Method
  1. Project the contours: x = longitude * cos(46.5 deg), y = latitude.
  2. Fit an affine map from that projection onto the mainland seed points
     (least squares over the département centroids); the Corsica inset uses
     the same scale, the Paris inset an enlarged one fitted on its four seeds.
  3. Label every pixel (x, y) by the contour that holds the point (x, y)
     (scan lines, even-odd rule), the sea elsewhere.
  4. A pixel is black when its label differs from that of its right or its
     lower neighbour: one-pixel, 8-connected lines that leave no two side
     neighbours of different labels white.
  5. Tidy up until stable: detached bits of a département and enclosed bits
     of sea take the label around them (small islands and enclaves go); a
     seed point on a border gets its own label on its pixel and on the two
     that the border rule looks at; a piece cut off by a border is joined
     again by keeping up to three border pixels white (their other
     neighbours turn black instead), or inked over when it is a scrap.
  6. Thin the lines: a black pixel between black pixels and one area only
     takes that area's colour, so that staircases become diagonals.
  7. Draw the inset frames, the scale bar and its label; verify; write.

Also writes tools/map_projection.json: the affine maps, so that a test can
project the contours the same way and check each area against its shape; and
map/MapProjectionTable.h, the same maps compiled into the program, which
places a commune's own point on the map with them.

Usage: python3 tools/make_map.py [DEPARTEMENTS_GEOJSON]
Standard library only; the same contours give the same bytes.
"""

import argparse
import collections
import json
import math
import os
import re
import struct
import sys

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_GEOJSON = os.path.join(REPO_ROOT, "..", "shared", "data",
                               "france-geojson", "departements.geojson")
OUTPUT_BMP = os.path.join(REPO_ROOT, "resources", "map.bmp")
OUTPUT_JSON = os.path.join(REPO_ROOT, "tools", "map_projection.json")
OUTPUT_TABLE = os.path.join(REPO_ROOT, "map", "MapProjectionTable.h")

WIDTH, HEIGHT = 265, 298
LON_SCALE = round(math.cos(math.radians(46.5)), 9)
KM_PER_DEGREE = 111.195  # mean Earth radius 6371.0 km

SEA = (204, 232, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)

# Seed points of the département table (departements/DepartementTable.cpp), rows 1..95.
SEEDS = {
    1: (190, 142), 2: (162, 66), 3: (156, 136), 4: (207, 187), 5: (213, 172),
    6: (225, 188), 7: (178, 175), 8: (177, 67), 9: (130, 214), 10: (172, 95),
    11: (145, 209), 12: (149, 182), 13: (191, 199), 14: (101, 76),
    15: (148, 167), 16: (109, 152), 17: (95, 147), 18: (147, 123),
    19: (137, 162), 20: (221, 244), 21: (182, 113), 22: (61, 91),
    23: (138, 144), 24: (119, 165), 25: (207, 118), 26: (189, 176),
    27: (124, 79), 28: (129, 93), 29: (50, 90), 30: (175, 189), 31: (130, 201),
    32: (113, 196), 33: (101, 176), 34: (163, 199), 35: (85, 97),
    36: (131, 129), 37: (116, 116), 38: (196, 161), 39: (198, 130),
    40: (90, 189), 41: (131, 112), 42: (173, 151), 43: (169, 165),
    44: (82, 112), 45: (144, 103), 46: (132, 176), 47: (113, 183),
    48: (162, 177), 49: (101, 114), 50: (90, 77), 51: (172, 80), 52: (187, 98),
    53: (99, 98), 54: (203, 84), 55: (190, 79), 56: (68, 103), 57: (209, 77),
    58: (161, 121), 59: (161, 53), 60: (145, 72), 61: (113, 85),
    62: (141, 46), 63: (155, 152), 64: (92, 204), 65: (108, 212),
    66: (150, 220), 67: (222, 84), 68: (220, 102), 69: (181, 150),
    70: (202, 106), 71: (173, 130), 72: (112, 101), 73: (212, 156),
    74: (211, 143), 75: (38, 38), 76: (124, 66), 77: (154, 86), 78: (136, 83),
    79: (102, 135), 80: (144, 60), 81: (140, 194), 82: (125, 189),
    83: (208, 200), 84: (191, 188), 85: (90, 130), 86: (115, 131),
    87: (125, 148), 88: (207, 96), 89: (163, 107), 90: (215, 109),
    91: (143, 90), 92: (23, 40), 93: (52, 30), 94: (53, 53), 95: (142, 78),
}
OPEN_SEA_POINTS = ((5, 5), (49, 216))
PARIS_SEA_POINT = (40, 20)
CORSICA_SEA_POINT = (208, 225)

PARIS_CODES = ("75", "92", "93", "94")
CORSICA_CODES = ("2A", "2B")

# Inset frames. The program draws 2-px black lines over x 11..12 and 70..71
# (y 14..68) and x 204..205 (y 222..266); nothing of an inset may lie there.
PARIS_FRAME = (12, 13, 70, 69)       # left, top, right, bottom
PARIS_INNER = (15, 17, 67, 65)       # where its land may go
CORSICA_FRAME = (204, 221, 235, 267)
CORSICA_INNER = (207, 224, 233, 264)
# The mainland Paris patch: the four inner départements merged, no seed.
PARIS_PATCH_BOX = (142, 82, 146, 85)

# Scale bar: base line at y 286 from x 193 to 243, ticks up to y 284.
SCALE_Y = 286
SCALE_X0, SCALE_X1 = 193, 243
SCALE_TICKS = (193, 194, 210, 226, 227, 243)
SCALE_KM = 240
LABEL_TEXT = "240 Kms"
LABEL_LEFT, LABEL_TOP = 195, 274

# A tiny font for the scale label: '#' is ink. Glyphs share a baseline
# (row 7); lower-case letters use rows 3..7.
FONT = {
    "2": [".####.",
          "##..##",
          "....##",
          "...##.",
          "..##..",
          ".##...",
          "##....",
          "######"],
    "4": ["...##.",
          "..###.",
          ".####.",
          "##.##.",
          "######",
          "...##.",
          "...##.",
          "...##."],
    "0": [".####.",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          ".####."],
    " ": [".."] * 8,
    "K": ["##..##",
          "##.##.",
          "####..",
          "###...",
          "####..",
          "##.##.",
          "##..##",
          "##..##"],
    "m": ["........",
          "........",
          "........",
          "###.##..",
          "##.##.##",
          "##.##.##",
          "##.##.##",
          "##.##.##"],
    "s": [".....",
          ".....",
          ".....",
          ".####",
          "##...",
          ".###.",
          "...##",
          "####."],
}
LETTER_GAP = 1

MAX_ROUNDS = 200
MAX_BRIDGE = 3   # black pixels opened to rejoin a cut-off piece
MAX_SCRAP = 3    # pixels of a cut-off scrap that may be inked over
SEA_LABEL = -1


def fail(message):
    print("make_map: " + message, file=sys.stderr)
    sys.exit(1)


def check_seed_table(path):
    """The program's own table must hold the seeds drawn here."""
    if not os.path.exists(path):
        return
    with open(path, encoding="utf-8") as f:
        rows = re.findall(r"\{\s*(\d+)\s*,\s*\"[^\"]*\"\s*,\s*(\d+)\s*,\s*(\d+)\s*\}",
                          f.read())
    table = {int(n): (int(x), int(y)) for n, x, y in rows if 1 <= int(n) <= 95}
    if table != SEEDS:
        differing = sorted(n for n in set(SEEDS) | set(table) if SEEDS.get(n) != table.get(n))
        fail("the seed points differ from %s for %s" % (path, differing))


# ---------------------------------------------------------------- contours

def load_departements(path):
    """Code -> list of polygons, each a list of rings of projected points."""
    try:
        with open(path, encoding="utf-8") as f:
            collection = json.load(f)
    except OSError as error:
        fail("cannot read %s: %s" % (path, error))
    departements = {}
    for feature in collection["features"]:
        code = feature["properties"]["code"]
        geometry = feature["geometry"]
        if geometry["type"] == "Polygon":
            polygons = [geometry["coordinates"]]
        elif geometry["type"] == "MultiPolygon":
            polygons = geometry["coordinates"]
        else:
            fail("département %s has a %s geometry" % (code, geometry["type"]))
        departements[code] = [[[(lon * LON_SCALE, lat) for lon, lat in ring]
                               for ring in polygon] for polygon in polygons]
    expected = {"%02d" % n for n in range(1, 96) if n != 20} | set(CORSICA_CODES)
    if set(departements) != expected:
        fail("%s does not hold the 96 metropolitan départements "
             "(missing %s, unexpected %s)" % (
                 path, sorted(expected - set(departements)),
                 sorted(set(departements) - expected)))
    return departements


def ring_area_centroid(ring):
    area = cx = cy = 0.0
    for (x1, y1), (x2, y2) in zip(ring, ring[1:] + ring[:1]):
        cross = x1 * y2 - x2 * y1
        area += cross
        cx += (x1 + x2) * cross
        cy += (y1 + y2) * cross
    area /= 2.0
    if area == 0:
        return 0.0, ring[0]
    return area, (cx / (6.0 * area), cy / (6.0 * area))


def centroid(polygons):
    """Area-weighted centroid; holes count negative whatever their winding."""
    total = sx = sy = 0.0
    for polygon in polygons:
        for index, ring in enumerate(polygon):
            area, (cx, cy) = ring_area_centroid(ring)
            weight = abs(area) if index == 0 else -abs(area)
            total += weight
            sx += weight * cx
            sy += weight * cy
    return sx / total, sy / total


def inside(point, polygons):
    """Even-odd rule over every ring, holes included."""
    px, py = point
    crossings = 0
    for polygon in polygons:
        for ring in polygon:
            for (x1, y1), (x2, y2) in zip(ring, ring[1:] + ring[:1]):
                if (y1 <= py) != (y2 <= py):
                    if px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                        crossings += 1
    return crossings % 2 == 1


# ---------------------------------------------------------------- affine maps

def solve3(m, v):
    """Solves the 3x3 system m . x = v (Cramer's rule; m is well conditioned)."""
    def det(a):
        return (a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1])
                - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
                + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]))
    d = det(m)
    result = []
    for column in range(3):
        a = [row[:] for row in m]
        for r in range(3):
            a[r][column] = v[r]
        result.append(det(a) / d)
    return result


def fit_affine(sources, targets):
    """Least-squares (a, b, c, d, e, f) with u = a x + b y + c, v = d x + e y + f."""
    m = [[0.0] * 3 for _ in range(3)]
    bu = [0.0] * 3
    bv = [0.0] * 3
    for (x, y), (u, v) in zip(sources, targets):
        row = (x, y, 1.0)
        for i in range(3):
            for j in range(3):
                m[i][j] += row[i] * row[j]
            bu[i] += row[i] * u
            bv[i] += row[i] * v
    return tuple(solve3(m, bu) + solve3(m, bv))


def apply(matrix, point):
    a, b, c, d, e, f = matrix
    x, y = point
    return a * x + b * y + c, d * x + e * y + f


def invert(matrix):
    a, b, c, d, e, f = matrix
    det = a * e - b * d
    ia, ib, id_, ie = e / det, -b / det, -d / det, a / det
    return (ia, ib, -(ia * c + ib * f), id_, ie, -(id_ * c + ie * f))


def rounded(matrix):
    # The test projects with the written numbers: draw with exactly those.
    return tuple(round(value, 9) for value in matrix)


def scale_and_shift(matrix, factor, shift):
    a, b, c, d, e, f = matrix
    return (a * factor, b * factor, shift[0], d * factor, e * factor, shift[1])


def place_linear(matrix, factor, sources, targets):
    """The linear part times factor, shifted to fit targets best."""
    a, b, _, d, e, _ = matrix
    n = len(sources)
    tx = sum(u - factor * (a * x + b * y) for (x, y), (u, _) in zip(sources, targets)) / n
    ty = sum(v - factor * (d * x + e * y) for (x, y), (_, v) in zip(sources, targets)) / n
    return scale_and_shift(matrix, factor, (tx, ty))


def fit_factor(matrix, sources, targets):
    """The uniform enlargement of matrix's linear part that fits targets best."""
    a, b, _, d, e, _ = matrix
    mx = sum(x for x, _ in sources) / len(sources)
    my = sum(y for _, y in sources) / len(sources)
    mu = sum(u for u, _ in targets) / len(targets)
    mv = sum(v for _, v in targets) / len(targets)
    num = den = 0.0
    for (x, y), (u, v) in zip(sources, targets):
        pu = a * (x - mx) + b * (y - my)
        pv = d * (x - mx) + e * (y - my)
        num += pu * (u - mu) + pv * (v - mv)
        den += pu * pu + pv * pv
    return num / den


def project_polygons(polygons, matrix):
    return [[[apply(matrix, p) for p in ring] for ring in polygon] for polygon in polygons]


def bounds(polygons):
    xs = [x for polygon in polygons for ring in polygon for x, _ in ring]
    ys = [y for polygon in polygons for ring in polygon for _, y in ring]
    return min(xs), min(ys), max(xs), max(ys)


def km_per_pixel(matrix):
    """The two principal scales of the linear part, in km per pixel."""
    a, b, _, d, e, _ = matrix
    p = a * a + b * b + d * d + e * e
    q = abs(a * e - b * d)
    root = math.sqrt(max(p * p / 4 - q * q, 0.0))
    big = math.sqrt(p / 2 + root)
    small = math.sqrt(p / 2 - root)
    return KM_PER_DEGREE / big, KM_PER_DEGREE / small


def great_circle_km(lonlat1, lonlat2):
    lon1, lat1 = map(math.radians, lonlat1)
    lon2, lat2 = map(math.radians, lonlat2)
    h = (math.sin((lat2 - lat1) / 2) ** 2
         + math.cos(lat1) * math.cos(lat2) * math.sin((lon2 - lon1) / 2) ** 2)
    return 2 * 6371.0 * math.asin(math.sqrt(h))


# ---------------------------------------------------------------- raster

def rasterize(polygons):
    """Pixels (x, y) whose point (x, y) lies inside, by the even-odd rule.

    Rows are half-open on the upper end of each edge and a pixel belongs to a
    span when it lies right of its left crossing and not right of its right
    one, so two contours sharing an edge never share a pixel.
    """
    rows = collections.defaultdict(list)
    for polygon in polygons:
        for ring in polygon:
            for (x1, y1), (x2, y2) in zip(ring, ring[1:] + ring[:1]):
                if y1 == y2:
                    continue
                if y1 > y2:
                    x1, y1, x2, y2 = x2, y2, x1, y1
                for j in range(max(math.ceil(y1), 0), min(math.ceil(y2), HEIGHT)):
                    rows[j].append(x1 + (j - y1) * (x2 - x1) / (y2 - y1))
    pixels = []
    for j in sorted(rows):
        xs = sorted(rows[j])
        for k in range(0, len(xs) - 1, 2):
            for i in range(max(math.floor(xs[k]) + 1, 0),
                           min(math.floor(xs[k + 1]), WIDTH - 1) + 1):
                pixels.append((i, j))
    return pixels


def neighbours4(x, y):
    for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
        if 0 <= nx < WIDTH and 0 <= ny < HEIGHT:
            yield nx, ny


def components(grid, accept):
    """4-connected components of the cells whose value passes accept.

    Returns (component id per cell or -1, list of pixel lists), scanned in
    row order so that the result is the same every run.
    """
    ids = [[-1] * WIDTH for _ in range(HEIGHT)]
    parts = []
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if ids[y][x] != -1 or not accept(grid[y][x]):
                continue
            value = grid[y][x]
            index = len(parts)
            pixels = []
            stack = [(x, y)]
            ids[y][x] = index
            while stack:
                px, py = stack.pop()
                pixels.append((px, py))
                for nx, ny in neighbours4(px, py):
                    if ids[ny][nx] == -1 and grid[ny][nx] == value and accept(value):
                        ids[ny][nx] = index
                        stack.append((nx, ny))
            parts.append(pixels)
    return ids, parts


# ---------------------------------------------------------------- the picture

class Region:
    def __init__(self, name, polygons, seed, number):
        self.name = name
        self.polygons = polygons      # in pixel space
        self.seed = seed              # None for the mainland Paris patch
        self.number = number          # the table's row, None for the patch


def frame_pixels(frame, extra_rows):
    left, top, right, bottom = frame
    pixels = set()
    for x in range(left, right + 1):
        for y in (top, bottom) + extra_rows:
            pixels.add((x, y))
    for y in range(top, bottom + 1):
        pixels.add((left, y))
        pixels.add((right, y))
    return pixels


def run_time_lines():
    """The black lines the program draws over the picture."""
    pixels = set()
    for x0, top, bottom in ((70, 14, 68), (11, 14, 68), (204, 222, 266)):
        for y in range(top, bottom + 1):
            pixels.add((x0, y))
            pixels.add((x0 + 1, y))
    return pixels


def decorations():
    """Frames, scale bar (black) and scale label (blue): pixel -> colour."""
    ink = {}
    for p in frame_pixels(PARIS_FRAME, (14, 68)):
        ink[p] = BLACK
    for p in frame_pixels(CORSICA_FRAME, (222, 266)):
        ink[p] = BLACK
    for x in range(SCALE_X0, SCALE_X1 + 1):
        ink[(x, SCALE_Y)] = BLACK
    for x in SCALE_TICKS:
        ink[(x, SCALE_Y - 1)] = BLACK
        ink[(x, SCALE_Y - 2)] = BLACK
    x = LABEL_LEFT
    for char in LABEL_TEXT:
        glyph = FONT[char]
        for row, line in enumerate(glyph):
            for column, cell in enumerate(line):
                if cell == "#":
                    ink[(x + column, LABEL_TOP + row)] = BLUE
        x += len(glyph[0]) + LETTER_GAP
    return ink


class Drawing:
    """The label of every pixel, and the local corrections to the border rule.

    A pixel is black when its label differs from that of its right or lower
    neighbour. Two kinds of correction refine that: a pixel kept white turns
    its differently labelled side neighbours black instead, which opens a
    border where a département would otherwise be cut in two; a pixel forced
    black closes a scrap of a few pixels. Neither can let two side
    neighbours of different labels both stay white.
    """

    def __init__(self, labels, regions, ink):
        self.labels = labels
        self.regions = regions
        self.ink = ink
        self.kept_white = set()
        self.forced_black = set()
        self.relabelled = 0
        self.nudged_seeds = set()

    # -- the picture

    def render(self):
        labels = self.labels
        image = [[SEA] * WIDTH for _ in range(HEIGHT)]
        for y in range(HEIGHT):
            row = labels[y]
            below = labels[y + 1] if y + 1 < HEIGHT else None
            for x in range(WIDTH):
                here = row[x]
                if (x + 1 < WIDTH and row[x + 1] != here) or (
                        below is not None and below[x] != here):
                    image[y][x] = BLACK
                elif here != SEA_LABEL:
                    image[y][x] = WHITE
        for x, y in self.kept_white:
            image[y][x] = WHITE
        for x, y in self.kept_white:
            for nx, ny in neighbours4(x, y):
                if labels[ny][nx] != labels[y][x]:
                    image[ny][nx] = BLACK
        for x, y in self.forced_black:
            image[y][x] = BLACK
        for (x, y), colour in self.ink.items():
            image[y][x] = colour
        return image

    def thin(self, image):
        """Lightens black pixels that no border needs, where lines meet.

        A black pixel whose side neighbours are all black or of its own
        area's colour separates nothing: it takes that colour, provided one
        of those neighbours has it already (no new one-pixel area).
        """
        lines = run_time_lines()
        thinned = 0
        for y in range(1, HEIGHT - 1):
            for x in range(1, WIDTH - 1):
                if (image[y][x] != BLACK or (x, y) in self.ink or (x, y) in lines
                        or (x, y) in self.forced_black):
                    continue
                colour = SEA if self.labels[y][x] == SEA_LABEL else WHITE
                around = [image[ny][nx] for nx, ny in neighbours4(x, y)]
                if colour in around and all(c in (BLACK, colour) for c in around) and all(
                        self.labels[ny][nx] == self.labels[y][x]
                        for nx, ny in neighbours4(x, y) if image[ny][nx] == colour):
                    image[y][x] = colour
                    thinned += 1
        return thinned

    # -- the labels

    def main_parts(self, ids, parts, label_at):
        """Label -> index of its main part: the seed's, else the largest."""
        main = {}
        for index, region in enumerate(self.regions):
            if region.seed is not None:
                sx, sy = region.seed
                if label_at(sx, sy) == index and ids[sy][sx] != -1:
                    main[index] = ids[sy][sx]
        for part, pixels in enumerate(parts):
            label = label_at(*pixels[0])
            if label == SEA_LABEL or self.regions[label].seed is not None:
                continue
            if label not in main or len(pixels) > len(parts[main[label]]):
                main[label] = part
        return main

    def adopt(self, pixels, label_ids, main):
        """Gives a stray piece the label of a main part it touches."""
        labels = self.labels
        own = labels[pixels[0][1]][pixels[0][0]]
        members = set(pixels)
        counts = collections.Counter()
        fallback = collections.Counter()
        for x, y in pixels:
            for nx, ny in neighbours4(x, y):
                if (nx, ny) in members:
                    continue
                other = labels[ny][nx]
                if other == own:
                    continue
                fallback[other] += 1
                if main.get(other) == label_ids[ny][nx]:
                    counts[other] += 1
        counts = counts or fallback
        if not counts:
            return False
        best = max(counts.values())
        new = min(label for label, count in counts.items() if count == best)
        for x, y in pixels:
            labels[y][x] = new
        self.relabelled += len(pixels)
        return True

    def settle_labels(self):
        """Each département one piece holding its seed; the sea one piece."""
        labels = self.labels
        for _ in range(MAX_ROUNDS):
            changed = False
            for index, region in enumerate(self.regions):
                if region.seed is None:
                    continue
                sx, sy = region.seed
                for x, y in ((sx, sy), (sx + 1, sy), (sx, sy + 1)):
                    if labels[y][x] != index:
                        labels[y][x] = index
                        self.relabelled += 1
                        self.nudged_seeds.add(region.name)
                        changed = True
            ids, parts = components(labels, lambda value: True)
            main = self.main_parts(ids, parts, lambda x, y: labels[y][x])
            ox, oy = OPEN_SEA_POINTS[0]
            main[SEA_LABEL] = ids[oy][ox]
            for part, pixels in enumerate(parts):
                x, y = pixels[0]
                if main.get(labels[y][x]) != part:
                    changed |= self.adopt(pixels, ids, main)
            if not changed:
                return
        fail("the départements' pixels do not settle into one piece each")

    # -- the drawn picture

    def conflicts(self, x, y):
        label = self.labels[y][x]
        return any((nx, ny) in self.kept_white and self.labels[ny][nx] != label
                   for nx, ny in neighbours4(x, y))

    def bridge(self, piece, target, image):
        """The black pixels to keep white to join piece to target (0-1 BFS)."""
        labels = self.labels
        label = labels[piece[0][1]][piece[0][0]]
        cost = {p: 0 for p in piece}
        previous = {}
        queue = collections.deque(piece)
        while queue:
            p = queue.popleft()
            if p in target:
                path = []
                while p in previous:
                    if image[p[1]][p[0]] == BLACK:
                        path.append(p)
                    p = previous[p]
                return path
            for q in neighbours4(*p):
                qx, qy = q
                if labels[qy][qx] != label or q in self.forced_black or q in self.ink:
                    continue
                if image[qy][qx] == BLACK and self.conflicts(qx, qy):
                    continue
                step = 1 if image[qy][qx] == BLACK else 0
                if cost[p] + step < cost.get(q, MAX_BRIDGE + 1):
                    cost[q] = cost[p] + step
                    previous[q] = p
                    if step:
                        queue.append(q)
                    else:
                        queue.appendleft(q)
        return None

    def correct(self):
        """One round over the drawn picture; returns whether anything changed."""
        self.settle_labels()
        image = self.render()
        changed = False

        for region in self.regions:
            if region.seed is None:
                continue
            sx, sy = region.seed
            if image[sy][sx] != WHITE:
                if self.conflicts(sx, sy):
                    fail("cannot clear the border under the seed of %s" % region.name)
                self.kept_white.add((sx, sy))
                self.nudged_seeds.add(region.name)
                changed = True
        if changed:
            return True

        ids, parts = components(image, lambda c: c == WHITE)
        main = self.main_parts(ids, parts, lambda x, y: self.labels[y][x])
        for part, pixels in enumerate(parts):
            x, y = pixels[0]
            label = self.labels[y][x]
            if main.get(label) == part:
                continue
            if label not in main:
                fail("%s has no white area left" % self.regions[label].name)
            path = self.bridge(pixels, set(parts[main[label]]), image)
            if path is not None:
                self.kept_white.update(path)
            elif len(pixels) <= MAX_SCRAP:
                self.forced_black.update(pixels)
            else:
                fail("%d pixels of %s are cut off from its seed"
                     % (len(pixels), self.regions[label].name))
            changed = True
        if changed:
            return True

        ids, parts = components(image, lambda c: c == SEA)
        legitimate = set(OPEN_SEA_POINTS) | {PARIS_SEA_POINT, CORSICA_SEA_POINT}
        for pixels in parts:
            if legitimate & set(pixels):
                continue
            if any(self.ink.get(p) == BLUE for p in neighbours_of(pixels)):
                continue  # the inside of a letter
            if len(pixels) <= MAX_SCRAP:
                self.forced_black.update(pixels)
            else:
                label_ids, label_parts = components(self.labels, lambda value: True)
                label_main = self.main_parts(label_ids, label_parts,
                                             lambda x, y: self.labels[y][x])
                if not self.adopt(pixels, label_ids, label_main):
                    fail("cannot fill a closed sea pocket at %s" % (pixels[0],))
            changed = True
        return changed


def neighbours_of(pixels):
    members = set(pixels)
    for x, y in pixels:
        for p in neighbours4(x, y):
            if p not in members:
                yield p


# ---------------------------------------------------------------- checks

def verify(image, regions, projected):
    """Every promise the program relies on; returns (problems, figures)."""
    problems = []
    lines = run_time_lines()
    seen = [row[:] for row in image]
    for x, y in lines:
        seen[y][x] = BLACK

    allowed = {SEA, WHITE, BLACK, BLUE}
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if seen[y][x] not in allowed:
                problems.append("pixel (%d, %d) has colour %s" % (x, y, seen[y][x]))

    ids, white_parts = components(seen, lambda c: c == WHITE)
    owner = {}
    for index, region in enumerate(regions):
        if region.seed is None:
            continue
        sx, sy = region.seed
        if seen[sy][sx] != WHITE:
            problems.append("seed of %s at (%d, %d) is not white" % (region.name, sx, sy))
            continue
        part = ids[sy][sx]
        if part in owner:
            problems.append("seeds of %s and %s share one white area"
                            % (owner[part], region.name))
        owner[part] = region.name
        pixels = white_parts[part]
        polygons = projected[index]
        within = sum(1 for p in pixels if inside(p, polygons))
        if not inside(region.seed, polygons):
            problems.append("seed of %s lies outside its drawn shape" % region.name)
        if within < 0.8 * len(pixels):
            problems.append("area of %s: only %d of %d pixels within its shape"
                            % (region.name, within, len(pixels)))
        for x, y in pixels:
            if (x, y) in lines:
                problems.append("area of %s under a run-time line" % region.name)
                break

    # The four inner départements merged: white, in the patch's box, in an
    # area of its own (the border rule keeps it apart from its neighbours).
    patch_parts = {ids[y][x]
                   for x in range(PARIS_PATCH_BOX[0], PARIS_PATCH_BOX[2] + 1)
                   for y in range(PARIS_PATCH_BOX[1], PARIS_PATCH_BOX[3] + 1)
                   if seen[y][x] == WHITE and ids[y][x] not in owner}
    if len(patch_parts) != 1:
        problems.append("the mainland Paris patch is not one unseeded white area in %s"
                        % (PARIS_PATCH_BOX,))

    sea_ids, sea_parts = components(seen, lambda c: c == SEA)
    open_sea = sea_ids[OPEN_SEA_POINTS[0][1]][OPEN_SEA_POINTS[0][0]]
    for x, y in OPEN_SEA_POINTS:
        if seen[y][x] != SEA or sea_ids[y][x] != open_sea:
            problems.append("(%d, %d) is not in the open sea" % (x, y))
    for x, y in (PARIS_SEA_POINT, CORSICA_SEA_POINT):
        if seen[y][x] != SEA or sea_ids[y][x] == open_sea:
            problems.append("(%d, %d) is not in an inset's own sea" % (x, y))

    figures = {
        "white areas": len(white_parts),
        "sea areas": len(sea_parts),
        "open sea pixels": len(sea_parts[open_sea]),
        "seeded areas": len(owner),
        "extra white areas": len(white_parts) - len(owner),
        "largest extra white area": max(
            [len(p) for i, p in enumerate(white_parts) if i not in owner] or [0]),
        "colours": collections.Counter(c for row in seen for c in row),
    }
    return problems, figures


def frame_contains(x, y):
    for left, top, right, bottom in (PARIS_FRAME, CORSICA_FRAME):
        if left <= x <= right and top <= y <= bottom:
            return True
    return False


# ---------------------------------------------------------------- output

def bmp_bytes(image):
    row_size = (WIDTH * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for r, g, b in image[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data),
                       3780, 3780, 0, 0)
    return header + info + bytes(data)


def write_projection(path, transforms, codes):
    """The affine maps, one line each, with the contours each one draws."""
    lines = [
        "{",
        '  "comment": "Written by tools/make_map.py. A contour point (longitude, latitude) '
        'is first (x, y) = (longitude * lonScale, latitude), then pixel (a x + b y + c, '
        'd x + e y + f) by the transform that lists its code; pixel (u, v) stands for the '
        'point (u, v). A seed point lies over the contours of seedCodes, by default '
        'its number on two digits.",',
        '  "lonScale": %s,' % json.dumps(LON_SCALE),
        '  "seedCodes": {"20": %s},' % json.dumps(list(CORSICA_CODES)),
        '  "transforms": {',
    ]
    names = list(transforms)
    for name in names:
        entry = dict(zip("abcdef", transforms[name]))
        entry["codes"] = codes[name]
        lines.append("    %s: %s%s" % (json.dumps(name), json.dumps(entry),
                                        "," if name != names[-1] else ""))
    lines += ["  }", "}"]
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def write_projection_table(path, transforms, numbers):
    """The same affine maps as a C++ header the program compiles in, so that
    it places a commune with the very numbers the picture was drawn with."""
    lines = [
        "#pragma once",
        "",
        "// Written by tools/make_map.py together with resources/map.bmp: the affine",
        "// maps the picture was drawn with. Run the tool again rather than edit it.",
        "// A position (longitude, latitude) in degrees is first",
        "// (x, y) = (longitude * lonScale, latitude), then the map point",
        "// (a x + b y + c, d x + e y + f) of the inset its département is drawn in;",
        "// the pixel (u, v) stands for the point (u, v).",
        "",
        "namespace mapProjectionTable {",
        "",
        "struct Affine",
        "{",
        "    double a, b, c, d, e, f;",
        "};",
        "",
        "// One line per map, as the tool writes it.",
        "// clang-format off",
        "inline constexpr double lonScale = %r;" % LON_SCALE,
    ]
    for name in transforms:
        lines.append("inline constexpr Affine %s{%s};"
                     % (name, ", ".join(repr(v) for v in transforms[name])))
    lines.append("")
    lines.append("// The département numbers of the map's table drawn in each inset; every")
    lines.append("// other number from 1 to 95 is drawn on the mainland.")
    for name in transforms:
        if name == "mainland":
            continue
        lines.append("inline constexpr int %sDepartements[] = {%s};"
                     % (name, ", ".join(str(n) for n in numbers[name])))
    lines += ["// clang-format on", "", "} // namespace mapProjectionTable"]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("geojson", nargs="?", default=DEFAULT_GEOJSON,
                        help="departements.geojson (default: %(default)s)")
    parser.add_argument("--output", default=OUTPUT_BMP)
    parser.add_argument("--projection", default=OUTPUT_JSON)
    parser.add_argument("--projection-table", default=OUTPUT_TABLE)
    parser.add_argument("--keep-failed", metavar="BMP",
                        help="where to write the picture when it fails its checks")
    args = parser.parse_args()

    check_seed_table(os.path.join(REPO_ROOT, "departements", "DepartementTable.cpp"))

    departements = load_departements(args.geojson)

    # The mainland fit, on the centroids of the départements seeded there.
    mainland = [n for n in range(1, 96) if n != 20 and "%02d" % n not in PARIS_CODES]
    sources = [centroid(departements["%02d" % n]) for n in mainland]
    targets = [SEEDS[n] for n in mainland]
    paris_polygons = [p for c in PARIS_CODES for p in departements[c]]
    patch_centre = ((PARIS_PATCH_BOX[0] + PARIS_PATCH_BOX[2]) / 2,
                    (PARIS_PATCH_BOX[1] + PARIS_PATCH_BOX[3]) / 2)
    main_matrix = rounded(fit_affine(sources + [centroid(paris_polygons)],
                                     targets + [patch_centre]))
    residuals = [math.dist(apply(main_matrix, s), t) for s, t in zip(sources, targets)]
    rms = math.sqrt(sum(r * r for r in residuals) / len(residuals))
    worst = max(zip(residuals, mainland))
    outside = [n for n in mainland if not inside(
        apply(invert(main_matrix), SEEDS[n]), departements["%02d" % n])]
    if outside:
        fail("the fitted map puts the seeds of %s outside their départements" % outside)

    # Paris inset: the mainland's shape, enlarged to fit its four seeds.
    paris_sources = [centroid(departements[c]) for c in PARIS_CODES]
    paris_targets = [SEEDS[int(c)] for c in PARIS_CODES]
    factor = fit_factor(main_matrix, paris_sources, paris_targets)
    while True:
        paris_matrix = rounded(place_linear(main_matrix, factor, paris_sources, paris_targets))
        left, top, right, bottom = bounds(project_polygons(paris_polygons, paris_matrix))
        if (left >= PARIS_INNER[0] and top >= PARIS_INNER[1]
                and right <= PARIS_INNER[2] and bottom <= PARIS_INNER[3]):
            break
        factor *= 0.99
        if factor < 2:
            fail("the Paris inset cannot hold its four départements")

    # Corsica inset: same scale as the mainland, the island centred inside.
    corsica_polygons = [p for c in CORSICA_CODES for p in departements[c]]
    unshifted = scale_and_shift(main_matrix, 1.0, (0.0, 0.0))
    left, top, right, bottom = bounds(project_polygons(corsica_polygons, unshifted))
    inner = CORSICA_INNER
    shift = (round((inner[0] + inner[2]) / 2 - (left + right) / 2, 3),
             round((inner[1] + inner[3]) / 2 - (top + bottom) / 2, 3))
    corsica_matrix = rounded(scale_and_shift(main_matrix, 1.0, shift))
    left, top, right, bottom = bounds(project_polygons(corsica_polygons, corsica_matrix))
    if left < inner[0] or top < inner[1] or right > inner[2] or bottom > inner[3]:
        fail("Corsica (%.1f..%.1f, %.1f..%.1f) does not fit in its inset"
             % (left, right, top, bottom))

    transforms = {"mainland": main_matrix, "paris": paris_matrix, "corsica": corsica_matrix}
    codes_of = {name: [] for name in transforms}
    numbers_of = {name: [] for name in transforms}
    regions = []
    for n in range(1, 96):
        if n == 20:
            codes, transform = list(CORSICA_CODES), "corsica"
        elif "%02d" % n in PARIS_CODES:
            codes, transform = ["%02d" % n], "paris"
        else:
            codes, transform = ["%02d" % n], "mainland"
        codes_of[transform] += codes
        numbers_of[transform].append(n)
        polygons = project_polygons([p for c in codes for p in departements[c]],
                                    transforms[transform])
        regions.append(Region("département %d" % n, polygons, SEEDS[n], n))
    regions.append(Region("Paris patch",
                          project_polygons(paris_polygons, main_matrix), None, None))
    projected = [region.polygons for region in regions]

    labels = [[SEA_LABEL] * WIDTH for _ in range(HEIGHT)]
    overlaps = 0
    for index, region in enumerate(regions):
        for x, y in rasterize(region.polygons):
            if labels[y][x] != SEA_LABEL:
                overlaps += 1
            labels[y][x] = index

    ink = decorations()
    for (x, y) in list(ink) + list(run_time_lines()):
        if labels[y][x] != SEA_LABEL:
            fail("land under a frame or the scale bar at (%d, %d)" % (x, y))

    drawing = Drawing(labels, regions, ink)
    rounds = 0
    while drawing.correct():
        rounds += 1
        if rounds >= MAX_ROUNDS:
            fail("the drawing does not settle after %d rounds of corrections" % rounds)
    image = drawing.render()
    thinned = drawing.thin(image)
    problems, figures = verify(image, regions, projected)
    if problems and args.keep_failed:
        with open(args.keep_failed, "wb") as f:
            f.write(bmp_bytes(image))
    if problems:
        fail("the picture is not right:\n  " + "\n  ".join(problems))

    data = bmp_bytes(image)
    if len(data) != 237262:
        fail("the picture file has %d bytes, not 237262" % len(data))
    with open(args.output, "wb") as f:
        f.write(data)
    write_projection(args.projection, transforms, {name: sorted(codes) for name, codes in codes_of.items()})
    write_projection_table(args.projection_table, transforms, numbers_of)

    kms = km_per_pixel(main_matrix)
    inverse = invert(main_matrix)
    bar_ends = [apply(inverse, (x, 150)) for x in (SCALE_X0, SCALE_X1)]
    bar_km = great_circle_km(*[(x / LON_SCALE, y) for x, y in bar_ends])
    mainland_px = [(x, y) for y in range(HEIGHT) for x in range(WIDTH)
                   if labels[y][x] != SEA_LABEL and not frame_contains(x, y)]
    print("fit on %d mainland centroids and the Paris patch: rms %.2f px over the "
          "centroids, worst %.2f px (%d)" % (len(mainland), rms, worst[0], worst[1]))
    print("mainland scale: %.2f / %.2f km per px (%.2f mean); the bar's %d px "
          "span %.0f km on the map (label: %d km)"
          % (kms[0], kms[1], math.sqrt(kms[0] * kms[1]), SCALE_X1 - SCALE_X0, bar_km, SCALE_KM))
    print("mainland x %d..%d, y %d..%d"
          % (min(x for x, _ in mainland_px), max(x for x, _ in mainland_px),
             min(y for _, y in mainland_px), max(y for _, y in mainland_px)))
    print("Paris inset: %.2fx the mainland scale" % factor)
    print("contour overlaps: %d px; seed points nudged: %d %s"
          % (overlaps, len(drawing.nudged_seeds), ", ".join(sorted(drawing.nudged_seeds))))
    print("black pixels lightened where lines meet: %d" % thinned)
    print("corrections in %d rounds: %d px relabelled, %d kept white, %d inked over"
          % (rounds, drawing.relabelled, len(drawing.kept_white), len(drawing.forced_black)))
    for key, value in figures.items():
        if key == "colours":
            print("colours: " + ", ".join("%s %d" % (c, n) for c, n in sorted(value.items())))
        else:
            print("%s: %s" % (key, value))
    print("wrote %s (%d bytes), %s and %s" % (os.path.relpath(args.output, REPO_ROOT), len(data),
                                              os.path.relpath(args.projection, REPO_ROOT),
                                              os.path.relpath(args.projection_table, REPO_ROOT)))


if __name__ == "__main__":
    main()
