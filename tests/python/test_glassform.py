"""The Python module against the command line (the program named by $GLASSFORM): the same
numbers, the same screen, errors as exceptions, pickling, the featurizer and the notebook
views."""
import ast
import io
import math
import os
import pickle
import random
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import pandas
import pytest

import glassform

GLASSFORM = os.environ.get("GLASSFORM", "build/glassform")


def cli_csv(args, stdin=None):
    out = subprocess.run([GLASSFORM] + args + ["--format", "csv"], input=stdin,
                         capture_output=True, text=True).stdout
    return pandas.read_csv(io.StringIO(out), keep_default_na=False, na_values=[""])


def same(value, cell):
    """A module value and the pandas cell of the same field (an empty text is an empty cell)."""
    if value is None or value == "":
        return cell is None or (isinstance(cell, float) and math.isnan(cell))
    if isinstance(value, bool):
        return bool(cell) == value
    return value == cell


def test_alloys_equal_the_command_lines_csv():
    random.seed(7)
    symbols = list(glassform.elements()["symbol"])
    lines, alloys = [], []
    for trial in range(200):
        kind = 2 + trial % 3
        chosen = random.sample(symbols, kind)
        cn = None if trial % 4 == 0 else [random.randint(1, 30) for _ in range(kind - 1)]
        lines.append(" ".join(chosen + [str(k) for k in cn or []]))
        alloys.append(glassform._alloy(chosen, cn))
    frame = cli_csv(["batch"], "\n".join(lines) + "\n")
    rows = [c for a in alloys for c in a.compositions]
    assert len(rows) == len(frame)
    for composition, (_, cells) in zip(rows, frame.iterrows()):
        for name, value in composition.as_dict().items():
            assert same(value, cells[name]), (composition.formula, name, value, cells[name])


@pytest.mark.parametrize("formula", ["Cu46Zr46Al8", "Zr41.2Ti13.8Cu12.5Ni10Be22.5", "Fe50O50",
                                     "Pd40Ni40P20", "Cu"])
def test_assess_equals_the_command_line(formula):
    cells = cli_csv(["assess", formula]).iloc[0]
    assessment = glassform.assess(formula)
    for name, value in assessment.as_dict().items():
        assert same(value, cells[name]), (name, value, cells[name])


@pytest.mark.parametrize("kwargs,args", [
    (dict(kind="binary", solvents="Zr"), ["binary", "--solvent", "Zr"]),
    (dict(kind="ternary", solvents=["Cu"], best_variant=True, exclude=["alkali"], top=30),
     ["ternary", "--solvent", "Cu", "--best-variant", "--exclude", "alkali", "--top", "30"]),
    (dict(kind="ternary", solvents="Ni", sort="mismatch", where=["dH_mix_kJ/mol<-10"],
          keep_unphysical=True),
     ["ternary", "--solvent", "Ni", "--sort", "mismatch", "--where", "dH_mix_kJ/mol<-10",
      "--keep-unphysical"]),
])
def test_screen_is_the_command_lines_csv(kwargs, args):
    # A text column is text even where every row lacks it, and a number a float even where
    # every value is whole (pandas alone would guess floats and integers).
    kinds = {"text": object, "number": "float64"}
    text = {name: kinds[kind] for name, _, kind, _, _ in glassform._core.fields() if kind in kinds}
    expected = pandas.read_csv(io.StringIO(subprocess.run(
        [GLASSFORM, "screen"] + args + ["--format", "csv"], capture_output=True,
        text=True).stdout), dtype=text)
    expected["warnings"] = expected["warnings"].fillna("")  # an empty string where none
    pandas.testing.assert_frame_equal(glassform.screen(**kwargs), expected)


@pytest.mark.parametrize("call,error,detail", [
    (lambda: glassform.binary("Zr", "Qq"), glassform.UnknownSymbol, ("text", "Qq")),
    (lambda: glassform.binary("Zr", "cu"), glassform.UnknownSymbol, ("suggestions", ("Cu",))),
    (lambda: glassform.assess("Cu50Zr("), glassform.FormulaError, ("position", 7)),
    (lambda: glassform.binary("Zr", "Cu", cn=[0]), ValueError, None),
    (lambda: glassform.binary("Zr", "Cu", cn=[2.5]), ValueError, None),
    (lambda: glassform.ternary("Cu", "Zr", "Al", cn=[17]), ValueError, None),
    (lambda: glassform.screen("senary", "Zr"), ValueError, None),
    (lambda: glassform.screen("binary", "Zr", exclude=["metals"]), ValueError, None),
    (lambda: glassform.weigh("Cu50Zr50", mass=-1), ValueError, None),
    (lambda: glassform.weigh("Cu50Zr50", mass=float("inf")), ValueError, None),
    (lambda: glassform.screen("binary", "Zr", top=None), ValueError, None),
    (lambda: glassform.screen("binary", "Zr", top=5.5), ValueError, None),
    (lambda: glassform.screen("binary", "Zr", top=100001), ValueError, None),
    (lambda: glassform.screen("binary", "Zr", where=["line>1"]), ValueError, None),
    (lambda: glassform.GlassFeaturizer().featurize_many("Cu50Zr50"), TypeError, None),
    (lambda: glassform.GlassFeaturizer().featurize_many(["Cu50Zr50", "Cu5)"], ignore_errors=False),
     glassform.FormulaError, ("formula", "Cu5)")),
    (lambda: glassform.assess(None), TypeError, None),
    (lambda: glassform.assess(46.5), TypeError, None),
    (lambda: glassform.assess_many("Cu50Zr50"), TypeError, None),
])
def test_bad_input_raises(call, error, detail):
    with pytest.raises(error) as raised:
        call()
    if detail:
        assert getattr(raised.value, detail[0]) == detail[1]


