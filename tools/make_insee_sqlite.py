#!/usr/bin/env python3
"""Builds the commune table shipped with the program, data/insee.sqlite.

One row per current commune of metropolitan France (Corsica included) and of
the five overseas départements 971-976, in the order of the INSEE commune
code, in table insee1 (commune, longitude, latitude, codepos, departement,
population, nom);
every postal code of each in table codes_postaux; and the other names that
lead to a current commune (communes déléguées and associées, former communes
merged into it, municipal arrondissements) in table autres_noms; and the
labels of La Poste that name no commune in table localites_postales.

Reads, under the source folder (default ../shared/data next to this checkout):
  decoupage-administratif/communes.json      current communes, postal codes
  decoupage-administratif/departements.json  département names
  france-geojson/departements/*/communes-*.geojson  2018 commune contours
  codes-postaux/codes-postaux.json           La Poste's labels (post-office localities)

Usage: python3 tools/make_insee_sqlite.py [SOURCE_DIR [OUTPUT_FILE]]
Standard library only; the same sources give the same file, byte for byte.
"""

import argparse
import collections
import csv
import glob
import json
import math
import os
import re
import sqlite3
import sys
import time
import unicodedata

from postal_localities import build_postal_localities, print_postal_localities, write_postal_localities

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
          "codepos TEXT, departement TEXT, code_insee TEXT, population INTEGER, nom TEXT)")
# Every postal code of every commune: `commune` is the rowid of its insee1 row.
POSTCODE_SCHEMA = "CREATE TABLE codes_postaux(commune INTEGER, codepos TEXT)"
# A search that reads a few communes reads their codes by this index, not
# by a scan of every code.
POSTCODE_INDEX = "CREATE INDEX codes_postaux_commune ON codes_postaux(commune)"
# Other names of current communes: `commune` is the other name, in the stored
# form of insee1 names, `actuelle` the rowid of the insee1 row it leads to,
# `codepos` the lowest postal code of a municipal arrondissement (NULL for
# the other kinds, which have none of their own).
OTHER_NAMES_SCHEMA = ("CREATE TABLE autres_noms(commune TEXT, nature TEXT, actuelle INTEGER, "
                      "codepos TEXT, etapes TEXT)")

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
    codes = []
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
        codes.append(code)
        per_zone[zone] += 1

    current_names = [row[0] for row in rows]
    history = build_history(source, rowid_of, current_names, odd_characters)
    rows = with_populations(with_code_insee(rows, codes), communes, rowid_of)
    rows, unofficial = with_official_names(rows, codes, communes, source)
    other_rows, other_report = build_other_names(communes, names_2018, rowid_of,
                                                 current_names, odd_characters,
                                                 history["shared"], history["steps_of"])
    localities, localities_report = build_postal_localities(source, communes, rowid_of, current_names,
                                                            other_rows, history["codes"])
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
        "history": history,
        "unofficial": unofficial,
        "localities": localities,
        "localities_report": localities_report,
    }
    return rows, codes, postcode_rows, other_rows, report


def with_code_insee(rows, codes):
    """insee1 rows with each commune's INSEE code as their last field."""
    return [row + (code,) for row, code in zip(rows, codes)]


def with_official_names(rows, codes, communes, source):
    """The rows with each commune's name as INSEE writes it appended
    (LIBELLE of the Code officiel géographique: « L'Haÿ-les-Roses »), for
    the window to show; a commune the COG does not list takes the name of
    the commune list. Returns the rows and the codes of the latter."""
    path = os.path.join(source, "insee-cog", "communes.csv")
    with open(path, encoding="utf-8", newline="") as f:
        libelle = {row["COM"]: row["LIBELLE"] for row in csv.DictReader(f) if row["TYPECOM"] == "COM"}
    listed = {c["code"]: c["nom"] for c in communes if c["type"] == "commune-actuelle"}
    unofficial = [code for code in codes if code not in libelle]
    names = [libelle.get(code) or listed[code] for code in codes]
    return [row + (name,) for row, name in zip(rows, names)], unofficial


