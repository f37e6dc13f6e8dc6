"""glassform from Python: the cluster-packing model of metallic glasses, the elastic estimate,
the glass-forming criteria and the glass-formation score p_glass, with the very numbers of the
command line.

    >>> import glassform
    >>> alloy = glassform.binary("Zr", "Cu")
    >>> alloy.compositions[0].formula, alloy.compositions[0].packing_pct
    ('Zr81.93Cu18.07', 42.58326)
    >>> round(glassform.assess("Cu46Zr46Al8").p_glass, 3)
    0.889

Results are frozen dataclasses whose attributes are the output fields of `glassform fields`,
named by one rule (`attribute_name`): "/" becomes "_over_", "%" becomes "pct", any other
character that Python does not allow in a name becomes "_" (`C12/C11` -> `C12_over_C11`,
`packing_%` -> `packing_pct`, `dH_mix_kJ/mol` -> `dH_mix_kJ_over_mol`); `as_dict()` gives the
CSV names. A number is the double that pandas reads from the command line's CSV; a value the
program cannot compute is None, and the reason is in `warnings`.
"""
import dataclasses as _dataclasses
import re as _re
import warnings as _warnings
from typing import Any as _Any
from typing import Iterable as _Iterable
from typing import Optional as _Optional
from typing import Sequence as _Sequence
from typing import Union as _Union

from . import _core
from .errors import FormulaError, UnknownSymbol

__version__ = _core.version()
__all__ = ["binary", "ternary", "quaternary", "assess", "assess_many", "screen", "weigh",
           "elements", "fields", "ElementData", "composition_map", "CompositionMap",
           "blackman_svg", "BlackmanPlot", "GlassFeaturizer", "Alloy", "Cluster", "Composition",
           "Assessment", "Weighing", "UnknownSymbol", "FormulaError", "attribute_name",
           "score_model", "__version__"]

# The model of the glass-formation score: its training data and a short hash of its table.
score_model = _core.score_model()


def attribute_name(field: str) -> str:
    """The Python name of an output field: "/" -> "_over_", "%" -> "pct", any other character
    that is not a letter, a digit or "_" -> "_"; a leading digit gets a "_" before it."""
    name = _re.sub(r"[^0-9A-Za-z_]", "_", field.replace("/", "_over_").replace("%", "pct"))
    return "_" + name if name[:1].isdigit() else name


def _row_class(name: str, field_names: _Sequence[str], doc: str) -> type:
    """A frozen dataclass with one attribute per field, `as_dict()` with the CSV names."""
    attributes = [attribute_name(f) for f in field_names]
    names = dict(zip(attributes, field_names))

    def as_dict(self) -> dict:
        return {names[a]: getattr(self, a) for a in attributes}

    cls = _dataclasses.make_dataclass(name, [(a, _Any) for a in attributes], frozen=True,
                                     namespace={"as_dict": as_dict, "__doc__": doc})
    cls.__module__ = __name__
    return cls


def _from_row(cls: type, row: dict) -> _Any:
    return cls(*[row[f] for f in cls._fields])


Composition = _row_class(
    "Composition", _core.alloy_field_names(),
    "One composition of a model alloy: every field of the command line's CSV row.")
Composition._fields = tuple(_core.alloy_field_names())
_AssessmentRow = _row_class(
    "Assessment", _core.assess_field_names(),
    "A given composition: its criteria, score, elastic estimate and nearest model composition.")
_AssessmentRow._fields = tuple(_core.assess_field_names())


@_dataclasses.dataclass(frozen=True)
class Cluster:
    """One solute's cluster: the computed coordination number N, the chosen integer Z, the
    radius ratio R (and the one the packing used), Z's ideal ratio and the face parameter."""
    solute: str
    N: float
    Z: int
    R: float
    R_used: float
    R_ideal: _Optional[float]
    face: int


def _html_cell(value: _Any) -> str:
    """A value in an HTML table: numbers to 4 significant digits, text escaped."""
    import html

    if value is None:
        return ""
    if isinstance(value, float):
        return "%.4g" % value
    return html.escape(str(value))


