#include "glassform/report/request/alloy_request.hpp"

#include <array>

#include "glassform/io/text.hpp"

namespace glassform {

RequestError invalid_request(std::string message, std::string option) {
  return RequestError{RequestError::Kind::kInvalid, std::move(message), {}, {}, std::move(option)};
}

RequestError formula_request_error(std::string_view formula, const FormulaError& error) {
  return RequestError{RequestError::Kind::kFormula,
                      formula_error_text(formula, error),
                      std::string(formula),
                      error,
                      {}};
}

const ElementData& request_data(const ElementData* data) {
  return data != nullptr ? *data : ElementData::builtin();
}

std::string error_text(const RequestError& error, std::string_view spelled_option) {
  if (error.option.empty()) return error.message;
  std::string text(spelled_option);
  if (!error.message.starts_with(':')) text.push_back(' ');
  return text.append(error.message);
}

Answer<const Element*> element_named(std::string_view symbol, const ElementData& data) {
  if (const Element* e = data.find(symbol)) return e;
  return RequestError{
      RequestError::Kind::kUnknownSymbol, unknown_symbol_text(symbol), std::string(symbol), {}, {}};
}

std::optional<std::string> chosen_problem(std::span<const int> chosen, std::size_t count,
                                          std::size_t solutes) {
  if (count != solutes) {
    return "expected " + std::to_string(solutes) + " integer" + (solutes == 1 ? "" : "s") +
           " (one per solute), found " + std::to_string(count);
  }
  for (const int k : chosen) {
    if (k < 1) {
      return "coordination number " + std::to_string(k) +
             " is below 1: a coordination number counts neighbours";
    }
  }
  return std::nullopt;
}

Answer<AlloyResult> answer(const AlloyRequest& request) {
  const ElementData& data = request_data(request.data);
  std::vector<const Element*> elements;
  for (const std::string& symbol : request.symbols) {
    Answer<const Element*> e = element_named(symbol, data);
    if (auto* why = std::get_if<RequestError>(&e)) return std::move(*why);
    elements.push_back(std::get<const Element*>(e));
  }
  return alloy_of(elements, request.chosen, request.data);
}

Answer<AlloyResult> alloy_of(std::span<const Element* const> elements,
                             std::span<const std::optional<int>> chosen, const ElementData* data) {
  if (elements.size() < 2 || elements.size() > 4) {
    return invalid_request("an alloy has 2, 3 or 4 elements, solvent first");
  }
  const std::size_t solutes = elements.size() - 1;
  if (!chosen.empty()) {
    std::array<int, 3> given{};
    std::size_t n = 0;
    for (const std::optional<int>& k : chosen) {
      if (k && n < given.size()) given[n++] = *k;
    }
    if (auto why = chosen_problem(std::span(given).first(n), chosen.size(), solutes)) {
      return invalid_request(*why);
    }
  }
  if (auto why = missing_value(elements, ElementQuantity::kRadius, "the cluster model")) {
    return invalid_request(*why);
  }
  std::array<ClusterMeasure, 3> measures{};
  std::array<int, 3> integers{};
  for (std::size_t i = 0; i < solutes; ++i) {
    measures[i] = measure_cluster(*elements[i + 1], *elements[0]);
    const std::optional<int> k = chosen.empty() ? std::nullopt : chosen[i];
    integers[i] = k ? *k : nearest_integer(measures[i].coordination);
  }
  std::optional<AlloyResult> alloy = compute_alloy(elements, std::span(measures).first(solutes),
                                                   std::span(integers).first(solutes));
  if (!alloy) return invalid_request("coordination numbers must be at least 1");
  alloy->data = data;
  return *alloy;
}

std::string formula_error_text(std::string_view formula, const FormulaError& error) {
  return "formula " + quoted_text(formula) + ", position " + std::to_string(error.position + 1) +
         ": " + escaped_text(error.message, std::string_view::npos);
}

Answer<std::vector<FormulaPart>> composition_of(const AssessRequest& request) {
  ParsedFormula parsed = parse_composition(request.formula, request_data(request.data));
  if (!parsed.error && request.weight_percent) {
    if (auto why = missing_weight(parsed.parts, "reading weight percent")) {
      parsed.error = FormulaError{0, std::move(*why)};
    } else {
      const Weighing w = weigh(parsed.parts, true, std::nullopt);
      for (std::size_t i = 0; i < parsed.parts.size(); ++i)
        parsed.parts[i].amount = w.atomic[i];
    }
  }
  if (parsed.error) return formula_request_error(request.formula, *parsed.error);
  return std::move(parsed.parts);
}

Answer<Assessment> answer(const AssessRequest& request) {
  Answer<std::vector<FormulaPart>> parts = composition_of(request);
  if (auto* why = std::get_if<RequestError>(&parts)) return std::move(*why);
  return assess(std::get<std::vector<FormulaPart>>(parts), request.data);
}

}  // namespace glassform
