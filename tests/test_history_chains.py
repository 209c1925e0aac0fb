#!/usr/bin/env python3
"""The data tool's ways from a former commune to today's, on small made-up
histories of INSEE's movements: one table of chains, each with the steps
(kind, date, commune, code) the tool must give and where they end."""

import collections
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import make_insee_sqlite as tool  # noqa: E402


def row(mod, date, before, after):
    """One row of the movements: before and after as (TYPECOM, code, name)."""
    return {"MOD": mod, "DATE_EFF": date,
            "TYPECOM_AV": before[0], "COM_AV": before[1], "LIBELLE_AV": before[2],
            "TYPECOM_AP": after[0], "COM_AP": after[1], "LIBELLE_AP": after[2]}


A = ("COM", "01001", "Aval")
B = ("COM", "01002", "Bamont")
C = ("COM", "01003", "Corval")

# name, rows of the source, current communes (code: COMPARENT of today's
# associées and déléguées), the former commune looked at with the date of
# the change that ended it, and its ways: [(steps, today's code)].
CHAINS = [
    ("simple merger",
     [row("31", "1965-01-01", A, B), row("31", "1965-01-01", B, B)],
     ["01002"], {}, ("COM", "01001", "Aval", "1965-01-01"),
     [([("fusion", "1965-01-01", "BAMONT", "01002")], "01002")]),
    ("two steps: merger with a new name, then a commune nouvelle",
     [row("31", "2000-02-28", A, ("COM", "01002", "Bamont-Aval")),
      row("31", "2000-02-28", B, ("COM", "01002", "Bamont-Aval")),
      row("32", "2016-01-01", ("COM", "01002", "Bamont-Aval"), ("COM", "01003", "Grand-Corval")),
      row("32", "2016-01-01", ("COM", "01002", "Bamont-Aval"), ("COMD", "01002", "Bamont-Aval")),
      row("32", "2016-01-01", C, ("COM", "01003", "Grand-Corval"))],
     ["01003"], {("COMD", "01002"): "01003"}, ("COM", "01001", "Aval", "2000-02-28"),
     [([("fusion", "2000-02-28", "BAMONT AVAL", "01002"),
        ("commune nouvelle", "2016-01-01", "GRAND CORVAL", "01003")], "01003")]),
    ("restored: an association that a later step undid leads back",
     [row("33", "1973-12-29", A, ("COMA", "01001", "Aval")),
      row("33", "1973-12-29", A, B),
      row("21", "1985-01-01", ("COMA", "01001", "Aval"), A),
      row("21", "1985-01-01", B, A),
      row("21", "1985-01-01", B, B)],
     ["01001", "01002"], {}, ("COM", "01001", "Aval", "1973-12-29"),
     [([("association", "1973-12-29", "BAMONT", "01002"),
        ("rétablissement", "1985-01-01", "AVAL", "01001")], "01001")]),
    ("split into several: a commune removed in parts leads to each",
     [row("30", "1970-03-01", A, B), row("30", "1970-03-01", A, C)],
     ["01002", "01003"], {}, ("COM", "01001", "Aval", "1970-03-01"),
     [([("suppression", "1970-03-01", "BAMONT", "01002")], "01002"),
      ([("suppression", "1970-03-01", "CORVAL", "01003")], "01003")]),
    ("associated then merged",
     [row("33", "1972-01-01", A, ("COMA", "01001", "Aval")),
      row("33", "1972-01-01", A, ("COM", "01002", "Bamont-Aval")),
      row("33", "1972-01-01", B, ("COM", "01002", "Bamont-Aval")),
      row("34", "1990-01-01", ("COMA", "01001", "Aval"), ("COM", "01002", "Bamont-Aval"))],
     ["01002"], {}, ("COM", "01001", "Aval", "1972-01-01"),
     [([("association", "1972-01-01", "BAMONT AVAL", "01002"),
        ("fusion", "1990-01-01", "BAMONT AVAL", "01002")], "01002")]),
    ("associated, then turned déléguée: it still leads to the commune it joined",
     [row("33", "1973-02-01", A, ("COMA", "01001", "Aval")),
      row("33", "1973-02-01", A, B),
      row("70", "2014-04-01", ("COMA", "01001", "Aval"), ("COMD", "01001", "Aval"))],
     ["01002"], {("COMD", "01001"): "01002"}, ("COM", "01001", "Aval", "1973-02-01"),
     [([("association", "1973-02-01", "BAMONT", "01002")], "01002")]),
    ("still associated: the commune it joined goes on, renamed",
     [row("33", "1972-01-01", A, ("COMA", "01001", "Aval")),
      row("33", "1972-01-01", A, B),
      row("10", "1999-06-01", B, ("COM", "01002", "Bamont-sur-Aval"))],
     ["01002"], {("COMA", "01001"): "01002"}, ("COM", "01001", "Aval", "1972-01-01"),
     [([("association", "1972-01-01", "BAMONT", "01002"),
        ("changement de nom", "1999-06-01", "BAMONT SUR AVAL", "01002")], "01002")]),
    ("a déléguée whose commune nouvelle was undone goes to its chef-lieu of today",
     [row("32", "2019-01-01", A, ("COM", "01002", "Grand-Bamont")),
      row("32", "2019-01-01", A, ("COMD", "01001", "Aval")),
      row("32", "2019-01-01", B, ("COM", "01002", "Grand-Bamont")),
      row("21", "2024-01-01", ("COM", "01002", "Grand-Bamont"), B),
      row("21", "2024-01-01", ("COM", "01002", "Grand-Bamont"), ("COM", "01001", "Grand-Bamont"))],
     ["01001", "01002"], {("COMD", "01001"): "01001"}, ("COM", "01001", "Aval", "2019-01-01"),
     [([("commune nouvelle", "2019-01-01", "GRAND BAMONT", "01002")], "01001")]),
]


class HistoryChains(unittest.TestCase):
    def test_chains(self):
        for name, rows, current, parents, (typecom, code, former, date), expected in CHAINS:
            with self.subTest(name):
                odd = collections.defaultdict(list)
                entries, _ = tool.leads_of_changes(rows, current, parents, odd)
                ways = [ways for n, c, _, d, ways, t in entries if (t, n, c, d) == (typecom, former, code, date)]
                self.assertEqual(len(ways), 1, f"{former} {code} {date}: {entries}")
                got = [([tuple(step) for step in steps], target) for steps, target in ways[0]]
                self.assertEqual(got, [([tuple(step) for step in steps], target) for steps, target in expected])

    def test_steps_text_round_trip(self):
        steps = (("fusion", "2000-02-28", "CHERBOURG OCTEVILLE", "50129"),
                 ("commune nouvelle", "2016-01-01", "CHERBOURG EN COTENTIN", "50129"))
        self.assertEqual(tool.steps_text(steps), "fusion|2000-02-28|CHERBOURG OCTEVILLE|50129;"
                                                 "commune nouvelle|2016-01-01|CHERBOURG EN COTENTIN|50129")
        self.assertEqual(tool.nature_of(steps), "fusion, 2000")
        with self.assertRaises(SystemExit):
            tool.steps_text((("fusion", "2000-02-28", "A|B", "50129"),))


if __name__ == "__main__":
    unittest.main()
