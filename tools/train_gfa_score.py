#!/usr/bin/env python3
"""Trains glassform's glass-formation score p_glass and writes it as C++.

Fits gradient-boosted trees (scikit-learn, fixed random state) on every labelled composition
of data/glass_compositions_ward2016.csv, with the features glassform itself prints (see
gfa_data.py), and writes
  src/glassform/model/glass_score_trees.inc       the trees, which the program evaluates;
  src/glassform/model/labelled_compositions.inc   the labelled compositions themselves, from
                                        which the program tells a score's domain;
  src/glassform/model/glass_score_ensemble.inc    five smaller models, each trained without
                                        one fifth of the chemical systems, whose spread is
                                        p_glass_sd;
  tests/data/gfa_score_expected.csv     the library's probability and spread of every
                                        training composition, which a test compares with the
                                        program's.

Usage: train_gfa_score.py [GLASSFORM] [--check]
  GLASSFORM  the program that computes the features (default build/glassform)
  --check    write nothing; fail when the committed files differ from what this run gives
             (skipped, exit 77, without scikit-learn or with another version of it than the
             one that wrote them)"""
import hashlib
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gfa_data  # noqa: E402

TREES = os.path.join(gfa_data.ROOT, "src", "glassform", "model", "glass_score_trees.inc")
ENSEMBLE = os.path.join(gfa_data.ROOT, "src", "glassform", "model", "glass_score_ensemble.inc")
LABELLED = os.path.join(gfa_data.ROOT, "src", "glassform", "model", "labelled_compositions.inc")
EXPECTED = os.path.join(gfa_data.ROOT, "tests", "data", "gfa_score_expected.csv")
SKIP = 77


def float32_at_most(value):
    """The largest float not above value, as a C++ literal: float x <= value exactly when
    x <= that float."""
    import numpy as np
    f = np.float32(value)
    if float(f) > value:
        f = np.nextafter(f, np.float32(-np.inf))
    return np.format_float_positional(f, unique=True, trim="0") + "F"


def complete_tree(tree, depth, scale):
    """The tree stored complete to `depth` levels, breadth first: node i has children 2i+1 and
    2i+2. A leaf above the last level is repeated below an always-left node."""
    inner = 2 ** depth - 1
    features = [0] * inner
    thresholds = ["0x1.fffffep+127F"] * inner  # the largest float: always left
    leaves = [0.0] * (2 ** depth)

    def fill(node, position, level):
        if level == depth:
            if tree.children_left[node] != -1:
                raise SystemExit("a tree is deeper than %d levels" % depth)
            leaves[position - inner] = scale * tree.value[node][0][0]
            return
        if tree.children_left[node] == -1:
            fill(node, 2 * position + 1, level + 1)
            fill(node, 2 * position + 2, level + 1)
            return
        features[position] = int(tree.feature[node])
        thresholds[position] = float32_at_most(tree.threshold[node])
        fill(tree.children_left[node], 2 * position + 1, level + 1)
        fill(tree.children_right[node], 2 * position + 2, level + 1)

    fill(0, 0, 0)
    return features, thresholds, leaves


def labelled_table(data, symbols):
    """The labelled compositions as C++: each one's elements (table indices, in table order),
    their at.% as floats, and whether it is a glass."""
    import numpy as np

    index = {s: i for i, s in enumerate(symbols)}
    elements, percents, starts, glass = [], [], ["0"], []
    for parts, label in zip(data.parts, data.y):
        ordered = sorted(parts, key=lambda p: index[p[0]])
        elements += [str(index[s]) for s, _ in ordered]
        percents += [np.format_float_positional(np.float32(a * 100), unique=True, trim="0") + "F"
                     for _, a in ordered]
        starts.append(str(len(elements)))
        glass.append("1" if label else "0")
    body = [
        "inline constexpr std::size_t kLabelledCount = %d;" % len(glass),
        "inline constexpr std::array<std::uint8_t, %d> kLabelledElement{" % len(elements)]
    body += ["    %s," % ", ".join(elements[i:i + 30]) for i in range(0, len(elements), 30)]
    body += ["};", "inline constexpr std::array<float, %d> kLabelledPercent{" % len(percents)]
    body += ["    %s," % ", ".join(percents[i:i + 12]) for i in range(0, len(percents), 12)]
    body += ["};", "inline constexpr std::array<std::uint32_t, %d> kLabelledStart{" % len(starts)]
    body += ["    %s," % ", ".join(starts[i:i + 20]) for i in range(0, len(starts), 20)]
    body += ["};", "inline constexpr std::array<std::uint8_t, %d> kLabelledGlass{" % len(glass)]
    body += ["    %s," % ", ".join(glass[i:i + 40]) for i in range(0, len(glass), 40)]
    body.append("};")
    digest = hashlib.sha256("\n".join(body).encode()).hexdigest()[:12]
    head = [
        "// Generated by tools/train_gfa_score.py; do not edit. To remake it:",
        "//   python3 tools/train_gfa_score.py build/glassform",
        "// The labelled compositions the score was trained on, after the trainer's cleaning, from",
        "// data/glass_compositions_ward2016.csv (L. Ward, A. Agrawal, A. Choudhary, C. Wolverton,",
        "// npj Comput. Mater. 2 (2016) 16028, CC BY 4.0; AM is a glass, AC and CR are not).",
        "// Composition i holds the elements kLabelledElement[kLabelledStart[i] ..",
        "// kLabelledStart[i + 1]) (table indices, in table order) at kLabelledPercent at.%.",
        "// clang-format off",
        'inline constexpr std::string_view kLabelledName = "%d melt-spun compositions of Ward et '
        'al. 2016, table %s";' % (len(glass), digest)]
    return "\n".join(head + body + ["// clang-format on", ""])


