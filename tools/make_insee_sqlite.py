#!/usr/bin/env python3
"""Builds the commune table shipped with the program, data/insee.sqlite.

One row per current commune of metropolitan France (Corsica included) and of
the five overseas départements 971-976, in the order of the INSEE commune
code, in table insee1 (commune, longitude, latitude, codepos, departement,
population);
every postal code of each in table codes_postaux; and the other names that
lead to a current commune (communes déléguées and associées, former communes
merged into it, municipal arrondissements) in table autres_noms.

Reads, under the source folder (default ../shared/data next to this checkout):
  decoupage-administratif/communes.json      current communes, postal codes
  decoupage-administratif/departements.json  département names
  france-geojson/departements/*/communes-*.geojson  2018 commune contours

Usage: python3 tools/make_insee_sqlite.py [SOURCE_DIR [OUTPUT_FILE]]
Standard library only; the same sources give the same file, byte for byte.
"""

import argparse
import collections
import glob
import json
import math
import os
import re
import sqlite3
import sys
import time
import unicodedata

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_SOURCE = os.path.join(REPO_ROOT, "..", "shared", "data")
DEFAULT_OUTPUT = os.path.join(REPO_ROOT, "data", "insee.sqlite")

OVERSEAS_DEPARTEMENTS = ("971", "972", "973", "974", "976")

# Communes re-created after 2018 out of a commune nouvelle: they have no 2018
# contour of their own, and the commune list no longer links them to it. Each
# is placed at the centroid of the 2018 contour of the commune nouvelle it was
# split from (the contour that also carries the code of its former partner).
RECREATED_FROM = {
    "14666": "14712",  # Sannerville, out of Saline (now Troarn)
    "15031": "15141",  # Celles, out of Neussargues en Pinatelle (now Neussargues-Moissac)
    "15035": "15141",  # Chalinargues, same
    "15047": "15141",  # Chavagnac, same
    "15171": "15141",  # Sainte-Anastasie, same
    "85165": "85084",  # L'Oie, out of Essarts en Bocage
    "85212": "85084",  # Sainte-Florence, same
}

# Parts of a commune's contour farther than this from its largest part are
# taken for errors in the contour data (see centroid()).
FAR_PART_KM = 100.0
KM_PER_DEGREE = 111.2

SCHEMA = ("CREATE TABLE insee1(commune TEXT, longitude REAL, latitude REAL, "
          "codepos TEXT, departement TEXT, population INTEGER)")
# Every postal code of every commune: `commune` is the rowid of its insee1 row.
POSTCODE_SCHEMA = "CREATE TABLE codes_postaux(commune INTEGER, codepos TEXT)"
# Other names of current communes: `commune` is the other name, in the stored
# form of insee1 names, `actuelle` the rowid of the insee1 row it leads to,
# `codepos` the lowest postal code of a municipal arrondissement (NULL for
# the other kinds, which have none of their own).
OTHER_NAMES_SCHEMA = ("CREATE TABLE autres_noms(commune TEXT, nature TEXT, actuelle INTEGER, "
                      "codepos TEXT)")

# The kinds of other names, in the order a commune's other names are listed.
ARRONDISSEMENT = "arrondissement municipal"
DELEGUEE = "commune déléguée"
ASSOCIEE = "commune associée"
ANCIENNE = "ancienne commune"
KIND_ORDER = (ARRONDISSEMENT, DELEGUEE, ASSOCIEE, ANCIENNE)
KIND_OF_TYPE = {
    "arrondissement-municipal": ARRONDISSEMENT,
    "commune-deleguee": DELEGUEE,
    "commune-associee": ASSOCIEE,
}

LIGATURES = {"Œ": "OE", "œ": "oe", "Æ": "AE", "æ": "ae"}
NAME_PATTERN = re.compile(r"[A-Z0-9]+( [A-Z0-9]+)*")
DEPARTEMENT_PATTERN = re.compile(r"[A-Z' -]+")


def strip_accents(text):
    for ligature, letters in LIGATURES.items():
        text = text.replace(ligature, letters)
    decomposed = unicodedata.normalize("NFD", text)
    return "".join(ch for ch in decomposed if not unicodedata.combining(ch))


