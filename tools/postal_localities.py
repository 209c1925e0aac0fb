"""Post-office localities: the labels of La Poste's base that name no
commune, each leading to the commune (or communes) it serves.

La Poste prints a label under each postal code: mostly the commune's name,
in capitals, sometimes abbreviated, cut at 32 characters or with its article
last, which the search reads itself (see spelled_as_poste); a few hundred
are the name of a post office's own locality (« PUYRICARD » for
Aix-en-Provence), which only a table can tell."""

import collections
import json
import os
import re
import unicodedata

POSTAL_LOCALITY = "localité postale"
SCHEMA = ("CREATE TABLE localites_postales(commune TEXT, nature TEXT, actuelle INTEGER, "
          "codepos TEXT)")

# Words La Poste leaves out of a name when it shortens it.
SHORT_WORDS = {"A", "AU", "AUX", "D", "DE", "DES", "DU", "EN", "ET", "L", "LA", "LE", "LES", "SOUS", "SUR"}
# Its short forms of the plural saints, which the stored names write out.
PLURAL_SAINTS = {"STES": "SAINTES", "STS": "SAINTS"}
ARTICLE_LAST = re.compile(r"^(.*\S)\s*\(\s*(LA|LE|LES|L'|L)\s*\)$")


def label_words(label):
    """The label's words as the store writes names (capitals, no accents,
    SAINT as ST), its article put back in front: « FRETTE SUR SEINE (LA) »
    gives LA FRETTE SUR SEINE."""
    decomposed = unicodedata.normalize("NFD", label.replace("’", "'"))
    text = "".join(ch for ch in decomposed if not unicodedata.combining(ch)).upper()
    if match := ARTICLE_LAST.match(text):
        text = f"{match.group(2)} {match.group(1)}"
    text = "".join(ch if "A" <= ch <= "Z" or "0" <= ch <= "9" else " " for ch in text)
    return ["ST" if w == "SAINT" else "STE" if w == "SAINTE" else w for w in text.split()]


def spelled_as_poste(label, name):
    """Whether the label's words write the name's as La Poste shortens them:
    each word begins the name's word at its place (« S » for SUR, « VIL »
    for VILLENEUVE), short words of the name may be left out, and the label
    may stop before the name ends."""
    at = 0
    for word in label:
        word = PLURAL_SAINTS.get(word, word)
        while at < len(name) and not name[at].startswith(word) and name[at] in SHORT_WORDS:
            at += 1
        if at == len(name) or not name[at].startswith(word):
            return False
        at += 1
    return bool(label)


def build_postal_localities(source, communes, rowid_of, current_names, other_rows, former_codes):
    """The rows of localites_postales, (label, kind, rowid, postal code), in
    the order of the communes they lead to, and what was counted on the way.

    A label leads to the current commune of its row's INSEE code: an
    arrondissement's to its city, a former commune's to the communes its
    code leads to (`former_codes`, the rows of anciens_codes). A label that
    its commune's name, written La Poste's way, or one of its other names
    explains is left out, and so is a label of a commune outside the table;
    a label that leads to a commune under several postal codes keeps the
    lowest."""
    path = os.path.join(source, "codes-postaux", "codes-postaux.json")
    with open(path, encoding="utf-8") as f:
        labels = json.load(f)
    city_of = {c["code"]: c["commune"] for c in communes if c["type"] == "arrondissement-municipal"}
    leads = collections.defaultdict(set)
    for former in former_codes:  # code_insee, commune, nature, actuelle...
        leads[former[0]].add(former[3])
    for code, rowid in rowid_of.items():
        leads[code].add(rowid)
    others = collections.defaultdict(set)
    for other in other_rows:  # commune, nature, actuelle...
        others[other[2]].add(other[0])

    kept = {}
    counted = collections.Counter()
    for row in labels:
        words = label_words(row["libelleAcheminement"])
        code = city_of.get(row["codeCommune"], row["codeCommune"])
        targets = leads.get(code)
        if not targets:
            counted["of a commune outside the table"] += 1
            continue
        label = " ".join(words)
        for rowid in sorted(targets):
            if spelled_as_poste(words, current_names[rowid - 1].split()):
                counted["the commune's name"] += 1
            elif label in others[rowid]:
                counted["another name of the commune"] += 1
            elif (label, rowid) in kept:
                kept[(label, rowid)] = min(kept[(label, rowid)], row["codePostal"])
            else:
                kept[(label, rowid)] = row["codePostal"]
    rows = [(label, POSTAL_LOCALITY, rowid, codepos)
            for (label, rowid), codepos in sorted(kept.items(), key=lambda item: (item[0][1], item[0][0]))]
    counted["post-office localities"] = len(rows)
    return rows, counted


def write_postal_localities(db, rows):
    db.execute(SCHEMA)
    db.executemany("INSERT INTO localites_postales VALUES (?, ?, ?, ?)", rows)


def print_postal_localities(counted):
    print("localites_postales: La Poste's labels")
    for what, count in sorted(counted.items()):
        print(f"  {count:6} {what}")