def ensemble_table(data, depth, scale):
    """The spread's models as C++, and their probabilities for every training composition:
    gfa_data.ENSEMBLE_MODELS models of gfa_data.ENSEMBLE_PARAMS, the k-th trained on the
    compositions outside the k-th of the system-grouped folds."""
    import numpy as np
    from sklearn.ensemble import GradientBoostingClassifier
    from sklearn.model_selection import GroupKFold

    features, thresholds, leaves, inits, proba = [], [], [], [], []
    folds = GroupKFold(gfa_data.ENSEMBLE_MODELS).split(data.X, data.y, data.systems)
    for train, _ in folds:
        model = GradientBoostingClassifier(**gfa_data.ENSEMBLE_PARAMS).fit(data.X[train],
                                                                          data.y[train])
        inits.append(repr(float(model._raw_predict_init(data.X[:1])[0, 0])))
        for estimator in model.estimators_[:, 0]:
            f, t, v = complete_tree(estimator.tree_, depth, scale)
            features.append(f)
            thresholds.append(t)
            leaves.append(v)
        proba.append(model.predict_proba(data.X)[:, 1])
    n = len(features)
    inner, outer = 2 ** depth - 1, 2 ** depth
    body = ["inline constexpr std::size_t kEnsembleModels = %d;" % gfa_data.ENSEMBLE_MODELS,
            "inline constexpr std::size_t kEnsembleTrees = %d;" %
            gfa_data.ENSEMBLE_PARAMS["n_estimators"],
            "inline constexpr std::array<double, %d> kEnsembleInitialLogOdds{%s};" % (
                len(inits), ", ".join(inits)),
            "inline constexpr std::array<std::uint8_t, %d> kEnsembleFeature{" % (n * inner)]
    body += ["    %s," % ", ".join(str(x) for x in f) for f in features]
    body += ["};", "inline constexpr std::array<float, %d> kEnsembleThreshold{" % (n * inner)]
    body += ["    %s," % ", ".join(t) for t in thresholds]
    body += ["};", "inline constexpr std::array<double, %d> kEnsembleLeaf{" % (n * outer)]
    body += ["    %s," % ", ".join(repr(float(x)) for x in v) for v in leaves]
    body.append("};")
    digest = hashlib.sha256("\n".join(body).encode()).hexdigest()[:12]
    head = [
        "// Generated by tools/train_gfa_score.py; do not edit. To remake it:",
        "//   python3 tools/train_gfa_score.py build/glassform",
        "// The spread of p_glass: %d models, GradientBoostingClassifier(%s), model k trained on" % (
            gfa_data.ENSEMBLE_MODELS,
            ", ".join("%s=%r" % kv for kv in gfa_data.ENSEMBLE_PARAMS.items())),
        "// the training compositions outside fold k of GroupKFold(%d) over the chemical systems;"
        % gfa_data.ENSEMBLE_MODELS,
        "// the trees stored as those of the score. p_glass_sd is the standard deviation (divided",
        "// by the number of models) of their probabilities.",
        "// clang-format off",
        'inline constexpr std::string_view kEnsembleName = "%d models of %d trees on the '
        'system-grouped folds, table %s";' % (gfa_data.ENSEMBLE_MODELS,
                                             gfa_data.ENSEMBLE_PARAMS["n_estimators"], digest)]
    return "\n".join(head + body + ["// clang-format on", ""]), np.std(np.array(proba), axis=0)


