#!/usr/bin/env python3
"""Checks the history of data/insee.sqlite against INSEE's movements.

Walks the source forward, from a former commune to today's, on its own (the
data tool walks it backward), and compares:
  1. the dated steps that the store gives 50 former names whose way to
     today has two steps or more (chosen evenly through table historique);
  2. every name that a commune bore on 1 January 1950, 1975 and 2010 and
     that its commune of today does not bear: whether the store leads it to
     every commune of today that the source leads it to;
  3. every name that a commune bore on those days: whether the store's
     answer at that date (table etats, and the current communes unchanged
     since before the history) holds that commune, with its code of the
     day, leading to each commune of today the source leads it to.

Usage: python3 tools/check_history.py [SOURCE_DIR [STORE]]
Prints each of the 50 ways and the shares; exits with status 1 when a way
differs or a share is below 100 %.
"""

import collections
import csv
import os
import sqlite3
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_insee_sqlite as tool  # noqa: E402

DATES = ("1950-01-01", "1975-01-01", "2010-01-01")


class Source:
    def __init__(self, folder):
        self.odd = collections.defaultdict(list)
        movements = tool.read_movements(folder)
        self.events = collections.defaultdict(lambda: collections.defaultdict(list))
        for row in movements:
            if row["COM_AV"]:
                self.events[(row["TYPECOM_AV"], row["COM_AV"])][row["DATE_EFF"]].append(row)
        self.movements = movements
        with open(os.path.join(folder, "insee-cog", "communes.csv"), encoding="utf-8", newline="") as f:
            rows = list(csv.DictReader(f))
        self.current = {row["COM"]: row["LIBELLE"] for row in rows if row["TYPECOM"] == "COM"}
        self.parent = {(row["TYPECOM"], row["COM"]): row["COMPARENT"] for row in rows if row["COMPARENT"]}

    def name(self, libelle):
        return tool.commune_name(libelle, self.odd)

    def next_event(self, key, after, inclusive=False):
        dates = sorted(d for d in self.events.get(key, {}) if d > after or (inclusive and d == after))
        return (dates[0], self.events[key][dates[0]]) if dates else None

    def ways(self, key, since, inclusive=False, joined=None):
        """Today's communes the commune `key` leads to from the date
        `since`, each with its steps: [(steps, code)]. A commune associée
        or déléguée that no later change names goes on as the commune it
        `joined`, when that one leads to its chef-lieu of today."""
        found = self.next_event(key, since, inclusive)
        typecom, code = key
        if found is None:
            if typecom == "COM":
                return [((), code)] if code in self.current else []
            parent = self.parent.get(key)
            if joined:
                ways = self.ways(("COM", joined), since)
                if not parent or {target for _, target in ways} == {parent}:
                    return ways
            return [((), parent)] if parent in self.current else []
        date, rows = found
        kind = tool.CHANGE_KIND.get(rows[0]["MOD"], tool.OTHER_CHANGE)
        before = self.name(rows[0]["LIBELLE_AV"])
        coms = [(r["COM_AP"], self.name(r["LIBELLE_AP"])) for r in rows if r["TYPECOM_AP"] == "COM"]
        same = [r["TYPECOM_AP"] for r in rows if r["COM_AP"] == code and r["TYPECOM_AP"] != "COM"]
        own = [(c, n) for c, n in coms if c == code]
        others = [(c, n) for c, n in coms if c != code]

        def prefixed(step, ways):
            return [(((step,) if step else ()) + steps, target) for steps, target in ways]

        if own:
            step = (kind, date, own[0][1], code) if own[0][1] != before or typecom != "COM" else None
            return prefixed(step, self.ways(("COM", code), date))
        if same and others:
            return prefixed((kind, date, others[0][1], others[0][0]),
                            self.ways((same[0], code), date, joined=others[0][0]))
        if same:
            return self.ways((same[0], code), date)
        ways = []
        for other_code, other_name in others:
            ways.extend(prefixed((kind, date, other_name, other_code), self.ways(("COM", other_code), date)))
        return ways

    def names_on(self, date):
        """The communes (code, name) that existed on a date."""
        timeline = collections.defaultdict(list)
        for row in self.movements:
            d = row["DATE_EFF"]
            if row["TYPECOM_AP"] == "COM":
                timeline[row["COM_AP"]].append((d, 1))
            if row["TYPECOM_AV"] == "COM":
                kept = any(r["COM_AP"] == row["COM_AV"] and r["TYPECOM_AP"] == "COM"
                           for r in self.events[("COM", row["COM_AV"])][d])
                if not kept:
                    timeline[row["COM_AV"]].append((d, 0))
        communes = []
        for code in set(timeline) | set(self.current):
            entries = sorted(timeline.get(code, []))
            earlier = [state for d, state in entries if d <= date]
            later = self.next_event(("COM", code), date)
            # With no change up to the date, it existed if the first change
            # after it found it a commune (not one that change made).
            first = min((d for d, _ in entries if d > date), default=None)
            exists = earlier[-1] == 1 if earlier else (
                code in self.current if first is None else later is not None and later[0] == first)
            if not exists:
                continue
            name = later[1][0]["LIBELLE_AV"] if later else self.current.get(code)
            if name:
                communes.append((code, self.name(name)))
        return communes


