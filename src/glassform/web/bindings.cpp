// The browser version's entry point: the model and the report writers compiled to WebAssembly,
// behind one function that takes a JSON request and returns a JSON response, so the page's
// script needs nothing but strings. Errors come back as {"ok": false, "error": ...}, never as
// an exception in the page.
#include <emscripten/bind.h>

#include <climits>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "glassform/io/element_file.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/element_sets.hpp"
#include "glassform/model/screening.hpp"
#include "glassform/model/weighing.hpp"
#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/request/composition_map.hpp"
#include "glassform/report/request/screen_request.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/json_report.hpp"
#include "glassform/report/table/row_writer.hpp"
#include "glassform/report/table/table_writer.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform {

namespace {

using Json = nlohmann::ordered_json;

// An error for the page. What the user gave is quoted in it as the command line quotes it
// (io/text.hpp): control bytes and invalid UTF-8 escaped, whole UTF-8 characters kept.
Json failure(const std::string& message) {
  return {{"ok", false}, {"error", message}};
}

// A message that may hold the user's bytes, escaped whole.
std::string escaped_message(std::string_view message) {
  return escaped_text(message, std::string_view::npos);
}

// The response's text; a byte that is not UTF-8 can never make it throw.
std::string dumped(const Json& response) {
  return response.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A row as a JSON object with the fields of the CSV, written once by the table writer.
Json row_object(const Row& row) {
  std::string text;
  append_json_object(text, positional_columns(alloy_fields()), row, false);
  return Json::parse(text);
}

// The columns of the page's table of compositions: name, short header, unit and decimals.
Json page_columns() {
  Json columns = Json::array();
  for (const Field* f : view_fields(kPageView)) {
    columns.push_back({{"name", f->name},
                       {"header", f->short_header()},
                       {"unit", f->unit},
                       {"decimals", f->decimals}});
  }
  return columns;
}

// The user's element data of a request, read from the texts of the files the page was given
// ("element_files": {"elements": {"name", "text"}, "mixing_enthalpy": {"name", "text"}}), or the
// built-in data (null) without them; a text with the command line's message for a bad file.
// Nothing leaves the page: the files are read by its script and handed over here.
std::variant<std::shared_ptr<const UserElementData>, std::string> request_data(
    const Json& request) {
  if (!request.contains("element_files")) return std::shared_ptr<const UserElementData>();
  const Json& files = request.at("element_files");
  const auto file = [&files](const char* key) -> std::optional<NamedText> {
    if (!files.contains(key) || files.at(key).is_null()) return std::nullopt;
    return NamedText{files.at(key).at("name").get<std::string>(),
                     files.at(key).at("text").get<std::string>()};
  };
  auto loaded = load_element_data(file("elements"), file("mixing_enthalpy"));
  if (const auto* why = std::get_if<std::string>(&loaded)) return escaped_message(*why);
  return std::make_shared<const UserElementData>(std::get<UserElementData>(std::move(loaded)));
}

std::string write(Format format, const AlloyResult& alloy) {
  StringSink sink;
  AlloyWriter writer(sink, format);
  writer.add(alloy);
  writer.finish();
  return sink.text;
}

// {"symbols": [...], "chosen": [n or null, ...]}: the alloy, with the nearest integer where
// none is chosen.
Json evaluate(const Json& request) {
  auto loaded = request_data(request);
  if (const auto* why = std::get_if<std::string>(&loaded)) return failure(*why);
  const std::shared_ptr<const UserElementData>& user = std::get<0>(loaded);
  AlloyRequest wanted{{}, {}, user ? &user->data : nullptr};
  for (const Json& s : request.at("symbols"))
    wanted.symbols.push_back(s.get<std::string>());
  // One integer or null per solute; null, or no list, is the nearest.
  if (request.contains("chosen") && request.at("chosen").is_array()) {
    const Json& chosen = request.at("chosen");
    for (std::size_t i = 0; i + 1 < wanted.symbols.size(); ++i) {
      if (i >= chosen.size() || chosen[i].is_null()) {
        wanted.chosen.emplace_back();
      } else if (chosen[i].is_number_integer() && chosen[i].get<long long>() >= INT_MIN &&
                 chosen[i].get<long long>() <= INT_MAX) {
        wanted.chosen.emplace_back(chosen[i].get<int>());
      } else {
        return failure("the integer coordination number must be a whole number");
      }
    }
  }
  Answer<AlloyResult> answered = answer(wanted);
  if (const auto* why = std::get_if<RequestError>(&answered)) {
    return failure(error_text(*why, why->option));
  }
  const AlloyResult* alloy = &std::get<AlloyResult>(answered);
  Json clusters = Json::array();
  const std::span<const Element* const> elements = alloy->elements();
  for (std::size_t i = 1; i < elements.size(); ++i) {
    const Cluster& c = alloy->cluster_slots[i - 1];
    clusters.push_back({{"solute", elements[i]->symbol},
                        {"coordination_number", json_number(c.measure.coordination)},
                        {"nearest", nearest_integer(c.measure.coordination)},
                        {"chosen", c.chosen}});
  }
  BlackmanPlot plot;
  plot.add_alloy(*alloy);
  Json rows = Json::array();
  for (const Composition& c : alloy->compositions())
    rows.push_back(row_object(Row::of(*alloy, c)));
  return {{"ok", true},
          {"clusters", std::move(clusters)},
          {"report", write(Format::kText, *alloy)},
          {"csv", write(Format::kCsv, *alloy)},
          {"json", write(Format::kJson, *alloy)},
          {"rows", std::move(rows)},
          {"columns", page_columns()},
          {"warnings", command_line_warnings(*alloy)},
          {"svg", plot.svg()}};
}

// {"kind": ..., "solvent": ..., "top": n, "exclude": [sets or symbols], "sort": key,
//  "best_variant": bool, "keep_unphysical": bool}: the best rows, as `glassform screen` ranks
// them (the same defaults where a member is missing).
Json screen(const Json& request) {
  auto loaded = request_data(request);
  if (const auto* why = std::get_if<std::string>(&loaded)) return failure(*why);
  const std::shared_ptr<const UserElementData>& user = std::get<0>(loaded);
  ScreenRequest wanted;
  wanted.kind = request.at("kind").get<std::string>();
  // One solvent (a symbol or all); the solutes are every element the exclusion leaves.
  wanted.solvents = {request.at("solvent").get<std::string>()};
  wanted.exclude = request.value("exclude", std::vector<std::string>{});
  wanted.sort = request.value("sort", std::string());
  const Json top = request.value("top", Json(20));
  if (!top.is_number_integer()) return failure("top takes a whole number, not " + top.dump());
  wanted.top = top.get<long long>();
  wanted.keep_unphysical = request.value("keep_unphysical", false);
  wanted.best_variant = request.value("best_variant", false);
  wanted.data = user ? &user->data : nullptr;
  Answer<PlannedScreen> answered = answer(wanted);
  if (const auto* why = std::get_if<RequestError>(&answered)) {
    return failure(error_text(*why, why->option == "solvents" ? "solvent" : why->option));
  }
  const PlannedScreen& planned = std::get<PlannedScreen>(answered);
  Json rows = Json::array();
  StringSink text;
  StringSink csv;
  RowWriter text_writer(
      text, Format::kText, false, positional_columns(alloy_fields()),
      TextLayout{planned.options.kind == AlloyKind::kTernary, planned.first_line});
  RowWriter csv_writer(csv, Format::kCsv, false);
  for (const RankedRow& row : screen_top(planned.options, planned.order, planned.top)) {
    const Composition& c = row.alloy.compositions()[row.composition];
    rows.push_back(row_object(Row::of(row.alloy, c)));
    text_writer.add(row.alloy, c);
    csv_writer.add(row.alloy, c);
  }
  text_writer.finish();
  csv_writer.finish();
  return {{"ok", true}, {"rows", std::move(rows)}, {"text", text.text}, {"csv", csv.text}};
}

// {"formula": "Cu46Zr46Al8"}: the assessment of a composition, as `glassform assess` writes it.
Json assess_formula(const Json& request) {
  auto loaded = request_data(request);
  if (const auto* why = std::get_if<std::string>(&loaded)) return failure(*why);
  const std::shared_ptr<const UserElementData>& user = std::get<0>(loaded);
  Answer<Assessment> answered =
      answer(AssessRequest{request.at("formula").get<std::string>(), user ? &user->data : nullptr});
  if (const auto* why = std::get_if<RequestError>(&answered)) {
    return failure(error_text(*why, why->option));
  }
  const Assessment& a = std::get<Assessment>(answered);
  StringSink report;
  StringSink row;
  for (auto [sink, format] : {std::pair<StringSink*, Format>{&report, Format::kText},
                              std::pair<StringSink*, Format>{&row, Format::kJsonl}}) {
    AssessmentWriter writer(*sink, format, AssessmentScope::kAll,
                            positional_columns(assess_fields()));
    writer.add(a);
    writer.finish();
  }
  Json warnings = Json::array();
  for (const std::string& w : criteria_warnings(a.criteria))
    warnings.push_back(w);
  return {{"ok", true},
          {"report", report.text},
          {"row", Json::parse(row.text)},
          {"warnings", std::move(warnings)}};
}

// {"symbols": [A, B, C], "step": "5", "field": "p_glass", "range": "", "with": "Ni=10"}: the
// map's heat map and its CSV, as `glassform map A B C --step S --field F --range R --with W
// --plot` writes them.
Json composition_map(const Json& request) {
  auto loaded = request_data(request);
  if (const auto* why = std::get_if<std::string>(&loaded)) return failure(*why);
  const std::shared_ptr<const UserElementData>& user = std::get<0>(loaded);
  const Json& symbols = request.at("symbols");
  if (!symbols.is_array()) return failure("a map takes three element symbols");
  Answer<std::array<const Element*, 3>> elements =
      map_elements(symbols.get<std::vector<std::string>>(), user ? &user->data : nullptr);
  if (const auto* why = std::get_if<RequestError>(&elements)) return failure(why->message);
  MapRequest map;
  map.elements = std::get<std::array<const Element*, 3>>(elements);
  map.step = request.value("step", std::string("5"));
  map.field = request.value("field", std::string("p_glass"));
  map.range = request.value("range", std::string());
  map.with = request.value("with", std::string());
  map.data = user ? &user->data : nullptr;
  Answer<MapPlan> planned = answer(map);
  if (const auto* why = std::get_if<RequestError>(&planned)) return failure(why->message);
  const MapPlan& plan = std::get<MapPlan>(planned);
  StringSink csv;
  AssessmentWriter writer(csv, Format::kCsv, AssessmentScope::kAll, map_columns(map, plan));
  MapDrawing drawing(map, plan);
  each_map_composition(map, plan, [&](const Assessment& a) {
    writer.add(a);
    drawing.add(a);
  });
  writer.finish();
  return {{"ok", true}, {"svg", drawing.svg()}, {"csv", csv.text}};
}

// {"element_files": ...}: the digest of the files and what they change, or the fault.
Json element_data(const Json& request) {
  auto loaded = request_data(request);
  if (const auto* why = std::get_if<std::string>(&loaded)) return failure(*why);
  const std::shared_ptr<const UserElementData>& user = std::get<0>(loaded);
  if (!user) return {{"ok", true}, {"digest", "builtin"}, {"changes", Json::array()}};
  return {{"ok", true}, {"digest", user->digest}, {"changes", user->changes}};
}

Json elements() {
  Json list = Json::array();
  for (const Element& e : kElements) {
    std::vector<std::string> sets;
    for (const std::string_view name : sets_of(e))
      sets.emplace_back(name);
    list.push_back({{"symbol", e.symbol},
                    {"sets", sets},
                    {"radius_nm", json_number(e.radius)},
                    {"has_moduli", e.e != 0.0F && e.g != 0.0F && e.b != 0.0F}});
  }
  return {{"ok", true}, {"elements", std::move(list)}};
}

}  // namespace

std::string handle(const std::string& request_text) {
  try {
    const Json request = Json::parse(request_text);
    const std::string action = request.value("action", "");
    if (action == "evaluate") return dumped(evaluate(request));
    if (action == "screen") return dumped(screen(request));
    if (action == "elements") return dumped(elements());
    if (action == "assess") return dumped(assess_formula(request));
    if (action == "element_data") return dumped(element_data(request));
    if (action == "map") return dumped(composition_map(request));
    return dumped(failure("unknown action " + quoted_text(action)));
  } catch (const std::exception& e) {
    return dumped(failure("bad request: " + escaped_message(e.what())));
  } catch (...) {
    return dumped(failure("bad request"));
  }
}

}  // namespace glassform

EMSCRIPTEN_BINDINGS(glassform) {
  emscripten::function("handle", &glassform::handle);
}