def generate(glassform):
    import numpy as np
    import sklearn
    from sklearn.ensemble import GradientBoostingClassifier

    log = []

    class Log:
        def write(self, text):
            log.append(text)

    data = gfa_data.Dataset(glassform, log=Log())
    summary = "".join(log).strip()
    model = GradientBoostingClassifier(**gfa_data.PARAMS).fit(data.X, data.y)
    depth = gfa_data.PARAMS["max_depth"]
    scale = gfa_data.PARAMS["learning_rate"]
    init = float(model._raw_predict_init(data.X[:1])[0, 0])
    body = []
    features, thresholds, leaves = [], [], []
    for estimator in model.estimators_[:, 0]:
        f, t, v = complete_tree(estimator.tree_, depth, scale)
        features.append(f)
        thresholds.append(t)
        leaves.append(v)
    n = len(features)
    inner, outer = 2 ** depth - 1, 2 ** depth
    body.append("inline constexpr std::array<std::string_view, %d> kFeatureNames{%s};" %
                (len(gfa_data.FEATURES), ", ".join('"%s"' % x for x in gfa_data.FEATURES)))
    body.append("inline constexpr int kTreeDepth = %d;" % depth)
    body.append("inline constexpr std::size_t kTreeCount = %d;" % n)
    body.append("inline constexpr double kInitialLogOdds = %r;" % init)
    body.append("inline constexpr std::array<std::uint8_t, %d> kNodeFeature{" % (n * inner))
    body += ["    %s," % ", ".join(str(x) for x in f) for f in features]
    body.append("};")
    body.append("inline constexpr std::array<float, %d> kNodeThreshold{" % (n * inner))
    body += ["    %s," % ", ".join(t) for t in thresholds]
    body.append("};")
    body.append("inline constexpr std::array<double, %d> kLeafValue{" % (n * outer))
    body += ["    %s," % ", ".join(repr(float(x)) for x in v) for v in leaves]
    body.append("};")
    symbols = gfa_data.table_symbols(glassform)
    trained = set(data.elements)
    body.append("inline constexpr std::array<bool, %d> kTrainedElement{" % len(symbols))
    body.append("    %s," % ", ".join("true" if s in trained else "false" for s in symbols))
    body.append("};")
    digest = hashlib.sha256("\n".join(body).encode()).hexdigest()[:12]
    name = ("gradient-boosted trees (%d of depth %d, scikit-learn %s) trained on %d melt-spun "
            "compositions of Ward et al. 2016, table %s" %
            (n, depth, sklearn.__version__, len(data.y), digest))
    head = [
        "// Generated by tools/train_gfa_score.py; do not edit. To remake it:",
        "//   python3 tools/train_gfa_score.py build/glassform",
        "// scikit-learn %s, GradientBoostingClassifier(%s)," % (
            sklearn.__version__, ", ".join("%s=%r" % kv for kv in gfa_data.PARAMS.items())),
        "// fitted to data/glass_compositions_ward2016.csv (L. Ward, A. Agrawal, A. Choudhary,",
        "// C. Wolverton, npj Comput. Mater. 2 (2016) 16028, CC BY 4.0; AM is a glass, AC and CR",
        "// are not):",
    ]
    head += ["//   " + line.strip() for line in re.findall(r".{1,90}(?:\s|$)", summary)]
    head += ["// clang-format off",
             'inline constexpr std::string_view kModelName = "%s";' % name]
    text = "\n".join(head + body + ["// clang-format on", ""])
    proba = model.predict_proba(data.X)[:, 1]
    ensemble, spread = ensemble_table(data, depth, scale)
    expected = "formula,p_glass,p_glass_sd\n" + "".join(
        "%s,%r,%r\n" % (f, float(p), float(d)) for f, p, d in zip(data.formulas, proba, spread))
    return text, expected, summary, labelled_table(data, symbols), ensemble


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    glassform = args[0] if args else os.path.join(gfa_data.ROOT, "build", "glassform")
    if check:
        try:
            import sklearn
        except ImportError:
            print("scikit-learn is missing: skipped")
            return SKIP
        with open(TREES) as f:
            committed = f.read()
        if "scikit-learn %s," % sklearn.__version__ not in committed:
            print("the table was written with another scikit-learn than %s: skipped" %
                  sklearn.__version__)
            return SKIP
    text, expected, summary, labelled, ensemble = generate(glassform)
    print(summary)
    if check:
        with open(EXPECTED) as f:
            committed_expected = f.read()
        with open(LABELLED) as f:
            committed_labelled = f.read()
        with open(ENSEMBLE) as f:
            committed_ensemble = f.read()
        if (committed, committed_expected, committed_labelled, committed_ensemble) != (
                text, expected, labelled, ensemble):
            print("%s, %s, %s or %s differs from what the trainer gives: run "
                  "tools/train_gfa_score.py" % tuple(os.path.relpath(p, gfa_data.ROOT)
                                                     for p in (TREES, EXPECTED, LABELLED,
                                                               ENSEMBLE)),
                  file=sys.stderr)
            return 1
        print("the committed score is what the trainer gives")
        return 0
    with open(TREES, "w") as f:
        f.write(text)
    with open(EXPECTED, "w") as f:
        f.write(expected)
    with open(LABELLED, "w") as f:
        f.write(labelled)
    with open(ENSEMBLE, "w") as f:
        f.write(ensemble)
    print("wrote %s, %s, %s and %s" % tuple(os.path.relpath(p, gfa_data.ROOT)
                                            for p in (TREES, EXPECTED, LABELLED, ENSEMBLE)))
    return 0


if __name__ == "__main__":
    os.environ.setdefault("OMP_NUM_THREADS", "1")
    sys.exit(main(sys.argv[1:]))
