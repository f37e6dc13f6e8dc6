#!/usr/bin/env python3
"""The Blackman-diagram SVG as a user gets it: well-formed SVG whose points map back, through
the axis transform written in the file, to the compositions' C12/C11 and C44/C11; and, in a
real browser (headless Chromium), an image that is not blank, with each point's colour at its
centre, and labels (boxes from the browser's getBBox) that overlap neither each other nor a
point, for a single point, a ternary, a 40-row screen and measured glasses. Usage: plot_test.py GLASSFORM_BINARY [--render]: without --render the SVG checks only;
with it the rendering too, exiting 77 (skipped) where Chromium is missing outside CI."""
import csv
import html
import io
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

SVG = "{http://www.w3.org/2000/svg}"
BATCH = "Zr Cu\nCu Zr Al 17 15\nZr Al Cu Ni\nZr Mn\nNi B\nPd Si\nFe B\n"
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(binary, args, stdin=""):
    return subprocess.run([binary] + args, input=stdin, capture_output=True, text=True, check=True)


def points(root):
    left, right = float(root.get("data-plot-left")), float(root.get("data-plot-right"))
    top, bottom = float(root.get("data-plot-top")), float(root.get("data-plot-bottom"))
    x0, x1 = float(root.get("data-x-min")), float(root.get("data-x-max"))
    y0, y1 = float(root.get("data-y-min")), float(root.get("data-y-max"))
    for c in root.iter():
        if c.get("data-formula") is None:
            continue
        cx, cy = float(c.get("data-cx")), float(c.get("data-cy"))
        yield (c.get("data-formula"), x0 + (cx - left) / (right - left) * (x1 - x0),
               y0 + (bottom - cy) / (bottom - top) * (y1 - y0), cx, cy, c.get("fill"))