def _html_table(rows: _Sequence[dict], columns: _Sequence[str], svg: str = "") -> str:
    """The rows as an HTML table, with the Blackman diagram beside it: a notebook shows the HTML
    view before the SVG one, so the one view holds both."""
    import html

    head = "".join("<th>%s</th>" % html.escape(c) for c in columns)
    body = "".join("<tr>%s</tr>" % "".join(
        "<td>%s</td>" % _html_cell(r[c]) for c in columns) for r in rows)
    table = "<table><thead><tr>%s</tr></thead><tbody>%s</tbody></table>" % (head, body)
    if not svg:
        return table
    return ('<div style="display:flex;flex-wrap:wrap;gap:1em;align-items:flex-start">'
            '<div>%s</div><div style="max-width:640px">%s</div></div>' %
            (table, _re.sub(r"^<\?xml[^>]*>\s*", "", svg)))


# The columns of the screen's text table, as the field table names them.
_HTML_COLUMNS = ("formula",) + tuple(_core.text_view_names())


@_dataclasses.dataclass(frozen=True)
class Alloy:
    """A model alloy: its elements (solvent first), its clusters, its compositions (one, or a
    ternary's three gamma-site variants) and the command line's warnings."""
    elements: tuple
    cn: _Optional[tuple]
    clusters: tuple
    compositions: tuple
    warnings: tuple

    def _repr_svg_(self) -> str:
        return blackman_svg([self])

    def _repr_html_(self) -> str:
        return _html_table([c.as_dict() for c in self.compositions], _HTML_COLUMNS,
                           self._repr_svg_())


class ElementData:
    """A user's element data laid over the built-in tables, as `--elements FILE` and
    `--mixing-enthalpy FILE` give it to the command line: every function takes it as
    `elements=`. `digest` names it in every row (`element_data`); `changes` lists each changed
    or added value. The files' formats are those of docs/elements.md; a fault is a ValueError
    "FILE:LINE:COLUMN: message", as on the command line."""

    def __init__(self, handle: _Any):
        self._handle = handle

    @classmethod
    def from_file(cls, path: _Optional[str], mixing_enthalpy: _Optional[str] = None) -> "ElementData":
        """The data of an element file (CSV or TSV) and, optionally, a pair-enthalpy file; either
        may be None."""
        if path is None and mixing_enthalpy is None:
            raise ValueError("ElementData.from_file needs an element file, a mixing-enthalpy "
                             "file or both")

        def read(name: _Optional[str]) -> _Optional[bytes]:
            if name is None:
                return None
            with open(name, "rb") as f:
                return f.read()
        return cls(_core.load_element_data(read(path), str(path), read(mixing_enthalpy),
                                           str(mixing_enthalpy)))

    @classmethod
    def from_frame(cls, frame: _Any, mixing_enthalpy: _Any = None) -> "ElementData":
        """The data of a DataFrame with the element file's columns (and, optionally, a DataFrame
        or a file of pair enthalpies); messages name them "<frame>"."""
        def text(f: _Any) -> _Optional[bytes]:
            if f is None:
                return None
            if isinstance(f, str):
                with open(f, "rb") as file:
                    return file.read()
            return f.to_csv(index=False).encode("utf-8")
        name = mixing_enthalpy if isinstance(mixing_enthalpy, str) else "<frame>"
        return cls(_core.load_element_data(text(frame), "<frame>", text(mixing_enthalpy), name))

    @property
    def digest(self) -> str:
        return self._handle.digest

    @property
    def changes(self) -> list:
        return list(self._handle.changes)

    def __repr__(self) -> str:
        return "ElementData(%s: %d changes)" % (self.digest, len(self._handle.changes))


def _data(elements: _Optional[ElementData]) -> _Any:
    """The binding's handle of `elements=`: None for the built-in tables."""
    if elements is None:
        return None
    if not isinstance(elements, ElementData):
        raise TypeError("elements= takes a glassform.ElementData (ElementData.from_file), not %r"
                        % (elements,))
    return elements._handle


def _alloy(symbols: _Sequence[str], cn: _Optional[_Iterable[int]],
           elements: _Optional[ElementData] = None) -> Alloy:
    chosen = None if cn is None else tuple(_integer(k) for k in cn)
    result = _core.alloy(list(symbols), None if chosen is None else list(chosen), _data(elements))
    rows = [_from_row(Composition, r) for r in result["rows"]]
    first = result["rows"][0]
    clusters = tuple(Cluster(first["solute%d" % i], first["N%d" % i], first["Z%d" % i],
                             first["R%d" % i], first["R%d_used" % i], first["R%d_ideal" % i],
                             first["face%d" % i]) for i in range(1, len(symbols)))
    return Alloy(tuple(first[k] for k in ("solvent", "solute1", "solute2", "solute3")
                       if first[k] is not None), chosen, clusters, tuple(rows),
                 tuple(result["warnings"]))


