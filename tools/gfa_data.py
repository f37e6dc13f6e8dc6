"""The labelled glass-formation data of the score, shared by train_gfa_score.py and
benchmark_gfa.py.

Reads data/glass_compositions_ward2016.csv (melt-spun compositions labelled AM amorphous, AC
amorphous and crystalline, CR crystalline; Ward et al., npj Comput. Mater. 2 (2016) 16028):
AM is a glass, AC and CR are not. Compositions with an element outside glassform's table or
with fewer than two elements are dropped; a composition listed more than once is kept once,
and dropped altogether where its labels disagree. The features are the program's own: the
columns of `glassform assess --file ... --format csv`, so that Python and C++ see the very same
values."""
import csv
import io
import os
import re
import subprocess
import sys
import tempfile

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data", "glass_compositions_ward2016.csv")

# The score's inputs, in the trees' order: output fields of glassform.
FEATURES = ["delta_pct", "dH_mix_kJ/mol", "dS_mix_J/molK", "Tm_K", "log10_Omega",
            "min_dH_pair_kJ/mol", "max_dH_pair_kJ/mol", "delta_chi", "valence_electrons", "n_elements",
            "max_at%"]

# The model: gradient-boosted trees with a fixed random state.
PARAMS = dict(n_estimators=100, max_depth=6, learning_rate=0.1, subsample=0.8, random_state=0)

# The spread p_glass_sd: this many smaller models of the same kind, each trained without one
# fold of the chemical systems.
ENSEMBLE_MODELS = 5
ENSEMBLE_PARAMS = dict(PARAMS, n_estimators=50)

PART = re.compile(r"([A-Z][a-z]?)([0-9]+(?:\.[0-9]*)?)")


def run(glassform, args):
    return subprocess.run([glassform] + args, capture_output=True, text=True, check=True).stdout


def table_symbols(glassform):
    """glassform's elements in table order."""
    return [r["symbol"] for r in csv.DictReader(io.StringIO(run(glassform, ["elements", "--format",
                                                                               "csv"])))]


class Dataset:
    """The compositions (formula texts for glassform), labels (1 glass), chemical systems
    (the sorted symbols with a non-zero amount) and the counts of what was dropped."""

    def __init__(self, glassform, log=sys.stdout):
        symbols = set(table_symbols(glassform))
        with open(DATA, newline="") as f:
            raw = list(csv.DictReader(line for line in f if not line.startswith("#")))
        labels = {}
        order = []
        outside = single = 0
        for r in raw:
            parts = [(s, float(a)) for s, a in PART.findall(r["Formula"]) if float(a) > 0]
            if any(s not in symbols for s, _ in parts):
                outside += 1
                continue
            merged = {}
            for s, a in parts:
                merged[s] = merged.get(s, 0.0) + a
            if len(merged) < 2:
                single += 1
                continue
            total = sum(merged.values())
            key = tuple(sorted((s, round(a / total, 6)) for s, a in merged.items()))
            if key not in labels:
                labels[key] = set()
                order.append((key, "".join("%s%s" % (s, a) for s, a in parts)))
            labels[key].add(r["identifier"] == "AM")
        conflicting = sum(1 for k in labels if len(labels[k]) > 1)
        kept = [(k, f) for k, f in order if len(labels[k]) == 1]
        self.formulas = [f for _, f in kept]
        self.parts = [k for k, _ in kept]  # (symbol, fraction rounded to 6 decimals), sorted
        self.y = np.array([int(next(iter(labels[k]))) for k, _ in kept])
        self.systems = np.array(["-".join(sorted(s for s, _ in k)) for k, _ in kept])
        self.elements = sorted({s for k, _ in kept for s, _ in k})
        print("%d rows; dropped: %d with an element outside the table, %d with one element, "
              "%d rows repeating a composition, %d compositions with conflicting labels; kept "
              "%d compositions (%d glasses) of %d systems" %
              (len(raw), outside, single, len(raw) - outside - single - len(labels), conflicting,
               len(kept), int(self.y.sum()), len(set(self.systems))), file=log)
        self.X = features(glassform, self.formulas)


def features(glassform, formulas, names=FEATURES):
    """The feature matrix of these formulas, from glassform assess."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "compositions.txt")
        with open(path, "w") as f:
            f.write("".join(x + "\n" for x in formulas))
        out = run(glassform, ["assess", "--file", path, "--format", "csv"])
    rows = list(csv.DictReader(io.StringIO(out)))
    if len(rows) != len(formulas):
        raise SystemExit("glassform assess gave %d rows for %d compositions" %
                         (len(rows), len(formulas)))
    if any(r[n] == "" for r in rows for n in names):
        raise SystemExit("a training composition lacks a feature")
    return np.array([[float(r[n]) for n in names] for r in rows])
