#!/usr/bin/env python3
"""`glassform map` as a user gets it: the grid's size and order, rows equal to what `assess`
writes for the same formulas, a well-formed heat map (one titled cell per composition, corner
names, colour bar, the best cell, known compositions), bad options refused; with --render, the
drawing in headless Chromium shows each sampled cell's colour. Usage: map_test.py GLASSFORM
[--render] (exits 77, skipped, where Chromium is missing outside CI)."""
import csv
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(__file__))
from plot_test import screenshot  # noqa: E402

SVG = "{http://www.w3.org/2000/svg}"
SKIPPED = 77
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(binary, args, stdin=None, status=0):
    done = subprocess.run([binary] + args, input=stdin, capture_output=True, text=True)
    check(done.returncode == status, f"{' '.join(args)}: status {done.returncode}, {done.stderr}")
    return done.stdout


def main():
    binary = sys.argv[1]
    render = "--render" in sys.argv[2:]
    work = tempfile.mkdtemp(prefix="glassform_map_")
    svg_path = os.path.join(work, "map.svg")
    # The grid: 231 compositions at step 5 (5,151 at step 1), pure Cu first, then Cu's share
    # descending and Zr's descending.
    for step, count in (("5", 231), ("1", 5151), ("2.5", 861)):
        rows = list(csv.DictReader(io.StringIO(run(binary, ["map", "Cu", "Zr", "Al", "--step", step,
                                                           "--format", "csv"]))))
        check(len(rows) == count, f"step {step}: {len(rows)} rows, not {count}")
    rows = list(csv.DictReader(io.StringIO(run(binary, ["map", "Cu", "Zr", "Al", "--step", "5",
                                                       "--format", "csv", "--plot", svg_path]))))
    shares = [(float(r["x_Cu_at%"]), float(r["x_Zr_at%"]), float(r["x_Al_at%"])) for r in rows]
    check(shares[0] == (100, 0, 0) and shares[1] == (95, 5, 0) and shares[-1] == (0, 0, 100),
          "rows run Cu descending, then Zr descending")
    check(all(abs(sum(s) - 100) < 1e-9 for s in shares), "every row's shares add up to 100")
    check(rows[1]["formula"] == "Cu95.00Zr5.00", "an amount of 0 is left out of the formula")
    # Each row is the row assess writes for the same formula.
    assessed = list(csv.DictReader(io.StringIO(run(
        binary, ["assess", "--file", "-", "--format", "csv"],
        "".join(r["formula"] + "\n" for r in rows)))))
    for r, a in zip(rows, assessed):
        differ = [k for k in a if k not in ("line", "label") and a[k] != r[k]]
        check(not differ, f"{r['formula']}: {differ} differ from assess")
    # The drawing.
    root = ET.parse(svg_path).getroot()
    check(root.tag == SVG + "svg", "the root is an svg element")
    cells = [p for p in root.iter(SVG + "polygon") if p.find(SVG + "title") is not None]
    check(len(cells) == len(rows), f"{len(cells)} cells for {len(rows)} compositions")
    texts = [t.text or "" for t in root.iter(SVG + "text")]
    check(all(s in texts for s in ("Cu", "Zr", "Al")), "the corners are named")
    check("p_glass" in texts and "higher is better" in texts, "the colour bar says what and which way")
    best = max((float(r["p_glass"]), -i) for i, r in enumerate(rows) if r["p_glass"])
    best_row = rows[-best[1]]
    titles = [t.text or "" for t in root.iter(SVG + "title")]
    check(any(t.startswith("best: " + best_row["formula"]) for t in titles),
          f"the best cell is {best_row['formula']}")
    check(any("glass (melt-spun, Ward et al. 2016)" in t for t in titles) and
          any("not a glass" in t for t in titles), "known glasses and non-glasses are drawn")
    without = run(binary, ["map", "Cu", "Zr", "Al", "--step", "10", "--known", "none", "--plot", "-",
                           "--format", "csv", "-o", os.path.join(work, "m.csv")])
    check("Ward et al. 2016)</title>" not in without, "--known none draws no known composition")
    # The user's own known compositions: those of the map's elements, by their labels.
    known = os.path.join(work, "known.csv")
    with open(known, "w") as f:
        f.write("formula,label\nCu46Zr46Al8,AM\nCu90Zr10,cr\nFe80B20,glass\n")
    mine = run(binary, ["map", "Cu", "Zr", "Al", "--step", "10", "--known", known, "--plot", "-",
                        "--format", "csv", "-o", os.path.join(work, "m.csv")])
    check("Cu46Zr46Al8: AM (" in mine and "Cu90Zr10: cr (" in mine and "Fe80B20" not in mine,
          "the user's known compositions of these elements are drawn")
    with open(known, "w") as f:
        f.write("formula,label\nCu46Zr46Al8,maybe\n")
    never = os.path.join(work, "never.csv")
    run(binary, ["map", "Cu", "Zr", "Al", "--known", known, "-o", never], status=2)
    check(not os.path.exists(never), "a bad known file writes nothing")
    # A range and slices: their counts, the zoomed drawing's cells and ticks, the slices'
    # corners and their known compositions at the slice's share.
    for args, count in ((["--range", "Cu=30..60,Zr=30..60"], 751),
                        (["--range", "Cu=40..60,Al=5..15", "--step", "5"], 15),
                        (["--with", "Ni=0,5,10", "--step", "5"], 231 + 210 + 190)):
        drawn = run(binary, ["map", "Cu", "Zr", "Al", "--plot", "-", "--format", "csv",
                             "-o", os.path.join(work, "m.csv")] + args)
        with open(os.path.join(work, "m.csv")) as f:
            part = list(csv.DictReader(f))
        check(len(part) == count, f"{args}: {len(part)} rows, not {count}")
        tree = ET.fromstring(drawn)
        titled = [p for p in tree.iter(SVG + "polygon") if p.find(SVG + "title") is not None]
        check(len(titled) == count, f"{args}: {len(titled)} cells for {count} rows")
        labels = [t.text or "" for t in tree.iter(SVG + "text")]
        if args[0] == "--range":
            low, high = (float(x) for x in args[1].split(",")[0][3:].split(".."))
            check(all(low <= float(r["x_Cu_at%"]) <= high for r in part), f"{args}: Cu in range")
            check("Cu 40" in labels and "Cu 60" in labels, f"{args}: the ticks name their element")
        else:
            check("Cu90Ni10" in labels and "Ni 10 at.%" in labels, "a slice names its corners")
            check(all(float(r["x_Ni_at%"]) in (0, 5, 10) for r in part), "rows of every slice")
            known_titles = [t.text for t in tree.iter(SVG + "title") if "Ward et al." in (t.text or "")]
            nickel = [float(m.group(1)) if m else 0.0
                      for m in (re.search(r"Ni([0-9.]+)", t.split(":")[0]) for t in known_titles)]
            check(nickel and all(min(abs(v - d) for d in (0, 5, 10)) <= 2.5 for v in nickel),
                  f"known compositions at their slice's share: {nickel}")
    # Bad options are usage errors.
    for args in (["--step", "3"], ["--step", "0"], ["--field", "formula"], ["--known", "mine"],
                 ["--range", "Cu=33..60", "--step", "5"], ["--range", "Ni=0..10"],
                 ["--range", "Cu=60..40"], ["--with", "Zr=5"], ["--with", "Ni=100"],
                 ["--with", "Ni=5", "--range", "Cu=0..50"]):
        run(binary, ["map", "Cu", "Zr", "Al"] + args, status=2)
    run(binary, ["map", "Cu", "Cu", "Al"], status=2)

    if render:
        chromium = shutil.which("chromium") or shutil.which("chromium-browser")
        if chromium is None:
            if not os.environ.get("CI"):
                print("SKIP rendering: chromium is not installed here")
                shutil.rmtree(work, ignore_errors=True)
                return SKIPPED
            failures.append("chromium is missing in CI")
        else:
            _, _, pixels, bpp = screenshot(chromium, work, svg_path, "680,700")
            for cell in cells[40:200:17]:
                points = [tuple(map(float, p.split(","))) for p in cell.get("points").split()]
                # Between the centre and a corner of the cell: off the gridlines, which pass
                # through the grid points.
                cx = sum(p[0] for p in points) / len(points)
                cy = sum(p[1] for p in points) / len(points)
                x, y = round(cx + 0.6 * (points[0][0] - cx)), round(cy + 0.6 * (points[0][1] - cy))
                got = pixels[y][x * bpp:x * bpp + 3]
                fill = cell.get("fill")
                want = bytes(int(fill[i:i + 2], 16) for i in (1, 3, 5))
                check(all(abs(g - w) <= 40 for g, w in zip(got, want)),
                      f"cell at {x},{y}: pixel {got.hex()}, colour {want.hex()}")
    shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print(f"{len(rows)} compositions checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