def test_results_pickle_and_missing_data_is_none():
    for result in (glassform.ternary("Cu", "Zr", "Al"), glassform.assess("Fe50O50"),
                   glassform.weigh("(Cu50Zr50)92Al8", mass=10)):
        assert pickle.loads(pickle.dumps(result)) == result
    oxide = glassform.assess("Fe50O50")
    assert oxide.p_glass is None and oxide.dH_mix_kJ_over_mol is None
    assert "no mixing enthalpy for the pair O-Fe" in oxide.warnings.split("; ")
    error = pickle.loads(pickle.dumps(glassform.FormulaError("m", "Cu(", 3)))
    assert error.position == 3


class Formula:
    def __init__(self, text):
        self.text = text

    def __str__(self):
        return self.text


def test_featurizer_on_ten_thousand_formulas():
    random.seed(3)
    symbols = list(glassform.elements()["symbol"])
    formulas = ["".join("%s%d" % (s, random.randint(1, 60))
                        for s in random.sample(symbols, random.randint(1, 6)))
                for _ in range(10000)]
    featurizer = glassform.GlassFeaturizer()
    labels = featurizer.feature_labels()
    table = featurizer.featurize_many(formulas)
    assert table.shape == (10000, len(labels)) and "p_glass" in labels
    for i in (0, 17, 9999):
        assert featurizer.featurize(Formula(formulas[i])) == pytest.approx(
            list(table[i]), nan_ok=True)
        assessment = glassform.assess(formulas[i])
        for label, value in zip(labels, table[i]):
            expected = getattr(assessment, glassform.attribute_name(label))
            assert (math.isnan(value) and expected is None) or value == expected, label
    oxide = featurizer.featurize("Fe50O50")
    assert math.isnan(oxide[labels.index("p_glass")])
    assert all(c.startswith("@article{") for c in featurizer.citations())


def test_notebook_views_are_well_formed():
    alloy = glassform.ternary("Cu", "Zr", "Al")
    for svg in (alloy._repr_svg_(), glassform.assess("Cu46Zr46Al8")._repr_svg_(),
                glassform.BlackmanPlot([alloy, "Pd81Si19"])._repr_svg_()):
        assert ElementTree.fromstring(svg.encode()).tag.endswith("svg")
    # One HTML view holding the table (numbers to 4 significant digits) and the diagram.
    for html in (alloy._repr_html_(), glassform.assess("Cu46Zr46Al8")._repr_html_()):
        root = ElementTree.fromstring(html)
        assert root.find(".//table") is not None and root.find(".//{*}svg") is not None
        cells = [c.text for c in root.iter("td") if c.text and c.text[0].isdigit()]
        assert cells and all(len(c.replace(".", "").lstrip("0")) <= 4 for c in cells), cells
    assert not {"Any", "csv", "io", "re", "dataclasses"} & set(dir(glassform))


def test_the_type_stub_is_current_and_whole():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    sys.path.insert(0, os.path.join(root, "tools"))
    import python_stub

    expected = python_stub.stub()
    with open(os.path.join(root, "python", "glassform", "__init__.pyi")) as f:
        assert f.read() == expected, "stale: run tools/python_stub.py > python/glassform/__init__.pyi"
    declared = set()
    for node in ast.parse(expected).body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            declared.add(node.name)
        elif isinstance(node, ast.AnnAssign):
            declared.add(node.target.id)
        elif isinstance(node, ast.ImportFrom):
            declared.update(a.asname or a.name for a in node.names)
    assert set(glassform.__all__) <= declared, set(glassform.__all__) - declared
    row = glassform.assess("Cu46Zr46Al8").as_dict()
    assert all("    %s: " % glassform.attribute_name(n) in expected for n in row)