# The kinds of change of INSEE's history, as a former name's kind reads.
CHANGE_KIND = {
    "10": "changement de nom",
    "20": "création",
    "21": "rétablissement",
    "30": "suppression",
    "31": "fusion",
    "32": "commune nouvelle",
    "33": "association",
    "34": "fusion",
    "35": "commune déléguée supprimée",
    "41": "changement de département",
    "50": "changement de code",
    "70": "commune déléguée",
    "71": "commune déléguée",
    "72": "commune déléguée",
}
# A change of another kind (a creation out of parts of others) reads so.
OTHER_CHANGE = "changement"

HISTORY_SCHEMA = "CREATE TABLE historique(commune TEXT, nature TEXT, actuelle INTEGER, etapes TEXT)"
FORMER_CODES_SCHEMA = ("CREATE TABLE anciens_codes(code_insee TEXT, commune TEXT, nature TEXT, "
                       "actuelle INTEGER, etapes TEXT)")
# The events of each current commune since 1943: one row of the source whose
# commune before or after was one of its forms (`actuelle` the insee1 rowid).
EVENTS_SCHEMA = ("CREATE TABLE evenements(actuelle INTEGER, date TEXT, nature TEXT, avant TEXT, "
                 "code_avant TEXT, apres TEXT, code_apres TEXT)")
# A way's steps, as the column etapes holds them: each « nature|date|commune|code »
# (the commune it became or joined, written as insee1 names are), separated by
# « ; », the oldest first.
STEP_FIELDS = "|"
STEP_SEPARATOR = ";"


def read_movements(source):
    path = os.path.join(source, "insee-cog", "mouvements-communes.csv")
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def read_parents(source):
    """Today's communes associées and déléguées, (TYPECOM, code), with the
    code of their commune (COMPARENT)."""
    path = os.path.join(source, "insee-cog", "communes.csv")
    with open(path, encoding="utf-8", newline="") as f:
        return {(row["TYPECOM"], row["COM"]): row["COMPARENT"] for row in csv.DictReader(f)
                if row["TYPECOM"] in ("COMA", "COMD") and row["COMPARENT"]}


def ways_of_change(key, afters, mod, date, leads, parents, odd_characters):
    """The ways to today of the commune `key` (TYPECOM, code, name) before a
    change, from the rows after it and the ways (after the change) of what
    it became. A way is (steps, today's code); a step (kind, date, name,
    code) is one change that took the commune into another or renamed it.

    A commune that keeps its code (and type COM) across the change goes on as
    itself: a step only when its name changed. One that stays as a commune
    associée or déléguée of the same code goes on as that, which a later
    restoration may end, else as the commune it joined, as long as that one
    leads to its chef-lieu of today (`parents`, from the current list: a
    commune nouvelle that was undone may have left its name and délégués to
    another code). One that goes wholly into others (merger, removal in
    parts) goes into each."""
    typecom, code, name = key
    kind = CHANGE_KIND.get(mod, OTHER_CHANGE)
    stored = commune_name(name, odd_characters)
    communes = [(c, n) for t, c, n in afters if t == "COM"]
    same_code = [(t, c, n) for t, c, n in afters if c == code]

    def step(after_code, after_name):
        return (kind, date, commune_name(after_name, odd_characters), after_code)

    def onward(first, ways):
        return tuple(((first,) + steps if first else steps, target) for steps, target in ways)

    itself = [(c, n) for c, n in communes if c == code]
    if itself:
        after_code, after_name = itself[0]
        renamed = commune_name(after_name, odd_characters) != stored or typecom != "COM"
        return onward(step(after_code, after_name) if renamed else None, leads.get(("COM", code), ()))
    others = [(c, n) for c, n in communes if c != code]
    if same_code and others:
        part = (same_code[0][0], code)
        parent_code, parent_name = others[0]
        later = leads.get(part)
        if later is None:
            later = leads.get(("COM", parent_code), ())
            today = parents.get(part)
            if today and {target for _, target in later} != {today}:
                later = (((), today),)
        return onward(step(parent_code, parent_name), later)
    if same_code:
        part = (same_code[0][0], code)
        later = leads.get(part)
        if later is None and parents.get(part):
            later = (((), parents[part]),)
        return later or ()
    ways = []
    for after_code, after_name in others:
        ways.extend(onward(step(after_code, after_name), leads.get(("COM", after_code), ())))
    return tuple(ways)


