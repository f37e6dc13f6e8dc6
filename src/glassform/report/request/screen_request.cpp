#include "glassform/report/request/screen_request.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include <fmt/format.h>

#include "glassform/io/formula.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_filter.hpp"

namespace glassform {

namespace {

// A whole number of rows from 1 to kMostScreenTop, or why not.
std::optional<RequestError> count_problem(long long n, std::string option) {
  if (n < 1) {
    return invalid_request(fmt::format("takes a whole number of at least 1, not {}", n),
                           std::move(option));
  }
  if (n > kMostScreenTop) {
    return invalid_request(fmt::format("keeps at most {} rows in memory", kMostScreenTop),
                           std::move(option));
  }
  return std::nullopt;
}

Answer<Exclusion> exclusion_of(const std::vector<std::string>& items) {
  std::variant<Exclusion, std::string> exclusion = parse_exclusion(items);
  if (const std::string* why = std::get_if<std::string>(&exclusion)) {
    return invalid_request(escaped_text(*why, std::string_view::npos), "exclude");
  }
  return std::get<Exclusion>(std::move(exclusion));
}

// The elements of a candidate list, each once, in the order first named: `all` is every element
// the exclusion leaves; a symbol named is kept even where excluded, and listed in `kept`.
Answer<std::vector<const Element*>> candidates_of(const std::vector<std::string>& symbols,
                                                  std::string_view option,
                                                  const Exclusion& exclusion,
                                                  const ElementData& data,
                                                  std::vector<KeptExclusion>& kept) {
  if (symbols.empty()) {
    return invalid_request("takes element symbols or all, and none was given", std::string(option));
  }
  if (symbols.size() == 1 && symbols[0] == "all") return all_elements_but(exclusion, data);
  std::vector<const Element*> named;
  for (const std::string& symbol : symbols) {
    Answer<const Element*> e = element_named(symbol, data);
    if (auto* why = std::get_if<RequestError>(&e)) return std::move(*why);
    named.push_back(std::get<const Element*>(e));
  }
  if (auto why = missing_value(named, ElementQuantity::kRadius, "the cluster model")) {
    return invalid_request(*why);
  }
  std::vector<const Element*> unique;
  for (const Element* e : named) {
    if (std::find(unique.begin(), unique.end(), e) != unique.end()) continue;
    unique.push_back(e);
    if (excludes(exclusion, e)) kept.push_back({e, option});
  }
  return unique;
}

// The candidate solvents and solutes of a request, or the first fault.
struct Candidates {
  Exclusion exclusion;
  std::vector<const Element*> solvents;
  std::vector<const Element*> solutes;
  std::vector<KeptExclusion> kept;
};

Answer<Candidates> candidates(const std::vector<std::string>& solvents,
                              const std::vector<std::string>& solutes,
                              const std::vector<std::string>& exclude, const ElementData* data) {
  Candidates out;
  Answer<Exclusion> exclusion = exclusion_of(exclude);
  if (auto* why = std::get_if<RequestError>(&exclusion)) return std::move(*why);
  out.exclusion = std::get<Exclusion>(std::move(exclusion));
  for (auto [symbols, option, list] : {std::tuple{&solvents, "solvents", &out.solvents},
                                       std::tuple{&solutes, "solutes", &out.solutes}}) {
    auto found = candidates_of(*symbols, option, out.exclusion, request_data(data), out.kept);
    if (auto* why = std::get_if<RequestError>(&found)) return std::move(*why);
    *list = std::get<std::vector<const Element*>>(std::move(found));
  }
  return out;
}

// The order and the conditions of a search over these columns.
std::optional<RequestError> search_terms(const std::string& sort,
                                         const std::vector<std::string>& where,
                                         const std::vector<Column>& columns, SearchOrder& order,
                                         std::vector<RowCondition>& conditions) {
  auto read = parse_conditions(where, columns);
  if (const std::string* why = std::get_if<std::string>(&read)) {
    return invalid_request(escaped_text(*why, std::string_view::npos), "where");
  }
  conditions = std::get<std::vector<RowCondition>>(std::move(read));
  auto ordered = parse_search_order(sort, columns);
  if (const std::string* why = std::get_if<std::string>(&ordered)) return invalid_request(*why);
  order = std::get<SearchOrder>(std::move(ordered));
  return std::nullopt;
}

}  // namespace

Answer<PlannedScreen> answer(const ScreenRequest& request) {
  const std::optional<AlloyKind> kind = kind_named(request.kind);
  if (!kind) {
    return invalid_request("is binary, ternary or quaternary, not " + quoted_text(request.kind),
                           "kind");
  }
  if (auto why = count_problem(request.top, "top")) return std::move(*why);
  Answer<Candidates> found =
      candidates(request.solvents, request.solutes, request.exclude, request.data);
  if (auto* why = std::get_if<RequestError>(&found)) return std::move(*why);
  Candidates& chosen = std::get<Candidates>(found);
  PlannedScreen out;
  out.candidates = screen_candidates(chosen.solvents, chosen.solutes);
  auto keep = parse_where(request.where, out.candidates);
  if (const std::string* why = std::get_if<std::string>(&keep)) {
    return invalid_request(escaped_text(*why, std::string_view::npos), "where");
  }
  auto order = parse_sort(request.sort, out.candidates);
  if (const std::string* why = std::get_if<std::string>(&order)) {
    return invalid_request(escaped_text(*why, std::string_view::npos));
  }
  out.order = std::get<SortOrder>(std::move(order));
  out.options.kind = *kind;
  out.options.solvents = std::move(chosen.solvents);
  out.options.solutes = std::move(chosen.solutes);
  out.options.any_order = request.any_order;
  out.options.require_elastic = request.require_elastic;
  out.options.keep = std::get<0>(std::move(keep));
  out.options.physical_only = !request.keep_unphysical;
  out.options.best_variant = request.best_variant;
  out.options.threads = screen_threads();
  out.options.data = request.data;
  out.top = static_cast<std::size_t>(request.top);
  out.first_line = screen_first_line(chosen.exclusion, request.keep_unphysical, request.sort);
  out.kept = std::move(chosen.kept);
  out.excluded = std::move(chosen.exclusion.names);
  return out;
}

Answer<PlannedGrid> answer(const GridScreenRequest& request) {
  const std::optional<AlloyKind> kind = kind_named(request.kind);
  if (kind != AlloyKind::kTernary && kind != AlloyKind::kQuaternary) {
    return invalid_request("screens ternary or quaternary systems, not " +
                               (kind ? request.kind + " ones" : quoted_text(request.kind)),
                           "grid");
  }
  auto units = grid_units(request.grid);
  if (const std::string* why = std::get_if<std::string>(&units))
    return invalid_request(": " + *why, "grid");
  PlannedGrid out;
  out.search.kind = *kind;
  out.search.units = std::get<int>(units);
  if (out.search.units < static_cast<int>(element_count(*kind))) {
    return invalid_request(fmt::format("{} leaves no {} composition: each share is at least one "
                                       "step",
                                       request.grid, request.kind),
                           "grid");
  }
  if (auto why = count_problem(request.per_system, "per_system")) return std::move(*why);
  if (auto why = count_problem(request.top, "top")) return std::move(*why);
  Answer<Candidates> found =
      candidates(request.solvents, request.solutes, request.exclude, request.data);
  if (auto* why = std::get_if<RequestError>(&found)) return std::move(*why);
  Candidates& chosen = std::get<Candidates>(found);
  out.candidates = screen_candidates(chosen.solvents, chosen.solutes);
  if (auto why = search_terms(request.sort, request.where, grid_columns(out.candidates, true),
                              out.search.order, out.search.conditions)) {
    return std::move(*why);
  }
  out.search.solvents = std::move(chosen.solvents);
  out.search.solutes = std::move(chosen.solutes);
  out.search.per_system = static_cast<std::size_t>(request.per_system);
  out.search.top = static_cast<std::size_t>(request.top);
  out.search.threads = screen_threads();
  out.search.data = request.data;
  out.kept = std::move(chosen.kept);
  out.excluded = std::move(chosen.exclusion.names);
  return out;
}

Answer<PlannedAround> answer(const AroundRequest& request) {
  const ParsedFormula parsed = parse_composition(request.around, request_data(request.data));
  if (parsed.error) return formula_request_error(request.around, *parsed.error);
  if (parsed.parts.size() < 2) {
    return invalid_request("takes a composition of two elements or more", "around");
  }
  for (const auto& [value, option] :
       {std::pair{request.radius, "radius"}, std::pair{request.step, "step"}}) {
    if (!(std::isfinite(value) && value > 0 && value <= 100)) {
      return invalid_request(
          fmt::format("takes an amount in at.% above 0 and at most 100, not {}", value), option);
    }
  }
  if (auto why = count_problem(request.top, "top")) return std::move(*why);
  PlannedAround out;
  out.search.base = parsed.parts;
  out.search.radius = request.radius;
  out.search.step = request.step;
  out.search.top = static_cast<std::size_t>(request.top);
  out.search.data = request.data;
  if (neighbourhood_span(out.search) > kMostNeighbours) {
    return invalid_request(
        fmt::format("{} within {} at.% at step {} spans more than {} "
                    "compositions: give a larger step or a smaller radius",
                    quoted_text(request.around), request.radius, request.step, kMostNeighbours),
        "around");
  }
  std::vector<const Element*> elements;
  elements.reserve(parsed.parts.size());
  for (const FormulaPart& p : parsed.parts)
    elements.push_back(p.element);
  out.columns = shares_and_assess_columns(elements);
  if (auto why = search_terms(request.sort, request.where, out.columns, out.search.order,
                              out.search.conditions)) {
    return std::move(*why);
  }
  return out;
}

Answer<Weighing> answer(const WeighRequest& request) {
  if (request.mass && !(std::isfinite(*request.mass) && *request.mass > 0)) {
    return invalid_request(fmt::format("takes a positive number of grams, not {}", *request.mass),
                           "mass");
  }
  const ParsedFormula parsed = parse_formula(request.formula, request_data(request.data));
  if (parsed.error) return formula_request_error(request.formula, *parsed.error);
  if (auto why = missing_weight(parsed.parts, "weigh")) return invalid_request(*why);
  return weigh(parsed.parts, request.weight_percent, request.mass);
}

}  // namespace glassform