def commune_name(nom, odd_characters):
    """The stored form of a commune name: L'Abergement-Clémenciat gives
    L ABERGEMENT CLEMENCIAT, Saint-Étienne gives ST ETIENNE."""
    text = strip_accents(nom).upper()
    out = []
    for ch in text:
        if "A" <= ch <= "Z" or "0" <= ch <= "9":
            out.append(ch)
        elif ch in " -'’":
            out.append(" ")
        elif ch.isalpha():
            raise SystemExit(f"letter {ch!r} left in commune name {nom!r}")
        else:
            odd_characters[ch].append(nom)
            out.append(" ")
    words = ["ST" if w == "SAINT" else "STE" if w == "SAINTE" else w
             for w in "".join(out).split()]
    name = " ".join(words)
    if not NAME_PATTERN.fullmatch(name):
        raise SystemExit(f"commune name {nom!r} gives {name!r}")
    return name


def departement_name(nom):
    """Upper case, no accents, hyphens and apostrophes kept: COTES-D'ARMOR."""
    name = strip_accents(nom).upper().replace("’", "'")
    if not DEPARTEMENT_PATTERN.fullmatch(name):
        raise SystemExit(f"département name {nom!r} gives {name!r}")
    return name


def code_order(code):
    # Corsica (2A, 2B) sorts where département 20 was, between 19 and 21;
    # as plain text "2A..." would come after "29...".
    if code[:2] in ("2A", "2B"):
        return "20" + code
    return code


def ring_moments(ring, lon0, lat0, k):
    """Signed area and first moments of a ring in the plane x = (lon - lon0) * k,
    y = lat - lat0 (shoelace)."""
    area = mx = my = 0.0
    n = len(ring)
    if n < 3:
        return 0.0, 0.0, 0.0
    px = (ring[-1][0] - lon0) * k
    py = ring[-1][1] - lat0
    for lon, lat in ring:
        x = (lon - lon0) * k
        y = lat - lat0
        cross = px * y - x * py
        area += cross
        mx += (px + x) * cross
        my += (py + y) * cross
        px, py = x, y
    return area / 2.0, mx / 6.0, my / 6.0


def polygon_moments(polygon, lon0, lat0, k):
    """Area and first moments of one polygon: its outer ring adds, its holes
    take away, whichever way they wind."""
    total = sx = sy = 0.0
    for index, ring in enumerate(polygon):
        area, mx, my = ring_moments(ring, lon0, lat0, k)
        sign = 1.0 if area >= 0 else -1.0
        if index > 0:
            sign = -sign
        total += sign * area
        sx += sign * mx
        sy += sign * my
    return total, sx, sy


def centroid(polygons):
    """Area-weighted centroid (lon, lat) of polygons with holes, each a list of
    rings, outer ring first, and the number of parts left out of it.

    Longitudes are scaled by cos(mid latitude) so that areas are nearly true
    at the scale of a commune. A part lying more than FAR_PART_KM from the
    largest one is left out: no commune stretches that far, and the 2018
    contours give Cayenne such a stray part, off the Maroni estuary, that
    would otherwise pull the town 24 km away into its neighbour."""
    lats = [lat for polygon in polygons for ring in polygon for _, lat in ring]
    mid = (min(lats) + max(lats)) / 2.0
    k = math.cos(math.radians(mid))
    lon0, lat0 = polygons[0][0][0][0], polygons[0][0][0][1]
    parts = [polygon_moments(polygon, lon0, lat0, k) for polygon in polygons]
    largest = max(parts, key=lambda part: part[0])
    if largest[0] <= 0:
        raise ValueError("contour without area")
    lx, ly = largest[1] / largest[0], largest[2] / largest[0]
    total = sx = sy = 0.0
    left_out = 0
    for area, mx, my in parts:
        if area > 0 and math.hypot(mx / area - lx, my / area - ly) * KM_PER_DEGREE > FAR_PART_KM:
            left_out += 1
            continue
        total += area
        sx += mx
        sy += my
    return lon0 + sx / total / k, lat0 + sy / total, left_out


