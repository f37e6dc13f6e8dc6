// The Python module's binding, glassform._core: a few functions over the model and the report
// layer that hand back rows (name -> value) of the field table and of the other tables. The
// package glassform (python/glassform) builds its result objects from them.
//
// A number is handed over as the double nearest the digits the CSV writes for it, so that the
// module's values equal what pandas reads from the command line's CSV.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <fmt/format.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "glassform/io/element_file.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/screening.hpp"
#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/request/composition_map.hpp"
#include "glassform/report/request/composition_search.hpp"
#include "glassform/report/request/screen_request.hpp"
#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_writer.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/text/warnings.hpp"
#include "glassform/report/text/weighing_report.hpp"
#include "glassform/report/version.hpp"

namespace py = pybind11;

namespace glassform {
namespace {

// A text that is no element symbol; raised in Python as glassform.UnknownSymbol with the
// suggestions.
class UnknownSymbolError : public std::invalid_argument {
 public:
  explicit UnknownSymbolError(std::string_view symbol)
      : std::invalid_argument(unknown_symbol_message(symbol)), text(symbol) {
    for (const std::string_view s : suggest_symbols(symbol))
      suggestions.emplace_back(s);
  }
  std::string text;
  std::vector<std::string> suggestions;
};

// A formula that cannot be read; raised in Python as glassform.FormulaError with the formula and
// the 1-based position of the fault.
class FormulaReadError : public std::invalid_argument {
 public:
  FormulaReadError(std::string_view text, const FormulaError& error)
      : std::invalid_argument(formula_error_text(text, error)),
        formula(text),
        position(error.position + 1) {}
  std::string formula;
  std::size_t position;
};

// A request's error as the exception Python raises for it: UnknownSymbol, FormulaError or
// ValueError, with the command line's message.
[[noreturn]] void raise(const RequestError& error) {
  switch (error.kind) {
    case RequestError::Kind::kUnknownSymbol:
      throw UnknownSymbolError(error.subject);
    case RequestError::Kind::kFormula:
      throw FormulaReadError(error.subject, error.formula);
    case RequestError::Kind::kInvalid:
      break;
  }
  // The request's members are named as Python's arguments are.
  throw std::invalid_argument(error_text(error, error.option));
}

// The answer to a request, or its error raised.
template <typename T>
T answered(Answer<T> answer) {
  if (const auto* why = std::get_if<RequestError>(&answer)) raise(*why);
  return std::get<T>(std::move(answer));
}

// A user's element data (glassform.ElementData holds one); None in Python is the built-in data.
struct ElementDataHandle {
  std::shared_ptr<const UserElementData> loaded;
};

// The data of a handle: null for the built-in tables, as results hold it.
const ElementData* data_pointer(const ElementDataHandle* handle) {
  return handle != nullptr ? &handle->loaded->data : nullptr;
}

const ElementData& data_of(const ElementDataHandle* handle) {
  return handle != nullptr ? handle->loaded->data : ElementData::builtin();
}

// The files' data, or a ValueError with the command line's message (FILE:LINE:COLUMN: ...).
ElementDataHandle load_data(const std::optional<py::bytes>& elements,
                            const std::string& elements_name, const std::optional<py::bytes>& pairs,
                            const std::string& pairs_name) {
  std::optional<NamedText> element_file;
  std::optional<NamedText> pair_file;
  if (elements) element_file = NamedText{elements_name, std::string(*elements)};
  if (pairs) pair_file = NamedText{pairs_name, std::string(*pairs)};
  auto loaded = load_element_data(element_file, pair_file);
  if (const auto* why = std::get_if<std::string>(&loaded)) throw std::invalid_argument(*why);
  return {std::make_shared<const UserElementData>(std::get<UserElementData>(std::move(loaded)))};
}

std::vector<FormulaPart> parts_of(const std::string& formula, const ElementDataHandle* data) {
  ParsedFormula parsed = parse_composition(formula, data_of(data));
  if (parsed.error) throw FormulaReadError(formula, *parsed.error);
  return std::move(parsed.parts);
}

// The double nearest the shortest digits of a float, as the CSV writes it.
double as_written(float value) {
  if (!std::isfinite(value)) return value;
  return std::strtod(fmt::format("{}", value).c_str(), nullptr);
}

py::object python_value(const FieldValue& value) {
  if (std::holds_alternative<std::monostate>(value)) return py::none();
  if (const std::optional<std::string_view> t = text_value(value)) return py::str(std::string(*t));
  if (const auto* i = std::get_if<long long>(&value)) return py::int_(*i);
  if (const auto* f = std::get_if<float>(&value)) return py::float_(as_written(*f));
  if (const auto* d = std::get_if<double>(&value)) return py::float_(*d);
  return py::bool_(std::get<bool>(value));
}

py::dict row_dict(const Row& row, const std::vector<const Field*>& fields) {
  py::dict out;
  for (const Field* f : fields)
    out[py::str(std::string(f->name))] = python_value(f->value(row));
  return out;
}

std::vector<std::string> warnings_list(const std::vector<std::string>& warnings) {
  return warnings;
}

// The field table: (name, unit, kind, per, meaning) in column order.
std::vector<std::tuple<std::string, std::string, std::string, std::string, std::string>> fields() {
  std::vector<std::tuple<std::string, std::string, std::string, std::string, std::string>> out;
  for (const Field& f : all_fields()) {
    out.emplace_back(std::string(f.name), std::string(f.unit), std::string(kind_name(f.kind)),
                     std::string(scope_name(f.scope)), std::string(f.meaning));
  }
  return out;
}

std::vector<std::string> names_of(const std::vector<const Field*>& fields) {
  std::vector<std::string> out;
  out.reserve(fields.size());
  for (const Field* f : fields)
    out.emplace_back(f->name);
  return out;
}

// The fields of an assessment, without the input's line and label.
std::vector<const Field*> given_fields() {
  std::vector<const Field*> out = assess_fields();
  std::erase_if(out, [](const Field* f) { return f->name == "line" || f->name == "label"; });
  return out;
}

AlloyResult compute(const std::vector<std::string>& symbols,
                    const std::optional<std::vector<int>>& cn, const ElementDataHandle* data) {
  AlloyRequest request{symbols, {}, data_pointer(data)};
  if (cn) request.chosen.assign(cn->begin(), cn->end());
  return answered(answer(request));
}

// {"rows": one field dict per composition, "warnings": the command line's warnings}.
py::dict alloy(const std::vector<std::string>& symbols, const std::optional<std::vector<int>>& cn,
               const ElementDataHandle* data) {
  const AlloyResult a = compute(symbols, cn, data);
  const std::vector<const Field*> names = alloy_fields();
  py::list rows;
  for (const Composition& c : a.compositions())
    rows.append(row_dict(Row::of(a, c), names));
  py::dict out;
  out["rows"] = rows;
  out["warnings"] = warnings_list(command_line_warnings(a));
  return out;
}

// {"row": the assess fields, "warnings": [...]}.
py::dict assess_formula(const std::string& formula, const ElementDataHandle* data) {
  const Assessment a = answered(answer(AssessRequest{formula, data_pointer(data)}));
  std::vector<std::string> warnings = elastic_warnings(a.elastic);
  for (std::string& w : criteria_warnings(a.criteria))
    warnings.push_back(std::move(w));
  py::dict out;
  out["row"] = row_dict(Row::of(a), given_fields());
  out["warnings"] = warnings;
  return out;
}

// Rows of given compositions: {"columns": [...], "rows": one list of values per composition}.
py::dict columns_and_rows(const std::vector<Column>& columns,
                          const std::vector<Assessment>& found) {
  std::vector<std::string> names;
  names.reserve(columns.size());
  for (const Column& c : columns)
    names.push_back(c.name);
  py::list rows;
  for (const Assessment& a : found) {
    const Row row = Row::of(a);
    py::list values;
    for (const Column& c : columns)
      values.append(python_value(c.value(row)));
    rows.append(std::move(values));
  }
  py::dict out;
  out["columns"] = names;
  out["rows"] = rows;
  return out;
}

// `glassform screen ternary|quaternary --grid STEP --columns wide`: each system's best rows.
py::dict grid_screen(const std::string& kind, const std::vector<std::string>& solvents,
                     const std::optional<std::vector<std::string>>& solutes,
                     const std::string& step, long long per_system,
                     const std::optional<std::string>& sort, long long top,
                     const std::vector<std::string>& where,
                     const std::optional<std::vector<std::string>>& exclude,
                     const ElementDataHandle* data) {
  const PlannedGrid planned = answered(
      answer(GridScreenRequest{.kind = kind,
                               .solvents = solvents,
                               .solutes = solutes.value_or(std::vector<std::string>{"all"}),
                               .exclude = exclude.value_or(std::vector<std::string>{}),
                               .grid = step,
                               .per_system = per_system,
                               .sort = sort.value_or(""),
                               .top = top,
                               .where = where,
                               .data = data_pointer(data)}));
  std::vector<Assessment> found;
  {
    py::gil_scoped_release release;
    found = grid_top(planned.search);
  }
  return columns_and_rows(grid_columns(planned.candidates, true), found);
}

// `glassform screen --around FORMULA`: the best compositions near it.
py::dict around_screen(const std::string& formula, double radius, double step,
                       const std::optional<std::string>& sort, long long top,
                       const std::vector<std::string>& where, const ElementDataHandle* data) {
  const PlannedAround planned = answered(answer(
      AroundRequest{formula, radius, step, sort.value_or(""), top, where, data_pointer(data)}));
  std::vector<Assessment> found;
  {
    py::gil_scoped_release release;
    found = neighbourhood_top(planned.search);
  }
  return columns_and_rows(planned.columns, found);
}

// The rows of `glassform screen` with the same options, one field dict each.
py::list screen(const std::string& kind, const std::vector<std::string>& solvents,
                const std::optional<std::vector<std::string>>& solutes,
                const std::optional<std::string>& sort, long long top,
                const std::vector<std::string>& where,
                const std::optional<std::vector<std::string>>& exclude, bool keep_unphysical,
                bool best_variant, const ElementDataHandle* data) {
  const PlannedScreen planned =
      answered(answer(ScreenRequest{.kind = kind,
                                    .solvents = solvents,
                                    .solutes = solutes.value_or(std::vector<std::string>{"all"}),
                                    .exclude = exclude.value_or(std::vector<std::string>{}),
                                    .sort = sort.value_or(""),
                                    .top = top,
                                    .where = where,
                                    .keep_unphysical = keep_unphysical,
                                    .best_variant = best_variant,
                                    .data = data_pointer(data)}));
  std::vector<RankedRow> rows;
  {
    py::gil_scoped_release release;
    rows = screen_top(planned.options, planned.order, planned.top);
  }
  const std::vector<const Field*> fields = alloy_fields();
  py::list out;
  for (const RankedRow& row : rows)
    out.append(row_dict(Row::of(row.alloy, row.alloy.compositions()[row.composition]), fields));
  return out;
}

// `glassform weigh`: {"elements", "atomic_percent", "weight_percent", "grams" (None without a
// mass)}.
py::dict weigh_formula(const std::string& formula, std::optional<double> mass, bool weight,
                       const ElementDataHandle* data) {
  const Weighing w = answered(answer(WeighRequest{formula, weight, mass, data_pointer(data)}));
  std::vector<std::string> symbols;
  for (const Element* e : w.elements)
    symbols.emplace_back(e->symbol);
  py::dict out;
  out["elements"] = symbols;
  out["atomic_percent"] = w.atomic;
  out["weight_percent"] = w.weight;
  out["grams"] = w.grams ? py::cast(*w.grams) : py::none();
  return out;
}

// The element table as rows: a dict per element, numbers as numbers, None for no value; with a
// user's data, "source" says where each element's values come from.
py::list elements(const ElementDataHandle* data) {
  const std::span<const TableColumn> columns = element_columns();
  py::list out;
  for (const std::vector<std::string>& cells : element_table_cells(Format::kCsv, data_of(data))) {
    py::dict row;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::string& cell = cells[c];
      py::object value = py::str(cell);
      if (columns[c].kind == FieldKind::kInteger) {
        value = py::int_(std::stoll(cell));
      } else if (columns[c].kind == FieldKind::kNumber) {
        value =
            cell.empty() ? py::object(py::none()) : py::float_(std::strtod(cell.c_str(), nullptr));
      }
      row[py::str(std::string(columns[c].name))] = value;
    }
    if (data != nullptr) {
      std::string source = "built-in";
      for (const auto& [symbol, from] : data->loaded->sources) {
        if (symbol == cells[1]) source = from;
      }
      row["source"] = source;
    }
    out.append(row);
  }
  return out;
}

// `glassform map`: {"columns": [...], "rows": one list of values per composition, "svg": the
// heat map}.
py::dict composition_map(const std::vector<std::string>& symbols, const std::string& step,
                         const std::string& field, bool known, const std::string& range,
                         const std::string& with, const ElementDataHandle* data) {
  MapRequest request;
  request.elements = answered(map_elements(symbols, data_pointer(data)));
  request.step = step;
  request.field = field;
  request.known = known;
  request.range = range;
  request.with = with;
  request.data = data_pointer(data);
  const MapPlan plan = answered(answer(request));
  const std::vector<Column> columns = map_columns(request, plan);
  MapDrawing drawing(request, plan);
  py::list rows;
  each_map_composition(request, plan, [&](const Assessment& a) {
    const Row row = Row::of(a);
    py::list values;
    for (const Column& c : columns)
      values.append(python_value(c.value(row)));
    rows.append(std::move(values));
    drawing.add(a);
  });
  std::vector<std::string> names;
  names.reserve(columns.size());
  for (const Column& c : columns)
    names.push_back(c.name);
  py::dict out;
  out["columns"] = names;
  out["rows"] = rows;
  out["svg"] = drawing.svg();
  return out;
}

// The Blackman diagram of alloys (symbols and integers) and given compositions.
std::string blackman_svg(
    const std::vector<std::pair<std::vector<std::string>, std::optional<std::vector<int>>>>& alloys,
    const std::vector<std::string>& formulas, const std::string& placement,
    const ElementDataHandle* data) {
  if (placement != "model" && placement != "isotropic") {
    throw std::invalid_argument("placement must be model or isotropic, not \"" + placement + "\"");
  }
  BlackmanPlot plot(placement == "model" ? BlackmanPlot::Placement::kModel
                                         : BlackmanPlot::Placement::kIsotropic);
  for (const auto& [symbols, cn] : alloys)
    plot.add_alloy(compute(symbols, cn, data));
  for (const std::string& formula : formulas) {
    const std::vector<FormulaPart> parts = parts_of(formula, data);
    plot.add_composition(formula, parts, estimate_formula_elastic(parts));
  }
  return plot.svg();
}

// The featurizer's columns: the score's inputs, Omega, the distance to the model's own
// composition, and the score.
const std::vector<const Field*>& feature_fields() {
  static const std::vector<const Field*> kFeatures = [] {
    std::vector<const Field*> out;
    out.reserve(kScoreFeatureNames.size() + 3);
    for (const std::string_view name : kScoreFeatureNames)
      out.push_back(find_field(name));
    for (const std::string_view name : {"Omega", "model_distance_at%", "p_glass"})
      out.push_back(find_field(name));
    return out;
  }();
  return kFeatures;
}

// One row of features per formula (NaN where a value is absent), computed without the GIL, and
// how many entries could not be featurised (None, or a formula that cannot be read): NaN rows
// unless `ignore_errors` is false, when the first such formula raises its error.
py::tuple featurize_many(const std::vector<std::optional<std::string>>& formulas,
                         bool ignore_errors, const ElementDataHandle* element_data) {
  const std::vector<const Field*>& columns = feature_fields();
  const std::size_t n = formulas.size();
  const std::size_t k = columns.size();
  py::array_t<double> out({n, k});
  double* data = out.mutable_data();
  std::optional<FormulaReadError> failure;
  std::size_t failed = 0;
  {
    py::gil_scoped_release release;
    for (std::size_t i = 0; i < n && !failure; ++i) {
      double* row_data = data + i * k;
      ParsedFormula parsed;
      if (formulas[i]) parsed = parse_composition(*formulas[i], data_of(element_data));
      if (!formulas[i] || parsed.error) {
        if (!ignore_errors) {
          failure.emplace(formulas[i] ? *formulas[i] : std::string("None"),
                          parsed.error ? *parsed.error : FormulaError{0, "no formula"});
          break;
        }
        ++failed;
        std::fill_n(row_data, k, std::numeric_limits<double>::quiet_NaN());
        continue;
      }
      const Assessment a = assess(parsed.parts, data_pointer(element_data));
      const Row row = Row::of(a);
      for (std::size_t j = 0; j < k; ++j) {
        const FieldValue v = columns[j]->value(row);
        const auto* f = std::get_if<float>(&v);
        const std::optional<double> number = numeric_value(v);
        row_data[j] = f != nullptr ? as_written(*f)
                                   : number.value_or(std::numeric_limits<double>::quiet_NaN());
      }
    }
  }
  if (failure) throw FormulaReadError(*failure);
  return py::make_tuple(out, failed);
}

}  // namespace
}  // namespace glassform