def leads_of_changes(movements, current_codes, parents, odd_characters):
    """Every name and code of the history, as (name, code, MOD, date, ways),
    the most recent change first, and every row of the source with today's
    codes it concerns (communes_of_rows).

    The changes are read from the latest back to 1943, keeping for each
    commune (TYPECOM and code) its ways to today's communes at the time read
    (ways_of_change); a commune associée or déléguée that no later change
    names goes on as the commune it joined."""
    leads = {("COM", code): (((), code),) for code in current_codes}
    by_date = collections.defaultdict(list)
    for row in movements:
        by_date[row["DATE_EFF"]].append(row)
    entries = []
    row_targets = []
    for date in sorted(by_date, reverse=True):
        before = collections.defaultdict(list)
        for row in by_date[date]:
            if row["COM_AV"]:
                before[(row["TYPECOM_AV"], row["COM_AV"], row["LIBELLE_AV"])].append(row)
        updates = {}
        for key, changes in before.items():
            afters = [(row["TYPECOM_AP"], row["COM_AP"], row["LIBELLE_AP"]) for row in changes]
            ways = ways_of_change(key, afters, changes[0]["MOD"], date, leads, parents, odd_characters)
            entries.append((key[2], key[1], changes[0]["MOD"], date, ways, key[0]))
            updates[(key[0], key[1])] = ways
        leads.update(updates)
        for row in by_date[date]:
            targets = {target for _, target in leads.get((row["TYPECOM_AP"], row["COM_AP"]), ())}
            if row["COM_AV"] and any(row["COM_AP"] == row["COM_AV"] and row["TYPECOM_AP"] == "COM"
                                     for row in before[(row["TYPECOM_AV"], row["COM_AV"], row["LIBELLE_AV"])]):
                targets |= {target for _, target in leads.get(("COM", row["COM_AV"]), ())}
            row_targets.append((row, targets))
    return entries, row_targets


def steps_text(steps):
    for step in steps:
        if any(STEP_FIELDS in part or STEP_SEPARATOR in part for part in step):
            raise SystemExit(f"a step of the history holds {STEP_FIELDS!r} or {STEP_SEPARATOR!r}: {step}")
    return STEP_SEPARATOR.join(STEP_FIELDS.join(step) for step in steps)


def nature_of(steps):
    """The kind and year of the change that ended a name: « fusion, 1943 »."""
    kind, date, _, _ = steps[0]
    return f"{kind}, {date[:4]}"


STATES_SCHEMA = ("CREATE TABLE etats(code_insee TEXT, commune TEXT, type TEXT, debut TEXT, fin TEXT, "
                 "actuelle INTEGER, nom TEXT)")
DEPARTEMENTS_SCHEMA = "CREATE TABLE departements(code TEXT, nom TEXT, libelle TEXT, region TEXT)"
STATE_TYPES = {"COM": "commune", "COMA": ASSOCIEE, "COMD": DELEGUEE}


def read_departements(source):
    """Every département's code and name of today, as insee1 writes them
    and as written with its accents (« Côtes-d'Armor »), and the name of its
    région, for the département of a former code and for a place as
    genealogy software files it (the program itself names the three
    départements that are no more: Seine, Seine-et-Oise, Corse)."""
    folder = os.path.join(source, "decoupage-administratif")
    with open(os.path.join(folder, "regions.json"), encoding="utf-8") as f:
        regions = {r["code"]: r["nom"] for r in json.load(f)}
    with open(os.path.join(folder, "departements.json"), encoding="utf-8") as f:
        rows = [(d["code"], departement_name(d["nom"]), d["nom"], regions.get(d["region"], ""))
                for d in json.load(f)]
    return sorted(rows, key=lambda row: code_order(row[0] + "000"))