def read_contours(source):
    """2018 contours by INSEE code, each a list of polygons, and the 2018
    names by INSEE code (written without their leading article: Havre for
    Le Havre)."""
    pattern = os.path.join(source, "france-geojson", "departements", "*", "communes-*.geojson")
    files = sorted(glob.glob(pattern))
    if not files:
        raise SystemExit(f"no commune contours under {source}")
    contours = {}
    names = {}
    for path in files:
        with open(path, encoding="utf-8") as f:
            collection = json.load(f)
        for feature in collection["features"]:
            code = feature["properties"]["code"]
            geometry = feature["geometry"]
            if geometry["type"] == "Polygon":
                polygons = [geometry["coordinates"]]
            elif geometry["type"] == "MultiPolygon":
                polygons = geometry["coordinates"]
            else:
                raise SystemExit(f"{path}: geometry {geometry['type']} for {code}")
            if code in contours:
                raise SystemExit(f"{path}: contour {code} seen twice")
            contours[code] = polygons
            names[code] = feature["properties"]["nom"]
    return contours, names


def zone_of(commune):
    if commune["zone"] == "metro":
        return "metro"
    if commune["departement"] in OVERSEAS_DEPARTEMENTS:
        return commune["departement"]
    return None


def build_rows(source):
    base = os.path.join(source, "decoupage-administratif")
    with open(os.path.join(base, "communes.json"), encoding="utf-8") as f:
        communes = json.load(f)
    with open(os.path.join(base, "departements.json"), encoding="utf-8") as f:
        departements = {d["code"]: departement_name(d["nom"]) for d in json.load(f)}
    contours, names_2018 = read_contours(source)

    left_out = collections.Counter()
    left_out_names = []
    merged = []
    recreated = []
    odd_characters = collections.defaultdict(list)
    foreign_postcodes = []
    own_preferred = []
    postcode_rows = []
    stray_parts = []
    per_zone = collections.Counter()
    used_contours = set()
    rows = []
    rowid_of = {}

    for commune in sorted(communes, key=lambda c: code_order(c["code"])):
        code = commune["code"]
        if commune["type"] != "commune-actuelle":
            left_out[f"not a current commune ({commune['type']})"] += 1
            continue
        zone = zone_of(commune)
        if zone is None:
            left_out[f"overseas collectivity ({commune['departement']})"] += 1
            continue

        parts = [c for c in [code] + commune.get("anciensCodes", []) if c in contours]
        if not parts and code in RECREATED_FROM:
            parts = [RECREATED_FROM[code]]
            recreated.append((code, commune["nom"], parts[0]))
        elif parts and parts != [code]:
            merged.append(code)
        if not parts:
            left_out["no 2018 contour, no rule to place it"] += 1
            left_out_names.append(f"{code} {commune['nom']} (no contour)")
            continue
        postcodes = sorted(commune.get("codesPostaux", []))
        if not postcodes:
            left_out["no postal code"] += 1
            left_out_names.append(f"{code} {commune['nom']} (no postal code)")
            continue
        postcodes = sorted(set(postcodes))
        for postcode in postcodes:
            if not re.fullmatch(r"\d{5}", postcode):
                raise SystemExit(f"{code}: postal code {postcode!r}")
        expected_prefix = "20" if zone == "metro" and code[:2] in ("2A", "2B") else \
            (code[:2] if zone == "metro" else zone)
        # The lowest code of the commune's own département, so that the map
        # shows its own; the lowest of all only when it has none there.
        own = [postcode for postcode in postcodes if postcode.startswith(expected_prefix)]
        codepos = own[0] if own else postcodes[0]
        if not own:
            foreign_postcodes.append(f"{code} {commune['nom']} {codepos}")
        elif own[0] != postcodes[0]:
            own_preferred.append(f"{code} {commune['nom']} {codepos} (not {postcodes[0]})")

        used_contours.update(parts)
        polygons = [polygon for part in parts for polygon in contours[part]]
        lon, lat, stray = centroid(polygons)
        if stray:
            stray_parts.append(f"{code} {commune['nom']}: {stray} part(s)")
        rows.append((commune_name(commune["nom"], odd_characters),
                     round(lon, 5), round(lat, 5), codepos,
                     departements[commune["departement"]]))
        postcode_rows.extend((len(rows), postcode) for postcode in postcodes)
        rowid_of[code] = len(rows)
        per_zone[zone] += 1

    rows = with_populations(rows, communes, rowid_of)
    other_rows, other_report = build_other_names(communes, names_2018, rowid_of,
                                                 {row[0] for row in rows}, odd_characters)
    report = {
        "per_zone": per_zone,
        "merged": merged,
        "recreated": recreated,
        "left_out": left_out,
        "left_out_names": left_out_names,
        "odd_characters": odd_characters,
        "foreign_postcodes": foreign_postcodes,
        "own_preferred": own_preferred,
        "stray_parts": stray_parts,
        "unused_contours": sorted(set(contours) - used_contours),
        "other_names": other_report,
    }
    return rows, postcode_rows, other_rows, report