def png_pixels(data):
    """Decodes an 8-bit RGB or RGBA PNG: (width, height, rows of bytes, bytes per pixel)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, width, height, bpp = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6)
            bpp = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        prev = line
    return width, height, rows, bpp


SKIPPED = 77

MEASURED = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                        "data", "glass_moduli.csv")
LAYOUTS = [("single", ["binary", "Fe", "B"]),
           ("ternary", ["ternary", "Cu", "Zr", "Al"]),
           ("screen40", ["screen", "ternary", "--solvent", "Zr", "--top", "40"]),
           ("measured", ["elastic", "Cu50Zr50", "Cu47Zr47Al6", "Pd81Si19", "Fe71Nb6B23",
                         "Ca55Mg25Cu20", "--measured", MEASURED, "--placement", "isotropic"])]

# Measures, in the page, the box of every label (the points' and the B/G marks') and every
# marker, and writes them into the document for --dump-dom to return.
MEASURE = """<script>
const box = (e) => { const b = e.getBBox(); return [b.x, b.y, b.x + b.width, b.y + b.height]; };
const labels = [...document.querySelectorAll("text.label, text.mark")].map((e) => [e.textContent, box(e)]);
const points = [...document.querySelectorAll("[data-formula], [data-measured]")].map(box);
document.getElementById("result").textContent = JSON.stringify({labels, points});
</script>"""


def screenshot(chromium, work, svg_path, size):
    """The file as headless Chromium draws it in a window of `size` ("W,H"): png_pixels."""
    png = os.path.join(work, "shot.png")
    subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu",
                    "--disable-background-networking", "--disable-component-update",
                    "--no-first-run", "--disable-sync", "--user-data-dir=" + work + "/profile",
                    "--window-size=" + size, "--screenshot=" + png, "file://" + svg_path],
                   capture_output=True, timeout=120, check=False)
    return png_pixels(open(png, "rb").read())


def check_layout(chromium, work, name, svg):
    page = os.path.join(work, name + ".html")
    with open(page, "w") as f:
        f.write("<!DOCTYPE html><html><body style='margin:0'>" + svg.split("?>", 1)[1] +
                "<pre id='result'></pre>" + MEASURE + "</body></html>")
    dom = subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu",
                          "--user-data-dir=" + work + "/profile-" + name, "--dump-dom",
                          "file://" + page], capture_output=True, text=True, timeout=120).stdout
    start = dom.find("<pre id=\"result\">")
    if start < 0:
        failures.append(f"{name}: the page did not measure its labels")
        return
    found = json.loads(html.unescape(dom[start + len("<pre id=\"result\">"):dom.find("</pre>", start)]))
    labels, points = found["labels"], found["points"]

    def overlap(a, b):
        return a[0] < b[2] - 0.5 and b[0] < a[2] - 0.5 and a[1] < b[3] - 0.5 and b[1] < a[3] - 0.5

    point_labels = [t for t, _ in labels if not t.startswith("B/G")]
    check(len(point_labels) >= min(len(points), 1), f"{name}: the points are labelled")
    for i, (text, b) in enumerate(labels):
        for other, c in labels[i + 1:]:
            check(not overlap(b, c), f"{name}: labels {text!r} and {other!r} overlap")
        for p in points:
            check(not overlap(b, p), f"{name}: label {text!r} covers a point")


def main():
    binary = sys.argv[1]
    render = "--render" in sys.argv[2:]
    work = tempfile.mkdtemp(prefix="glassform_plot_")
    svg_path = os.path.join(work, "plot.svg")
    out = run(binary, ["batch", "--format", "csv", "--plot", svg_path], BATCH).stdout
    rows = {}
    for r in csv.DictReader(io.StringIO(out)):
        label = "".join(s + "%.1f" % float(p) for s, p in zip(
            [r["solvent"], r["solute1"], r["solute2"], r["solute3"]],
            [r["x_solvent_at%"], r["x_solute1_at%"], r["x_solute2_at%"], r["x_solute3_at%"]]) if s)
        rows[label] = r

    root = ET.parse(svg_path).getroot()
    check(root.tag == SVG + "svg", "the root is an svg element in the SVG namespace")
    check(root.get("viewBox") == "0 0 800 600", "a fixed size with a viewBox")
    drawn = list(points(root))
    computable = [r for r in rows.values() if r["C12/C11"]]
    check(len(drawn) == len(computable), "one point per composition with constants")
    for formula, x, y, _, _, _ in drawn:
        r = rows[formula]
        check(abs(x - float(r["C12/C11"])) < 1e-4, f"{formula}: x maps back to C12/C11")
        check(abs(y - float(r["C44/C11"])) < 1e-4, f"{formula}: y maps back to C44/C11")
    note = " ".join(t.text or "" for t in root.iter(SVG + "text"))
    check("Zr83.1Mn16.9" in note, "the composition without constants is listed in the note")
    check(all(t in note for t in ("isotropic", "Cauchy", "Pugh", "C11 = B + G")),
          "reference lines and the convention are labelled")

    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not render:
        pass
    elif chromium is None:
        if not os.environ.get("CI"):
            print("SKIP rendering: chromium is not installed here")
            shutil.rmtree(work, ignore_errors=True)
            return SKIPPED
        failures.append("chromium is missing in CI")
    else:
        width, height, pixels, bpp = screenshot(chromium, work, svg_path, "800,600")
        check((width, height) == (800, 600), "the screenshot is 800 x 600")
        colours = {pixels[y][x * bpp:x * bpp + 3] for y in range(0, height, 7)
                   for x in range(0, width, 7)}
        check(len(colours) > 10, "the rendered image is not blank")
        for formula, _, _, cx, cy, fill in drawn:
            x, y = int(round(cx)), int(round(cy))
            got = pixels[y][x * bpp:x * bpp + 3]
            want = bytes(int(fill[i:i + 2], 16) for i in (1, 3, 5))
            check(all(abs(g - w) <= 40 for g, w in zip(got, want)),
                  f"{formula}: pixel {got.hex()} at the point's centre, colour {want.hex()}")
        for name, args in LAYOUTS:
            layout_path = os.path.join(work, name + ".svg")
            run(binary, args + ["--plot", layout_path])
            check_layout(chromium, work, name, open(layout_path).read())
    shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print(f"{len(drawn)} points checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
