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
            "max_at%"] + ["%s_%s%s" % (name, statistic, unit)
                          for name, unit in (("mendeleev_number", ""), ("group", ""), ("period", ""),
                                             ("covalent_radius", "_pm"))
                          for statistic in ("mean", "dev", "min", "max", "range")]

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


# p_glass is the trees' probability passed through a calibration map fitted to the scores the
# trees give each composition when its chemical system is held out, in this many folds.
CALIBRATION_FOLDS = 10


def held_out_scores(data, folds=CALIBRATION_FOLDS):
    """Each composition's probability from the score's model trained without its chemical
    system (GroupKFold over the systems), and the number of its fold."""
    from sklearn.ensemble import GradientBoostingClassifier
    from sklearn.model_selection import GroupKFold
    scores = np.zeros(len(data.y))
    fold = np.zeros(len(data.y), dtype=int)
    for k, (train, test) in enumerate(GroupKFold(folds).split(data.X, data.y, data.systems)):
        model = GradientBoostingClassifier(**PARAMS).fit(data.X[train], data.y[train])
        scores[test] = model.predict_proba(data.X[test])[:, 1]
        fold[test] = k
    return scores, fold


class IsotonicMap:
    """Isotonic regression of the labels on the scores, interpolated linearly between the
    centres of its blocks (the median score of each run of equal fitted values) and extrapolated
    linearly beyond the first and last, clipped only at 0 and 1: strictly increasing between."""
    method = "isotonic regression interpolated between the centres of its %d blocks"

    def __init__(self, scores, y):
        from sklearn.isotonic import IsotonicRegression
        order = np.argsort(scores, kind="mergesort")
        x = scores[order]
        fitted = IsotonicRegression(out_of_bounds="clip").fit(x, y[order]).predict(x)
        starts = np.r_[0, np.nonzero(np.diff(fitted))[0] + 1]
        ends = np.r_[starts[1:], len(x)]
        self.x = np.array([np.median(x[s:e]) for s, e in zip(starts, ends)])
        self.y = fitted[starts]
        if len(self.x) < 2 or (np.diff(self.x) <= 0).any() or (np.diff(self.y) <= 0).any():
            raise SystemExit("the isotonic calibration is not strictly increasing")
        self.name = self.method % len(self.x)

    def __call__(self, p):
        x, y = self.x, self.y
        p = np.asarray(p, dtype=float)
        below = y[0] + (p - x[0]) * ((y[1] - y[0]) / (x[1] - x[0]))
        above = y[-1] + (p - x[-1]) * ((y[-1] - y[-2]) / (x[-1] - x[-2]))
        v = np.where(p < x[0], below, np.where(p > x[-1], above, np.interp(p, x, y)))
        return np.clip(v, 0.0, 1.0)


class PlattMap:
    """Platt scaling: a logistic function of the trees' log-odds."""

    def __init__(self, scores, y):
        from sklearn.linear_model import LogisticRegression
        fit = LogisticRegression(C=1e12).fit(self._log_odds(scores)[:, None], y)
        self.slope, self.intercept = float(fit.coef_[0, 0]), float(fit.intercept_[0])
        self.name = "Platt scaling"

    @staticmethod
    def _log_odds(p):
        return np.log(p / (1 - p))

    def __call__(self, p):
        return 1 / (1 + np.exp(-(self.slope * self._log_odds(np.asarray(p)) + self.intercept)))


def tenths(values, y):
    """Per tenth of the values (the last one closed): its count, mean value and glass share."""
    tenth = np.minimum((values * 10).astype(int), 9)
    return [(int((tenth == t).sum()),
             float(values[tenth == t].mean()) if (tenth == t).any() else float("nan"),
             float(y[tenth == t].mean()) if (tenth == t).any() else float("nan"))
            for t in range(10)]


def calibration_error(values, y):
    """The expected calibration error over tenths (weighted by count), and the largest gap of
    a tenth of at least 100 compositions between its mean value and its glass share."""
    rows = tenths(values, y)
    ece = sum(n * abs(m - g) for n, m, g in rows if n) / len(y)
    worst = max((abs(m - g) for n, m, g in rows if n >= 100), default=0.0)
    return ece, worst


# What a calibration must reach, measured cross-fitted.
CALIBRATION_ECE = 0.03
CALIBRATION_TENTH = 0.05


def cross_fitted(kind, scores, y, fold):
    """The map fitted on the other folds' held-out scores, applied to each fold's own."""
    out = np.empty(len(scores))
    for k in np.unique(fold):
        out[fold == k] = kind(scores[fold != k], y[fold != k])(scores[fold == k])
    return out


def calibration(scores, y, fold, required=True):
    """The calibration map of p_glass: of the interpolated isotonic map and Platt scaling,
    those whose cross-fitted values meet the targets, the one with the lower Brier score; fitted
    on every held-out score. Returns the map and, for each kind tried, its cross-fitted values,
    Brier score, expected calibration error and worst tenth. Where none meets the targets, an
    error, or (not `required`, for a measurement) the one with the lower Brier score."""
    tried = []
    for kind in (IsotonicMap, PlattMap):
        values = cross_fitted(kind, scores, y, fold)
        ece, worst = calibration_error(values, y)
        tried.append((kind, values, float(np.mean((values - y) ** 2)), ece, worst))
    good = [t for t in tried if t[3] <= CALIBRATION_ECE and t[4] <= CALIBRATION_TENTH]
    if not good and not required:
        good = tried
    if not good:
        raise SystemExit("no calibration meets the targets: " + "; ".join(
            "%s: ECE %.3f, worst tenth %.3f" % (k.__name__, e, w) for k, _, _, e, w in tried))
    best = min(good, key=lambda t: t[2])
    return best[0](scores, y), tried