def with_populations(rows, communes, rowid_of):
    """The rows with each commune's population appended (NULL when the
    commune list gives none), so that suggestions can put the larger
    communes first."""
    population_of = {rowid_of[c["code"]]: c.get("population") for c in communes
                     if c["type"] == "commune-actuelle" and c["code"] in rowid_of}
    return [row + (population_of.get(rowid),) for rowid, row in enumerate(rows, start=1)]


def build_other_names(communes, names_2018, rowid_of, current_names, odd_characters):
    """The rows of autres_noms, (name, kind, rowid, codepos) in the order of
    the communes they lead to, and what was counted on the way.

    A commune déléguée or associée leads to its chef-lieu, an arrondissement
    to its commune, and a former commune merged into a current one
    (anciensCodes) to that one; a former commune that is also déléguée or
    associée is named once, by that kind. A former commune's name is known
    only from the 2018 contours, so one merged before 2018 cannot be named.
    A name that some current commune bears is left out: the search finds the
    current commune first anyway."""
    unlinked = collections.Counter()
    candidates = []
    named_by_type = set()
    for commune in communes:
        kind = KIND_OF_TYPE.get(commune["type"])
        if kind is None:
            continue
        named_by_type.add(commune["code"])
        target = commune["commune"] if kind == ARRONDISSEMENT else commune["chefLieu"]
        if target not in rowid_of:
            unlinked[f"{kind}: its commune {target} is not in the table"] += 1
            continue
        postcodes = sorted(set(commune.get("codesPostaux", []))) if kind == ARRONDISSEMENT else []
        candidates.append((commune_name(commune["nom"], odd_characters), kind, rowid_of[target],
                           postcodes[0] if postcodes else None, commune["code"]))
    for commune in communes:
        if commune["type"] != "commune-actuelle":
            continue
        for code in commune.get("anciensCodes", []):
            if code in named_by_type:
                continue
            if commune["code"] not in rowid_of:
                unlinked[f"{ANCIENNE}: its commune {commune['code']} is not in the table"] += 1
            elif code not in names_2018:
                unlinked[f"{ANCIENNE}: merged before 2018, no name in the sources"] += 1
            else:
                candidates.append((commune_name(names_2018[code], odd_characters), ANCIENNE,
                                   rowid_of[commune["code"]], None, code))

    same_as_current = collections.Counter()
    repeated = collections.Counter()
    kept = {}
    # By commune, kind, then the INSEE code of the other name: Paris 1er to 20e.
    order = lambda c: (c[2], KIND_ORDER.index(c[1]), code_order(c[4]))
    for name, kind, rowid, codepos, _ in sorted(candidates, key=order):
        if name in current_names:
            same_as_current[kind] += 1
        elif (name, rowid) in kept:
            repeated[kind] += 1
        else:
            kept[(name, rowid)] = (name, kind, rowid, codepos)
    rows = list(kept.values())
    report = {
        "per_kind": collections.Counter(kind for _, kind, _, _ in rows),
        "same_as_current": same_as_current,
        "repeated": repeated,
        "unlinked": unlinked,
    }
    return rows, report


