// Compositions written as chemists write them (Cu64Zr36, (Cu50Zr50)92Al8), read into the
// element amounts the model takes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/model/element_data.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// Where and why a formula cannot be read: `position` is the 0-based byte offset of the fault.
struct FormulaError {
  std::size_t position;
  std::string message;
};

struct ParsedFormula {
  std::vector<FormulaPart> parts;  // normalised to 100, in order of first appearance
  std::optional<FormulaError> error;
};

// Reads a composition: element symbols each followed by an amount (missing means 1), and one
// level of parentheses whose amounts are fractions of the group, which takes the amount after
// the parenthesis: (Cu50Zr50)92Al8 is Cu46Zr46Al8. An element named twice is summed; the
// amounts are normalised to 100. Blanks and tabs are ignored. The symbols are `data`'s.
ParsedFormula parse_formula(std::string_view text,
                            const ElementData& data = ElementData::builtin());

// The most elements of a composition that the front ends take (assess, elastic, the Python
// module, the page).
inline constexpr std::size_t kMostCompositionElements = 16;

// A composition as every front end reads it: parse_formula, and then at most
// kMostCompositionElements elements ("at most 16 elements, not 17" at position 0).
ParsedFormula parse_composition(std::string_view text,
                                const ElementData& data = ElementData::builtin());

}  // namespace glassform