def _integer(value: _Any, what: str = "a coordination number") -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        if isinstance(value, float) and value.is_integer():
            return int(value)
        raise ValueError("%s is a whole number, not %r" % (what, value))
    return value


def binary(solvent: str, solute: str, cn: _Optional[_Iterable[int]] = None,
           elements: _Optional[ElementData] = None) -> Alloy:
    """The binary alloy; `cn` the integer coordination number (default: the nearest)."""
    return _alloy([solvent, solute], cn, elements)


def ternary(solvent: str, largest: str, smallest: str,
            cn: _Optional[_Iterable[int]] = None,
            elements: _Optional[ElementData] = None) -> Alloy:
    """The ternary alloy and its three gamma-site variants; `cn` one integer per solute."""
    return _alloy([solvent, largest, smallest], cn, elements)


def quaternary(solvent: str, largest: str, next_: str, smallest: str,
               cn: _Optional[_Iterable[int]] = None,
               elements: _Optional[ElementData] = None) -> Alloy:
    """The quaternary alloy; `cn` one integer per solute."""
    return _alloy([solvent, largest, next_, smallest], cn, elements)


class Assessment(_AssessmentRow):  # type: ignore[misc, valid-type]
    """A given composition: the criteria, p_glass, the casting thickness, the elastic estimate and
    the nearest model composition, as `glassform assess` gives them; `warnings` says what could not be computed
    (the warnings joined by "; ", as in the CSV)."""

    def _repr_svg_(self) -> str:
        return blackman_svg([self])

    def _repr_html_(self) -> str:
        return _html_table([self.as_dict()], ("formula", "p_glass", "extrapolated", "known_pairs",
                                              "nearest_known_at%", "dmax_mm", "dmax_low_mm",
                                              "dmax_high_mm", "dmax_in_domain", "delta_pct",
                                              "dH_mix_kJ/mol", "model_formula",
                                              "model_distance_at%", "E_GPa", "G_GPa", "B_GPa"),
                           self._repr_svg_())


def _formula_text(formula: _Any, function: str) -> str:
    """The text of a formula: a string, or an object whose str() is one (a pymatgen
    Composition); None, numbers and other plain values are a TypeError."""
    if isinstance(formula, str):
        return formula
    if formula is None or isinstance(formula, (bool, int, float, complex, bytes)):
        raise TypeError("%s takes a formula such as \"Cu46Zr46Al8\", not %r" % (function, formula))
    return str(formula)


def assess(formula: _Any, elements: _Optional[ElementData] = None) -> Assessment:
    """The assessment of any composition of 1 to 16 elements, written as chemists do:
    "Cu46Zr46Al8", "(Cu50Zr50)92Al8", or any object whose str() is such a formula. For many
    formulas at once, assess_many gives a DataFrame."""
    if isinstance(formula, (list, tuple)):
        raise TypeError("assess takes one formula; assess_many takes a list of them")
    return _from_row(Assessment,
                     _core.assess(_formula_text(formula, "assess"), _data(elements))["row"])


def _pandas(function: str):
    """pandas, which only the functions that return a DataFrame need."""
    try:
        import pandas
    except ImportError:
        raise ImportError("glassform.%s returns a pandas DataFrame: install pandas (Debian: "
                          "python3-pandas) to use it" % function) from None
    return pandas


def assess_many(formulas: _Iterable[_Any], elements: _Optional[ElementData] = None):
    """The assessments of many formulas as a pandas DataFrame, one row each, with the CSV's
    column names (those of `glassform assess --format csv`, as `screen()` names them).
    `warnings` is an empty string where there is none, here and in `screen()`."""
    pandas = _pandas("assess_many")
    if isinstance(formulas, (str, bytes)):
        raise TypeError("assess_many takes a list of formulas; assess takes one")
    names = list(_core.assess_field_names())
    data = _data(elements)
    rows = [_core.assess(_formula_text(f, "assess_many"), data)["row"] for f in formulas]
    frame = pandas.DataFrame.from_records(rows, columns=names)
    frame["warnings"] = frame["warnings"].fillna("")
    return frame