def stored_steps(text):
    return tuple(tuple(part.split("|")) for part in text.split(";")) if text else ()


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else tool.DEFAULT_SOURCE
    store = sys.argv[2] if len(sys.argv) > 2 else tool.DEFAULT_OUTPUT
    source = Source(folder)
    db = sqlite3.connect(store)
    code_of = {rowid: code for rowid, code in db.execute("SELECT rowid, code_insee FROM insee1")}
    rowid_of = {code: rowid for rowid, code in code_of.items()}
    status = 0

    long_ways = [row for row in db.execute("SELECT commune, actuelle, etapes FROM historique ORDER BY rowid")
                 if row[2].count(";") >= 1]
    chosen = [long_ways[i * len(long_ways) // 50] for i in range(50)]
    same = 0
    print(f"1. {len(long_ways)} former names of historique with two steps or more; 50 of them:")
    for name, rowid, text in chosen:
        steps = stored_steps(text)
        first = steps[0]
        starts = [key for key, by_date in source.events.items()
                  if any(source.name(r["LIBELLE_AV"]) == name for r in by_date.get(first[1], []))]
        walked = {tuple(s) for key in starts for s, target in source.ways(key, first[1], inclusive=True)
                  if target == code_of[rowid]}
        ok = steps in walked
        same += ok
        shown = " → ".join(f"{s[2]} ({s[0]}, {s[1]})" for s in steps)
        print(f"  {'ok ' if ok else 'DIFFERS'} {name} → {shown}")
        if not ok:
            print(f"      the source: {sorted(walked)}")
            status = 1
    print(f"   {same} of 50 as the source says")

    leads = collections.defaultdict(set)
    for table in ("insee1", "autres_noms", "historique"):
        column = "rowid" if table == "insee1" else "actuelle"
        for name, rowid in db.execute(f"SELECT commune, {column} FROM {table}"):
            leads[name].add(rowid)
    print("2. every name borne on a date that its commune of today does not bear:")
    for date in DATES:
        total = right = 0
        wrong = []
        for code, name in source.names_on(date):
            targets = {rowid_of[t] for _, t in source.ways(("COM", code), date) if t in rowid_of}
            if not targets or all(db.execute("SELECT commune FROM insee1 WHERE rowid = ?", (t,)).fetchone()[0]
                                  == name for t in targets):
                continue
            total += 1
            if targets <= leads.get(name, set()):
                right += 1
            else:
                wrong.append(f"{name} ({code})")
        print(f"   {date}: {right} of {total} names ({100.0 * right / max(total, 1):.2f} %) lead where the source "
              f"does{': not ' + ', '.join(wrong[:10]) if wrong else ''}")
        if right != total:
            status = 1

    states = collections.defaultdict(list)
    changed = set()
    for code, name, start, end, rowid in db.execute("SELECT code_insee, commune, debut, fin, actuelle FROM etats "
                                                    "WHERE type = 'commune'"):
        states[name].append((code, start, end, rowid))
        if not end:
            changed.add(rowid)
    for rowid, code, name in db.execute("SELECT rowid, code_insee, commune FROM insee1"):
        if rowid not in changed:
            states[name].append((code, "", "", rowid))
    print("3. every name borne on a date, as the store answers at that date:")
    for date in DATES:
        total = right = 0
        wrong = []
        for code, name in source.names_on(date):
            targets = {rowid_of[t] for _, t in source.ways(("COM", code), date) if t in rowid_of}
            if not targets:
                continue
            total += 1
            held = {(c, rowid) for c, start, end, rowid in states.get(name, [])
                    if (not start or start <= date) and (not end or end > date)}
            if {(code, t) for t in targets} <= held:
                right += 1
            else:
                wrong.append(f"{name} ({code})")
        print(f"   {date}: {right} of {total} communes ({100.0 * right / max(total, 1):.2f} %) as the source "
              f"says{': not ' + ', '.join(wrong[:10]) if wrong else ''}")
        if right != total:
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