def build_states(source, entries, rowid_of, odd_characters):
    """The rows of etats: each commune, associée or déléguée of the history
    as it was between two changes, with its code and name of that time, the
    day it began (« » when before the history) and the day of the change
    that ended it (« » for one that still is), and where it leads today,
    so that a name or a code can be read at a date. A current commune that
    has been as it is since before the history has no row: its insee1 row
    tells it."""
    movements = read_movements(source)
    befores = collections.defaultdict(set)
    afters = collections.defaultdict(set)
    for row in movements:
        # By the name as stored: a hyphen that becomes a blank changes nothing.
        if row["COM_AV"]:
            befores[row["DATE_EFF"]].add((row["TYPECOM_AV"], row["COM_AV"],
                                          commune_name(row["LIBELLE_AV"], odd_characters)))
        if row["COM_AP"]:
            afters[row["DATE_EFF"]].add((row["TYPECOM_AP"], row["COM_AP"],
                                         commune_name(row["LIBELLE_AP"], odd_characters)))
    # Read forward from 1943: a commune (type, code, name) begins on a day
    # that names it after a change while it was not (a commune that goes on
    # as it was, or that only takes its déléguées back, does not begin
    # there). Those the history first names before a change were there
    # before it.
    starts = collections.defaultdict(list)
    seen = set()
    alive = set()
    for date in sorted(set(befores) | set(afters)):
        alive |= befores[date] - seen
        seen |= befores[date] | afters[date]
        alive -= befores[date] - afters[date]
        for key in afters[date]:
            if key not in alive:
                starts[key].append(date)
                alive.add(key)

    def began(key, before):
        earlier = [date for date in starts.get(key, []) if before is None or date < before]
        return max(earlier) if earlier else ""

    rows = set()
    for name, code, _, date, ways, typecom in entries:
        # A commune that went on as it was across a change did not end there.
        if typecom not in STATE_TYPES or (typecom == "COM" and not any(steps for steps, _ in ways)):
            continue
        for _, target in ways:
            if target in rowid_of:
                stored = commune_name(name, odd_characters)
                rows.add((code, stored, STATE_TYPES[typecom], began((typecom, code, stored), date), date,
                          rowid_of[target], name))
    with open(os.path.join(source, "insee-cog", "communes.csv"), encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f):
            typecom, code = row["TYPECOM"], row["COM"]
            target = code if typecom == "COM" else row["COMPARENT"]
            if typecom not in STATE_TYPES or target not in rowid_of:
                continue
            start = began((typecom, code, commune_name(row["LIBELLE"], odd_characters)), None)
            if typecom == "COM" and not start:
                continue
            rows.add((code, commune_name(row["LIBELLE"], odd_characters), STATE_TYPES[typecom], start, "",
                      rowid_of[target], row["LIBELLE"]))
    return sorted(rows, key=lambda r: (code_order(r[0]), r[3], r[4] or "9999", r[5], r[1], r[2], r[6]))


def build_events(row_targets, rowid_of, odd_characters):
    """The rows of evenements: each change of the source that concerns a
    current commune, by commune, then date, then as the source lists them;
    a row that changes nothing (a commune that stays itself) is left out."""
    events = []
    for order, (row, targets) in enumerate(row_targets):
        # A commune that stays itself, or only turns associée or déléguée (the
        # row of the commune it joins tells that), changes nothing to list.
        if not row["COM_AV"] or (row["COM_AV"], row["LIBELLE_AV"]) == (row["COM_AP"], row["LIBELLE_AP"]):
            continue
        kind = CHANGE_KIND.get(row["MOD"], OTHER_CHANGE)
        for target in targets:
            if target in rowid_of:
                events.append((rowid_of[target], row["DATE_EFF"], order, kind,
                               commune_name(row["LIBELLE_AV"], odd_characters), row["COM_AV"],
                               commune_name(row["LIBELLE_AP"], odd_characters), row["COM_AP"]))
    # The source lists the latest first; a commune's events read oldest first.
    events.sort(key=lambda e: (e[0], e[1], -e[2]))
    return [(e[0], e[1]) + e[3:] for e in events]