PYBIND11_MODULE(_core, m) {
  using namespace glassform;
  m.doc() = "glassform's binding: rows of the field table and of the other tables";
  // The exceptions are the package's own classes (glassform.errors), raised with their details.
  // pybind11 takes the pointer by value.
  // NOLINTNEXTLINE(performance-unnecessary-value-param)
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const UnknownSymbolError& e) {
      const py::object type = py::module_::import("glassform.errors").attr("UnknownSymbol");
      PyErr_SetObject(type.ptr(), py::make_tuple(e.what(), e.text, e.suggestions).ptr());
    } catch (const FormulaReadError& e) {
      const py::object type = py::module_::import("glassform.errors").attr("FormulaError");
      PyErr_SetObject(type.ptr(), py::make_tuple(e.what(), e.formula, e.position).ptr());
    }
  });
  m.def("version", [] { return std::string(version()); });
  m.def("score_model", [] { return std::string(score_model_name()); });
  m.def("fields", &fields);
  m.def("alloy_field_names", [] { return names_of(alloy_fields()); });
  m.def("assess_field_names", [] { return names_of(given_fields()); });
  m.def("text_view_names", [] { return names_of(view_fields(kTextView)); });
  py::class_<ElementDataHandle>(m, "ElementData")
      .def_property_readonly("digest", [](const ElementDataHandle& h) { return h.loaded->digest; })
      .def_property_readonly("changes",
                             [](const ElementDataHandle& h) { return h.loaded->changes; });
  m.def("load_element_data", &load_data, py::arg("elements"), py::arg("elements_name"),
        py::arg("pairs"), py::arg("pairs_name"));
  m.def("alloy", &alloy, py::arg("symbols"), py::arg("cn") = py::none(),
        py::arg("data") = py::none());
  m.def("assess", &assess_formula, py::arg("formula"), py::arg("data") = py::none());
  m.def("screen", &screen, py::arg("kind"), py::arg("solvents"), py::arg("solutes"),
        py::arg("sort"), py::arg("top"), py::arg("where"), py::arg("exclude"),
        py::arg("keep_unphysical"), py::arg("best_variant"), py::arg("data") = py::none());
  m.def("grid_screen", &grid_screen, py::arg("kind"), py::arg("solvents"), py::arg("solutes"),
        py::arg("step"), py::arg("per_system"), py::arg("sort"), py::arg("top"), py::arg("where"),
        py::arg("exclude"), py::arg("data") = py::none());
  m.def("around_screen", &around_screen, py::arg("formula"), py::arg("radius"), py::arg("step"),
        py::arg("sort"), py::arg("top"), py::arg("where"), py::arg("data") = py::none());
  m.def("weigh", &weigh_formula, py::arg("formula"), py::arg("mass") = py::none(),
        py::arg("wt") = false, py::arg("data") = py::none());
  m.def("elements", &elements, py::arg("data") = py::none());
  m.def("composition_map", &composition_map, py::arg("symbols"), py::arg("step"), py::arg("field"),
        py::arg("known"), py::arg("bounds") = "", py::arg("slices") = "",
        py::arg("data") = py::none());
  m.def("element_field_names", [] {
    std::vector<std::string> names;
    for (const TableColumn& c : element_columns())
      names.emplace_back(c.name);
    return names;
  });
  m.def("blackman_svg", &blackman_svg, py::arg("alloys"), py::arg("formulas"),
        py::arg("placement") = "model", py::arg("data") = py::none());
  m.def("feature_labels", [] { return names_of(feature_fields()); });
  m.def("featurize_many", &featurize_many, py::arg("formulas"), py::arg("ignore_errors") = true,
        py::arg("data") = py::none());
}