def _frame(rows: list, names: _Sequence[str], function: str, numeric: _Sequence[str] = ()):
    """Rows of the binding as a DataFrame with the given columns, as pandas reads the command
    line's CSV: the `numeric` columns are float64 where a value is missing (NaN), even in every
    row; `warnings` is "" where there is none."""
    frame = _pandas(function).DataFrame.from_records(rows, columns=list(names))
    for name in numeric:
        if name in frame.columns and frame[name].dtype == object:
            frame[name] = frame[name].astype("float64")
    if "warnings" in frame.columns:
        frame["warnings"] = frame["warnings"].fillna("")
    return frame


def _numeric_fields() -> tuple:
    return tuple(f[0] for f in _core.fields() if f[2] in ("number", "integer"))


def _step_text(step) -> str:
    """An amount in at.% as the command line takes it: 5 as "5", 2.5 as "2.5"."""
    if isinstance(step, str):
        return step
    return "%d" % step if float(step).is_integer() else repr(float(step))


def screen(kind: _Optional[str] = None, solvents: _Union[None, str, _Sequence[str]] = None,
           solutes=None, sort=None, top=100, where=(), exclude=None, keep_unphysical=False,
           best_variant=False, elements: _Optional[ElementData] = None, *,
           grid: _Union[None, int, float, str] = None, per_system: int = 1,
           around: _Optional[str] = None, radius: float = 5, step: float = 1):
    """The best candidates of `glassform screen` as a pandas DataFrame with the CSV's columns.
    None means the command line's default: solutes all, the default order (the rows inside the
    score's data first, each group by p_glass descending), exclude ["radioactive", "gases"];
    `where` conditions such as "dH_mix_kJ/mol<-10".

    With `grid=S` (ternary or quaternary), every composition of each candidate system on a grid
    of S at.% instead of the cluster model's, each assessed; each system gives its `per_system`
    best rows, with the column `system` and every candidate's share (x_Cu_at%, ...).
    With `around="Cu46Zr46Al8"` (and no kind or solvents), the compositions within `radius`
    at.% of it in every element at `step` at.%, the formula among them, with each element's
    share first."""
    as_list = lambda v: [v] if isinstance(v, str) else list(v)  # noqa: E731
    if around is not None:
        if kind is not None or solvents is not None or grid is not None:
            raise ValueError("around sets the elements: give no kind, solvents or grid with it")
        result = _core.around_screen(_formula_text(around, "screen"), float(radius), float(step),
                                     sort, _integer(top, "top"), as_list(where), _data(elements))
        return _frame(result["rows"], result["columns"], "screen", _numeric_fields())
    if kind is None or solvents is None:
        raise ValueError("screen needs a kind and solvents (or around=FORMULA)")
    if grid is not None:
        if keep_unphysical or best_variant:
            raise ValueError("keep_unphysical and best_variant go with the cluster model's "
                             "compositions, not with grid")
        result = _core.grid_screen(kind, as_list(solvents),
                                   None if solutes is None else as_list(solutes),
                                   _step_text(grid), _integer(per_system, "per_system"), sort,
                                   _integer(top, "top"), as_list(where),
                                   None if exclude is None else as_list(exclude), _data(elements))
        return _frame(result["rows"], result["columns"], "screen", _numeric_fields())
    rows = _core.screen(kind, as_list(solvents), None if solutes is None else as_list(solutes),
                        sort, _integer(top, "top"), as_list(where),
                        None if exclude is None else as_list(exclude), bool(keep_unphysical),
                        bool(best_variant), _data(elements))
    return _frame(rows, _core.alloy_field_names(), "screen", _numeric_fields())


@_dataclasses.dataclass(frozen=True)
class Weighing:
    """A composition in atomic and weight percent, and the grams to weigh for `mass` grams."""
    elements: tuple
    atomic_percent: tuple
    weight_percent: tuple
    grams: _Optional[tuple]
    mass: _Optional[float]


