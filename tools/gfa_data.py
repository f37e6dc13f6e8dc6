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


def features(glassform, formulas, names=FEATURES, missing="error"):
    """The feature matrix of these formulas, from glassform assess; a formula that lacks a
    feature is an error, or (missing="nan") a row of NaN."""
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "compositions.txt")
        with open(path, "w") as f:
            f.write("".join(x + "\n" for x in formulas))
        out = run(glassform, ["assess", "--file", path, "--format", "csv"])
    rows = list(csv.DictReader(io.StringIO(out)))
    if len(rows) != len(formulas):
        raise SystemExit("glassform assess gave %d rows for %d compositions" %
                         (len(rows), len(formulas)))
    if missing == "error" and any(r[n] == "" for r in rows for n in names):
        raise SystemExit("a training composition lacks a feature")
    return np.array([[float(r[n]) if r[n] != "" else np.nan for n in names] for r in rows])


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


# The bulk glasses with their critical casting thickness: L. Ward, S. C. O'Keeffe, J. Stevick,
# G. R. Jelbert, M. Aykol, C. Wolverton, Acta Mater. 159 (2018) 102-111.
BULK_DATA = os.path.join(ROOT, "data", "ward2018_metallic_glasses.csv")

_TOKEN = re.compile(r"\s*(?:([A-Z][a-z]?)|([(\[{])|([)\]}])|([0-9]*\.?[0-9]+))")
_CLOSER = {"(": ")", "[": "]", "{": "}"}


def expand_formula(text):
    """The element amounts of a formula with nested groups: (Cu60Zr30Ti10)98Y2,
    La62Al14(CuNi)24, [(Fe0.8Co0.2)0.75B0.2Si0.05]96Nb4. A group's amounts are normalised, then
    multiplied by its subscript (1 without one); an element without an amount has 1. Returns
    {symbol: amount}, or None where the text is no such formula."""
    tokens, pos = [], 0
    text = text.strip()
    while pos < len(text):
        m = _TOKEN.match(text, pos)
        if not m or m.end() == pos:
            return None
        tokens.append(next((k, v) for k, v in zip(("element", "open", "close", "number"),
                                                   m.groups()) if v is not None))
        pos = m.end()

    def number_at(i):
        if i < len(tokens) and tokens[i][0] == "number":
            return float(tokens[i][1]), i + 1
        return 1.0, i

    def group(i, closer):
        amounts = {}
        while i < len(tokens):
            kind, value = tokens[i]
            if kind == "close":
                if value != closer:
                    raise ValueError(text)
                return amounts, i + 1
            if kind == "element":
                n, i = number_at(i + 1)
                amounts[value] = amounts.get(value, 0.0) + n
            elif kind == "open":
                inner, i = group(i + 1, _CLOSER[value])
                n, i = number_at(i)
                total = sum(inner.values())
                if total <= 0:
                    raise ValueError(text)
                for s, a in inner.items():
                    amounts[s] = amounts.get(s, 0.0) + a / total * n
            else:
                raise ValueError(text)
        if closer is not None:
            raise ValueError(text)
        return amounts, i

    try:
        amounts, _ = group(0, None)
    except ValueError:
        return None
    amounts = {s: a for s, a in amounts.items() if a > 0}
    return amounts or None


def base_element(parts, order):
    """The element with the largest share; ties: the first in the table's order."""
    return min(parts, key=lambda p: (-p[1], order[p[0]]))[0]


# The casting-thickness model: gradient-boosted regression trees of log10 D_max over the score's
# inputs and p_glass, with an 80 % interval from the held-out residuals of system-grouped folds.
DMAX_FEATURES = FEATURES + ["p_glass"]
DMAX_PARAMS = dict(n_estimators=200, max_depth=3, learning_rate=0.05, subsample=0.8,
                   random_state=0)
DMAX_FOLDS = 5
DMAX_COVERAGE = 0.8
# A base element with fewer bulk glasses than this is outside the model's domain.
DMAX_LEAST_BASE = 10


def dmax_interval(residuals):
    """The offsets (in log10 D_max) of the central DMAX_COVERAGE interval of these residuals."""
    tail = (1 - DMAX_COVERAGE) / 2
    return float(np.quantile(residuals, tail)), float(np.quantile(residuals, 1 - tail))


def dmax_held_out(data, groups, folds=DMAX_FOLDS, params=None):
    """Each composition's log10 D_max from trees trained without its group (GroupKFold; random
    folds where groups is None), and its fold."""
    from sklearn.ensemble import GradientBoostingRegressor
    from sklearn.model_selection import GroupKFold, KFold
    estimate = np.zeros(len(data.y))
    fold = np.zeros(len(data.y), dtype=int)
    splitter = GroupKFold(folds) if groups is not None else KFold(folds, shuffle=True,
                                                                   random_state=0)
    for k, (train, test) in enumerate(splitter.split(data.X, data.y, groups)):
        model = GradientBoostingRegressor(**(params or DMAX_PARAMS)).fit(data.X[train],
                                                                          data.y[train])
        estimate[test] = model.predict(data.X[test])
        fold[test] = k
    return estimate, fold


class BulkDataset:
    """The bulk glasses with a critical casting thickness D_max above 0: their compositions
    (formula texts for glassform, at.% rounded to one decimal), log10 D_max (the median of the
    rows of one composition), chemical systems, base elements and features (those of p_glass
    and p_glass itself)."""

    def __init__(self, glassform, path=None, log=sys.stdout):
        symbols = table_symbols(glassform)
        order = {s: i for i, s in enumerate(symbols)}
        with open(path or BULK_DATA, newline="") as f:
            rows = list(csv.DictReader(line for line in f if not line.startswith("#")))
        bulk = [r for r in rows if r["gfa_type"] == "BMG" and r["D_max"] and
                float(r["D_max"]) > 0]
        nested = sum(1 for r in bulk if re.search(r"[(\[{]", r["composition"]))
        invalid = outside = 0
        dmax, first = {}, []
        for r in bulk:
            amounts = None if r["comment"] else expand_formula(r["composition"])
            if amounts is None:
                invalid += 1
                continue
            if any(s not in order for s in amounts):
                outside += 1
                continue
            total = sum(amounts.values())
            key = tuple(sorted(((s, round(100 * a / total, 1)) for s, a in amounts.items()
                                if round(100 * a / total, 1) > 0), key=lambda p: order[p[0]]))
            if len(key) < 2:
                invalid += 1
                continue
            if key not in dmax:
                dmax[key] = []
                first.append(key)
            dmax[key].append(float(r["D_max"]))
        formulas = ["".join("%s%s" % (s, repr(a)) for s, a in k) for k in first]
        X = features(glassform, formulas, DMAX_FEATURES, missing="nan")
        known = ~np.isnan(X).any(axis=1)
        self.X = X[known]
        self.parts = [k for k, ok in zip(first, known) if ok]
        self.formulas = [f for f, ok in zip(formulas, known) if ok]
        self.y = np.log10(np.array([np.median(dmax[k]) for k in self.parts]))
        self.systems = np.array(["-".join(sorted(s for s, _ in k)) for k in self.parts])
        self.bases = np.array([base_element(k, order) for k in self.parts])
        print("%d bulk-glass rows with D_max above 0 (%d with brackets, expanded); dropped: %d "
              "invalid, %d with an element outside the table, %d compositions without p_glass; "
              "%d compositions of %d systems" %
              (len(bulk), nested, invalid, outside, int((~known).sum()), len(self.parts),
               len(set(self.systems))), file=log)