def write_database(rows, postcode_rows, other_rows, output):
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".partial"
    if os.path.exists(partial):
        os.remove(partial)
    db = sqlite3.connect(partial)
    db.execute("PRAGMA page_size = 4096")
    db.execute("PRAGMA journal_mode = OFF")
    db.execute(SCHEMA)
    db.executemany(f"INSERT INTO insee1 VALUES ({', '.join('?' * len(rows[0]))})", rows)
    db.execute(POSTCODE_SCHEMA)
    db.executemany("INSERT INTO codes_postaux VALUES (?, ?)", postcode_rows)
    db.execute(OTHER_NAMES_SCHEMA)
    db.executemany("INSERT INTO autres_noms VALUES (?, ?, ?, ?)", other_rows)
    db.commit()
    db.execute("VACUUM")
    db.close()
    os.replace(partial, output)


def print_report(rows, postcode_rows, other_rows, report, output, seconds):
    print(f"wrote {len(rows)} rows to {output} ({os.path.getsize(output)} bytes, {seconds:.1f} s)")
    for zone in ["metro", *OVERSEAS_DEPARTEMENTS]:
        print(f"  {zone:>5}: {report['per_zone'][zone]} rows")
    print(f"placed from merged contours (former communes since 2018): {len(report['merged'])}")
    print(f"placed at the contour they were split from: {len(report['recreated'])}")
    for code, nom, parent in report["recreated"]:
        print(f"  {code} {nom} -> contour {parent}")
    for line in report["stray_parts"]:
        print(f"contour part farther than {FAR_PART_KM:.0f} km from the rest, left out of the centroid: {line}")
    print(f"left out: {sum(report['left_out'].values())}")
    for reason, count in sorted(report["left_out"].items()):
        print(f"  {count:6} {reason}")
    for line in report["left_out_names"]:
        print(f"  left out: {line}")
    for ch, names in sorted(report["odd_characters"].items()):
        print(f"punctuation {ch!r} written as a blank in {len(names)} names: {', '.join(sorted(set(names)))}")
    print(f"codes_postaux: {len(postcode_rows)} rows, "
          f"{len(set(code for _, code in postcode_rows))} distinct codes")
    if report["own_preferred"]:
        print(f"own département's code chosen over a lower one elsewhere: {len(report['own_preferred'])}")
        for line in report["own_preferred"]:
            print(f"  {line}")
    if report["foreign_postcodes"]:
        print(f"no postal code in the commune's own département: {len(report['foreign_postcodes'])}")
        for line in report["foreign_postcodes"]:
            print(f"  {line}")
    print_population_report(rows)
    others = report["other_names"]
    print(f"autres_noms: {len(other_rows)} rows")
    for kind in KIND_ORDER:
        print(f"  {others['per_kind'][kind]:6} {kind}")
    for kind, count in sorted(others["same_as_current"].items()):
        print(f"  left out, the name of a current commune: {count} {kind}")
    for kind, count in sorted(others["repeated"].items()):
        print(f"  left out, the same name already leads to the same commune: {count} {kind}")
    for reason, count in sorted(others["unlinked"].items()):
        print(f"  not linked: {count} {reason}")
    if report["unused_contours"]:
        print(f"2018 contours used by no commune: {' '.join(report['unused_contours'])}")


def print_population_report(rows):
    known = [row[-1] for row in rows if row[-1] is not None]
    print(f"population: {len(known)} communes with one, {len(rows) - len(known)} without, "
          f"{sum(known)} inhabitants, {sum(1 for p in known if p >= 5000)} communes of 5,000 or more")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source", nargs="?", default=DEFAULT_SOURCE,
                        help="folder of the source data (default: ../shared/data beside the checkout)")
    parser.add_argument("output", nargs="?", default=DEFAULT_OUTPUT,
                        help="SQLite file to write (default: data/insee.sqlite in the checkout)")
    args = parser.parse_args()

    start = time.monotonic()
    rows, postcode_rows, other_rows, report = build_rows(args.source)
    write_database(rows, postcode_rows, other_rows, args.output)
    print_report(rows, postcode_rows, other_rows, report, args.output, time.monotonic() - start)
    return 0


if __name__ == "__main__":
    sys.exit(main())