def weigh(formula: _Any, mass: _Optional[float] = None, wt: bool = False,
          elements: _Optional[ElementData] = None) -> Weighing:
    """Atomic and weight percent of a formula (its amounts in weight percent with `wt`), and
    the grams of each element for an ingot of `mass` grams."""
    w = _core.weigh(_formula_text(formula, "weigh"), mass, bool(wt), _data(elements))
    grams = None if w["grams"] is None else tuple(w["grams"])
    return Weighing(tuple(w["elements"]), tuple(w["atomic_percent"]),
                    tuple(w["weight_percent"]), grams, mass)


def elements(elements: _Optional[ElementData] = None):
    """The element table as a DataFrame (as `glassform elements --format csv`); with a user's
    `elements=`, the merged table and a column `source` saying where each element's values come
    from ("built-in", "changed: radius_nm (SOURCE)", "added (SOURCE)")."""
    names = list(_core.element_field_names()) + ([] if elements is None else ["source"])
    return _frame(_core.elements(_data(elements)), names, "elements")


def fields():
    """The output fields as a DataFrame: name, unit, kind, per, meaning, and the attribute."""
    pandas = _pandas("fields")
    frame = pandas.DataFrame(_core.fields(), columns=["name", "unit", "kind", "per", "meaning"])
    frame["attribute"] = [attribute_name(n) for n in frame["name"]]
    return frame


class CompositionMap:
    """Every composition of three elements on a grid, as `glassform map` gives it: `frame` (a
    DataFrame with the CSV's columns, the shares first), `svg()` the ternary heat map of
    `field`, which a notebook shows by itself."""

    def __init__(self, result: dict, field: str):
        self._result = result
        self.field = field

    @property
    def frame(self):
        return _frame(self._result["rows"], self._result["columns"], "composition_map",
                      _numeric_fields())

    def svg(self) -> str:
        return self._result["svg"]

    def _repr_svg_(self) -> str:
        return self.svg()


def _bounds_text(bounds) -> str:
    """{"Cu": (40, 60)} as the command line's --range, Cu=40..60; a text as it is."""
    if bounds is None:
        return ""
    if isinstance(bounds, str):
        return bounds
    return ",".join("%s=%s..%s" % (symbol, _step_text(low), _step_text(high))
                    for symbol, (low, high) in dict(bounds).items())


def _slices_text(slices) -> str:
    """{"Ni": [0, 5, 10]} as the command line's --with, Ni=0,5,10; a text as it is."""
    if slices is None:
        return ""
    if isinstance(slices, str):
        return slices
    items = dict(slices).items()
    if len(items) != 1:
        raise ValueError("slices name one fourth element and its shares: {\"Ni\": [0, 5, 10]}")
    (symbol, shares), = items
    return "%s=%s" % (symbol, ",".join(_step_text(s) for s in shares))


def composition_map(a: str, b: str, c: str, step: _Union[int, float, str] = 1,
                    field: str = "p_glass", known: bool = True,
                    elements: _Optional[ElementData] = None, *,
                    bounds=None, slices=None) -> CompositionMap:
    """Every composition of elements a, b and c at `step` at.% (which must divide 100), each
    assessed, and the heat map of `field` with the labelled data's glasses on top (`known`).
    `bounds={"Cu": (40, 60)}` zooms to part of the triangle (`--range Cu=40..60`);
    `slices={"Ni": [0, 5, 10]}` draws a row of slices at those shares of a fourth element
    (`--with Ni=0,5,10`). Named so as not to hide Python's built-in map."""
    result = _core.composition_map([a, b, c], _step_text(step), field, bool(known),
                                   _bounds_text(bounds), _slices_text(slices), _data(elements))
    # The rows come as lists in the columns' order.
    result = {"columns": result["columns"], "svg": result["svg"],
              "rows": [dict(zip(result["columns"], r)) for r in result["rows"]]}
    return CompositionMap(result, field)


def blackman_svg(results: _Iterable[_Any], placement: str = "model",
                 elements: _Optional[ElementData] = None) -> str:
    """The Blackman diagram (SVG text) of alloys and assessments, as `--plot` draws it."""
    alloys, formulas = [], []
    for r in ([results] if isinstance(results, (Alloy, Assessment)) else results):
        if isinstance(r, Alloy):
            alloys.append((list(r.elements), None if r.cn is None else list(r.cn)))
        elif isinstance(r, Assessment):
            formulas.append(r.formula)
        else:
            formulas.append(str(r))
    return _core.blackman_svg(alloys, formulas, placement, _data(elements))