def build_history(source, rowid_of, current_names, odd_characters):
    """The former names and codes of communes since 1943, each with its way
    (dated steps) to today's commune(s): names that no current commune bears
    (table historique), those that one does (given to autres_noms, which the
    search reads after the current names), every former INSEE code (table
    anciens_codes), and each commune's events (table evenements). A name or
    code that leads to several communes (a commune removed in parts) leads
    to each, by its own way."""
    entries, row_targets = leads_of_changes(read_movements(source), rowid_of, read_parents(source), odd_characters)
    current = set(current_names)
    names = {}
    codes = {}
    nowhere = set()
    for name, code, mod, date, ways, _ in entries:
        if not any(target in rowid_of for _, target in ways):
            nowhere.add(code)
        # A commune that stayed itself across a change has no step there.
        rowids = [(rowid_of[target], steps) for steps, target in ways if steps and target in rowid_of]
        if not rowids:
            continue
        stored = commune_name(name, odd_characters)
        for rowid, steps in sorted(rowids):
            nature = nature_of(steps)
            text = steps_text(steps)
            # The most recent change of a name or code is the one it tells.
            if stored != current_names[rowid - 1]:
                names.setdefault((stored, rowid), (stored, nature, rowid, code, text))
            if code not in rowid_of:
                codes.setdefault((code, rowid), (code, stored, nature, rowid, text))
    own = [row for row in names.values() if row[0] not in current]
    shared = [(name, nature, rowid, None, code, text) for name, nature, rowid, code, text in names.values()
              if name in current]
    order = lambda row: (row[2], row[0], row[1])
    history_rows = [(name, nature, rowid, text) for name, nature, rowid, _, text in sorted(own, key=order)]
    code_rows = sorted(codes.values(), key=lambda row: (code_order(row[0]), row[3]))
    targets_of = collections.defaultdict(set)
    for name, _, rowid, _, _ in names.values():
        targets_of[name].add(rowid)
    return {
        "rows": history_rows,
        "shared": shared,
        "codes": code_rows,
        "steps_of": {(name, rowid): text for name, _, rowid, _, text in names.values()},
        "steps_of_code": {(code, rowid): text for code, _, _, rowid, text in codes.values()},
        "events": build_events(row_targets, rowid_of, odd_characters),
        "states": build_states(source, entries, rowid_of, odd_characters),
        "departements": read_departements(source),
        "per_kind": collections.Counter(nature.split(",")[0] for _, nature, _, _ in history_rows),
        "former_codes": len({code for code, _, _, _, _ in code_rows}),
        "nowhere": len(nowhere - set(rowid_of)),
        "homonyms": sorted(name for name, rowids in targets_of.items() if len(rowids) > 1),
        "chains": collections.Counter(min(len(text.split(STEP_SEPARATOR)), 4) for *_, text in history_rows),
    }


def with_populations(rows, communes, rowid_of):
    """The rows with each commune's population appended (NULL when the
    commune list gives none), so that suggestions can put the larger
    communes first."""
    population_of = {rowid_of[c["code"]]: c.get("population") for c in communes
                     if c["type"] == "commune-actuelle" and c["code"] in rowid_of}
    return [row + (population_of.get(rowid),) for rowid, row in enumerate(rows, start=1)]


def build_other_names(communes, names_2018, rowid_of, current_names, odd_characters, shared_history, steps_of):
    """The rows of autres_noms, (name, kind, rowid, codepos, steps) in the order of
    the communes they lead to, and what was counted on the way.

    A commune déléguée or associée leads to its chef-lieu, an arrondissement
    to its commune, and a former commune merged into a current one
    (anciensCodes) to that one; a former commune that is also déléguée or
    associée is named once, by that kind. A former commune's name is known
    only from the 2018 contours, so one merged before 2018 cannot be named.
    A name that its own commune bears is left out; one that another current
    commune bears is kept, and the search lists it after the current ones.
    Former names of the history that some current commune bears come here
    too (`shared_history`), so that a search whose name is current never
    needs the history's own table. Each takes the way that the history
    gives its name to its commune (`steps_of`, by name and rowid), NULL when
    it gives none (an arrondissement, a name the history does not know)."""
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
                           postcodes[0] if postcodes else None, commune["code"], None))
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
                                   rowid_of[commune["code"]], None, code, None))

    same_as_current = collections.Counter()
    shared = collections.Counter()
    repeated = collections.Counter()
    kept = {}
    candidates.extend(shared_history)
    current_set = set(current_names)
    # By commune, kind, then the INSEE code of the other name: Paris 1er to
    # 20e; the former names of the history after the four kinds.
    kind_rank = lambda kind: KIND_ORDER.index(kind) if kind in KIND_ORDER else len(KIND_ORDER)
    order = lambda c: (c[2], kind_rank(c[1]), code_order(c[4]), c[0])
    for name, kind, rowid, codepos, _, steps in sorted(candidates, key=order):
        if name == current_names[rowid - 1]:
            same_as_current[kind] += 1
        elif (name, rowid) in kept:
            repeated[kind] += 1
        else:
            kept[(name, rowid)] = (name, kind, rowid, codepos, steps or steps_of.get((name, rowid)))
            if name in current_set:
                shared[kind if kind in KIND_ORDER else "ancien nom"] += 1
    rows = list(kept.values())
    report = {
        "per_kind": collections.Counter(kind if kind in KIND_ORDER else "ancien nom" for _, kind, _, _, _ in rows),
        "with_steps": collections.Counter(kind for _, kind, _, _, steps in rows if steps and kind in KIND_ORDER),
        "same_as_current": same_as_current,
        "shared": shared,
        "repeated": repeated,
        "unlinked": unlinked,
    }
    return rows, report