def test_many_at_once_in_a_frame():
    formulas = ["Cu46Zr46Al8", "Fe50O50", "Pd40Cu30Ni10P20"]
    frame = glassform.assess_many(formulas)
    assert list(frame.columns) == list(glassform.assess(formulas[0]).as_dict())
    assert list(frame["formula"]) == ["Cu46.00Zr46.00Al8.00", "Fe50.00O50.00",
                                      "Pd40.00Cu30.00Ni10.00P20.00"]
    assert frame["p_glass"][0] == glassform.assess(formulas[0]).p_glass
    assert frame["warnings"][0] == "" and "O-Fe" in frame["warnings"][1]
    assert glassform.screen("binary", "Zr", top=3)["warnings"].map(type).eq(str).all()
    # An entry the featurizer cannot read is a row of NaN, with one warning for them all.
    featurizer = glassform.GlassFeaturizer()
    with pytest.warns(UserWarning, match="3 of 5 compositions"):
        table = featurizer.featurize_many(["Cu50Zr50", None, "Qq50Zr50", float("nan"),
                                           "Cu46Zr46Al8"])
    assert [all(math.isnan(v) for v in row) for row in table] == [False, True, True, True, False]
    assert list(glassform.fields()["attribute"])[list(glassform.fields()["name"]).index(
        "C12/C11")] == "C12_over_C11"


def test_element_data_equals_the_command_line(tmp_path):
    data = os.path.join(os.path.dirname(__file__), "..", "..", "data")
    elements = os.path.join(data, "elements_more.tsv")
    pairs = os.path.join(data, "mixing_enthalpy_more.tsv")
    user = glassform.ElementData.from_file(elements, mixing_enthalpy=pairs)
    cells = cli_csv(["assess", "--elements", elements, "--mixing-enthalpy", pairs,
                     "Au55Pb22.5Sb22.5"]).iloc[0]
    assessment = glassform.assess("Au55Pb22.5Sb22.5", elements=user)
    for name, value in assessment.as_dict().items():
        assert same(value, cells[name]), (name, value, cells[name])
    assert assessment.element_data == user.digest and assessment.extrapolated
    table = glassform.elements(elements=user).set_index("symbol")
    assert table.loc["Sb", "source"].startswith("added")
    assert table.loc["Cu", "source"] == "built-in"
    features = glassform.GlassFeaturizer(elements=user).featurize("Au55Pb22.5Sb22.5")
    assert not math.isnan(features[-1])
    bad = tmp_path / "bad.csv"
    bad.write_text("symbol,radius_nm\nSb,0\n")
    with pytest.raises(ValueError) as raised:
        glassform.ElementData.from_file(str(bad))
    message = subprocess.run([GLASSFORM, "assess", "--elements", str(bad), "Cu"],
                             capture_output=True, text=True).stderr
    assert message == "glassform: error: %s\n" % raised.value


def test_composition_map_equals_the_command_line():
    result = glassform.composition_map("Cu", "Zr", "Al", step=5)
    cells = cli_csv(["map", "Cu", "Zr", "Al", "--step", "5"])
    frame = result.frame
    assert list(frame.columns) == list(cells.columns) and len(frame) == 231
    for (_, ours), (_, theirs) in zip(frame.iterrows(), cells.iterrows()):
        for name in frame.columns:
            assert same(ours[name] if ours[name] == ours[name] else None, theirs[name]), name
    root = ElementTree.fromstring(result._repr_svg_())
    assert root.tag.endswith("svg")
    with pytest.raises(ValueError):
        glassform.composition_map("Cu", "Zr", "Al", step=3)


@pytest.mark.parametrize("ours, args", [
    (dict(kind="ternary", solvents=["Cu", "Zr"], solutes=["Zr", "Al", "Ni", "Cu"], grid=5,
          per_system=2, top=5),
     ["screen", "ternary", "--solvent", "Cu,Zr", "--solutes", "Zr,Al,Ni,Cu", "--grid", "5",
      "--per-system", "2", "--top", "5", "--columns", "wide"]),
    (dict(around="Cu46Zr46Al8", radius=2, sort="-dmax_mm", where=["x_Al_at%>=7"]),
     ["screen", "--around", "Cu46Zr46Al8", "--radius", "2", "--sort=-dmax_mm", "--where",
      "x_Al_at%>=7"]),
])
def test_grid_and_around_screens_equal_the_command_line(ours, args):
    frame = glassform.screen(**ours)
    cells = cli_csv(args)
    assert list(frame.columns) == list(cells.columns) and len(frame) == len(cells) > 0
    for (_, mine), (_, theirs) in zip(frame.iterrows(), cells.iterrows()):
        for name in frame.columns:
            assert same(mine[name] if mine[name] == mine[name] else None, theirs[name]), name
    with pytest.raises(ValueError):
        glassform.screen("ternary", "Cu", grid=3)