class BlackmanPlot:
    """A Blackman diagram that a notebook shows by itself."""

    def __init__(self, results: _Iterable[_Any] = (), placement: str = "model"):
        self.results = list(results)
        self.placement = placement

    def add(self, result: _Any) -> "BlackmanPlot":
        self.results.append(result)
        return self

    def svg(self) -> str:
        return blackman_svg(self.results, self.placement)

    def _repr_svg_(self) -> str:
        return self.svg()


class GlassFeaturizer:
    """Composition features for machine learning, in the usual protocol of composition
    featurizers: `featurize(composition)` -> list of floats, `feature_labels()`,
    `featurize_many(compositions)`, `citations()`, `implementors()`. A composition is a formula
    string or any object whose str() is one. The features are output fields of glassform (the
    score's inputs, Omega, the distance to the cluster model's own composition, p_glass); a
    value that cannot be computed is NaN.

    Beware of p_glass as a feature: its trees were trained on the melt-spun compositions of
    Ward et al. (2016), so a model trained on those data (or data that share compositions with
    them) with p_glass among its features sees their labels through it, and its held-out scores
    will flatter it. Leave p_glass out there.

    `GlassFeaturizer(elements=ElementData...)` featurises with a user's element data (its new
    symbols too)."""

    def __init__(self, elements: _Optional[ElementData] = None):
        self.elements = elements

    def feature_labels(self) -> list:
        return _core.feature_labels()

    def featurize(self, composition: _Any) -> list:
        return self.featurize_many([composition], ignore_errors=False)[0].tolist()

    def featurize_many(self, compositions: _Iterable[_Any], ignore_errors: bool = True):
        """A numpy array, one row per composition, computed in C++. `compositions` is a
        sequence (a single formula goes to featurize). An entry that cannot be featurised (a
        formula that cannot be read, an unknown symbol, None or NaN) gives a row of NaN, and
        one warning says how many there were; with ignore_errors=False the first of them
        raises its error instead (FormulaError, UnknownSymbol or TypeError)."""
        if isinstance(compositions, (str, bytes)):
            raise TypeError("featurize_many takes a sequence of compositions, not one formula "
                            "(%r): use featurize for one" % (compositions,))

        def text(c: _Any) -> _Optional[str]:
            if isinstance(c, str):
                return c
            if c is None or isinstance(c, (bool, int, float, complex, bytes)):
                if not ignore_errors:
                    raise TypeError("featurize_many: %r is no composition" % (c,))
                return None
            return str(c)

        features, failed = _core.featurize_many([text(c) for c in compositions],
                                                bool(ignore_errors), _data(self.elements))
        if failed:
            _warnings.warn("featurize_many: %d of %d compositions could not be featurised; "
                           "their rows are NaN" % (failed, len(features)), stacklevel=2)
        return features

    def citations(self) -> list:
        return [
            "@article{Takeuchi2005, author = {Takeuchi, A. and Inoue, A.}, title = {Classification "
            "of Bulk Metallic Glasses by Atomic Size Difference, Heat of Mixing and Period of "
            "Constituent Elements and Its Application to Characterization of the Main Alloying "
            "Element}, journal = {Materials Transactions}, volume = {46}, pages = {2817--2829}, "
            "year = {2005}}",
            "@article{Yang2012, author = {Yang, X. and Zhang, Y.}, title = {Prediction of "
            "high-entropy stabilized solid-solution in multi-component alloys}, journal = "
            "{Materials Chemistry and Physics}, volume = {132}, pages = {233--238}, year = {2012}}",
            "@article{Ward2016, author = {Ward, L. and Agrawal, A. and Choudhary, A. and "
            "Wolverton, C.}, title = {A general-purpose machine learning framework for predicting "
            "properties of inorganic materials}, journal = {npj Computational Materials}, volume "
            "= {2}, pages = {16028}, year = {2016}}",
            "@article{Laws2015, author = {Laws, K. J. and Miracle, D. B. and Ferry, M.}, title = "
            "{A predictive structural model for bulk metallic glasses}, journal = {Nature "
            "Communications}, volume = {6}, pages = {8123}, year = {2015}}",
        ]

    def implementors(self) -> list:
        return ["the glassform developers"]