def write_history(db, history):
    db.execute(HISTORY_SCHEMA)
    db.executemany("INSERT INTO historique VALUES (?, ?, ?, ?)", history["rows"])
    db.execute(FORMER_CODES_SCHEMA)
    db.executemany("INSERT INTO anciens_codes VALUES (?, ?, ?, ?, ?)", history["codes"])
    db.execute(STATES_SCHEMA)
    db.executemany("INSERT INTO etats VALUES (?, ?, ?, ?, ?, ?, ?)", history["states"])
    db.execute(DEPARTEMENTS_SCHEMA)
    db.executemany("INSERT INTO departements VALUES (?, ?, ?, ?)", history["departements"])
    db.execute(EVENTS_SCHEMA)
    db.executemany("INSERT INTO evenements VALUES (?, ?, ?, ?, ?, ?, ?)", history["events"])


def print_history(history, codes):
    print(f"code_insee: {len(codes)} current codes; anciens_codes: {len(history['codes'])} rows, "
          f"{history['former_codes']} former codes")
    print(f"historique: {len(history['rows'])} former names that no current commune bears")
    for kind, count in sorted(history["per_kind"].items()):
        print(f"  {count:6} {kind}")
    print(f"former names that a current commune bears, given to autres_noms: {len(history['shared'])}")
    print(f"codes of the history that lead to no commune of the table: {history['nowhere']}")
    print(f"historique names by number of steps (4: four or more): "
          f"{', '.join(f'{n}: {c}' for n, c in sorted(history['chains'].items()))}")
    print(f"evenements: {len(history['events'])} rows")
    print(f"etats: {len(history['states'])} rows, {sum(1 for s in history['states'] if not s[4])} of today")
    print(f"former names that lead to two or more communes: {len(history['homonyms'])}")
    for name in history["homonyms"]:
        print(f"  {name}")


def write_database(rows, codes, postcode_rows, other_rows, history, localities, output):
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
    db.execute(POSTCODE_INDEX)
    db.execute(OTHER_NAMES_SCHEMA)
    db.executemany("INSERT INTO autres_noms VALUES (?, ?, ?, ?, ?)", other_rows)
    write_history(db, history)
    write_postal_localities(db, localities)
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
    print(f"nom: INSEE's name for {len(rows) - len(report['unofficial'])} communes, "
          f"the commune list's for {len(report['unofficial'])}: {' '.join(report['unofficial'])}")
    others = report["other_names"]
    print(f"autres_noms: {len(other_rows)} rows")
    for kind in KIND_ORDER:
        print(f"  {others['per_kind'][kind]:6} {kind}")
    print(f"  {others['per_kind']['ancien nom']:6} ancien nom (history)")
    for kind, count in sorted(others["with_steps"].items()):
        print(f"  with the history's steps: {count} {kind}")
    for kind, count in sorted(others["same_as_current"].items()):
        print(f"  left out, the name of the commune it leads to: {count} {kind}")
    for kind, count in sorted(others["shared"].items()):
        print(f"  kept, the name of another current commune: {count} {kind}")
    for kind, count in sorted(others["repeated"].items()):
        print(f"  left out, the same name already leads to the same commune: {count} {kind}")
    for reason, count in sorted(others["unlinked"].items()):
        print(f"  not linked: {count} {reason}")
    if report["unused_contours"]:
        print(f"2018 contours used by no commune: {' '.join(report['unused_contours'])}")


POPULATION = 6  # the field of insee1 that holds it


def print_population_report(rows):
    known = [row[POPULATION] for row in rows if row[POPULATION] is not None]
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
    rows, codes, postcode_rows, other_rows, report = build_rows(args.source)
    write_database(rows, codes, postcode_rows, other_rows, report["history"], report["localities"], args.output)
    print_report(rows, postcode_rows, other_rows, report, args.output, time.monotonic() - start)
    print_history(report["history"], codes)
    print_postal_localities(report["localities_report"])
    return 0


if __name__ == "__main__":
    sys.exit(main())
