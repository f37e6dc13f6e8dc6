// The requests every front end makes of the model, answered in one place: the command line,
// the Python module and the page read only their own syntax and turn an error into a usage
// error, an exception or the page's message, with the same text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "glassform/io/formula.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/model/element_data.hpp"

namespace glassform {

// Why a request cannot be answered: the message every front end shows, and what is at fault,
// for a front end that raises its own kind of error for it.
struct RequestError {
  enum class Kind : std::uint8_t { kUnknownSymbol, kFormula, kInvalid };
  Kind kind = Kind::kInvalid;
  std::string message;     // the user's text in it escaped as every message quotes it
  std::string subject;     // the symbol or the formula at fault, as given
  FormulaError formula{};  // where a formula cannot be read (kFormula)
  // The request's member at fault ("top", "where"), which each front end writes as its own
  // syntax names it before the message; empty where the message stands alone.
  std::string option;
};

// The message with the option as the front end spells it ("--top", "top") before it.
std::string error_text(const RequestError& error, std::string_view spelled_option);

// A request's value that cannot be used, with the member at fault (none: the message says it).
RequestError invalid_request(std::string message, std::string option = {});

// A formula that cannot be read, with the formula_error_text message.
RequestError formula_request_error(std::string_view formula, const FormulaError& error);

// The data of a request: its own, or the built-in tables for null.
const ElementData& request_data(const ElementData* data);

template <typename T>
using Answer = std::variant<T, RequestError>;

// The element of a symbol in the data, or an error naming the nearest symbols.
Answer<const Element*> element_named(std::string_view symbol, const ElementData& data);

// What is wrong with the chosen integers of an alloy, or nothing: one per solute (`count` were
// given), each at least 1.
std::optional<std::string> chosen_problem(std::span<const int> chosen, std::size_t count,
                                          std::size_t solutes);

// An alloy of the cluster model: 2 to 4 symbols, solvent first, and the integer coordination
// number of each solute: none given, the nearest to each computed one; otherwise one per
// solute, where nothing again means the nearest.
struct AlloyRequest {
  std::vector<std::string> symbols;
  std::vector<std::optional<int>> chosen;
  const ElementData* data = nullptr;  // null for the built-in tables
};

Answer<AlloyResult> answer(const AlloyRequest& request);

// The same for elements already found in `data` (a batch line's): `chosen` empty or one per
// solute.
Answer<AlloyResult> alloy_of(std::span<const Element* const> elements,
                             std::span<const std::optional<int>> chosen, const ElementData* data);

// "formula "TEXT", position N: why", the text quoted as every message quotes the user's.
std::string formula_error_text(std::string_view formula, const FormulaError& error);

// A given composition: a formula as `assess` reads it (1 to 16 elements), assessed.
struct AssessRequest {
  std::string formula;
  const ElementData* data = nullptr;  // null for the built-in tables
  bool weight_percent = false;        // the amounts are weight percent
};

Answer<Assessment> answer(const AssessRequest& request);

// The composition of the request's formula in at.%: a fault, or an element without an atomic
// weight where the amounts are weight percent, is a formula error.
Answer<std::vector<FormulaPart>> composition_of(const AssessRequest& request);

}  // namespace glassform
