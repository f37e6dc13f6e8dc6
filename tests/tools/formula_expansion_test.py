#!/usr/bin/env python3
"""The training scripts' reading of the bulk glasses' formulas: nested groups normalised and
multiplied by their subscripts, an element without an amount counted once, and what is no
formula refused."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
try:
    import gfa_data  # noqa: E402
except ImportError:  # numpy
    print("numpy is missing: skipped")
    sys.exit(77)

CASES = [
    ("Cu46Zr46Al8", {"Cu": 46, "Zr": 46, "Al": 8}),
    ("(Cu60Zr30Ti10)98Y2", {"Cu": 58.8, "Zr": 29.4, "Ti": 9.8, "Y": 2}),
    ("La62Al14(CuNi)24", {"La": 62, "Al": 14, "Cu": 12, "Ni": 12}),
    ("(Cu0.5Zr0.425Ti0.075)99Sn1", {"Cu": 49.5, "Zr": 42.075, "Ti": 7.425, "Sn": 1}),
    ("[(Fe0.8Co0.2)0.75B0.2Si0.05]96Nb4",
     {"Fe": 57.6, "Co": 14.4, "B": 19.2, "Si": 4.8, "Nb": 4}),
    ("{(Fe0.5Co0.5)0.75B0.25}96Nb4", {"Fe": 36, "Co": 36, "B": 24, "Nb": 4}),
    ("Fe70B20Si10Cu0", {"Fe": 70, "B": 20, "Si": 10}),
    ("(Zr41Ti14Cu12.5Ni10Be22.", None),  # unclosed
    ("2.556", None),
    ("Cu50)Zr50", None),
    ("[Cu50Zr50)", None),
]

failed = 0
for text, expected in CASES:
    got = gfa_data.expand_formula(text)
    ok = (got is None) if expected is None else (
        got is not None and set(got) == set(expected) and
        all(math.isclose(got[s], a, rel_tol=1e-9) for s, a in expected.items()))
    if not ok:
        print("%s: got %r, expected %r" % (text, got, expected))
        failed += 1
print("%d of %d formulas read as expected" % (len(CASES) - failed, len(CASES)))
sys.exit(1 if failed else 0)
