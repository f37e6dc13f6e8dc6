// Compositions written as chemists write them (Cu64Zr36, (Cu50Zr50)92Al8), read into the
// element amounts the model takes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/weighing.hpp"

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
// amounts are normalised to 100. Blanks and tabs are ignored.
ParsedFormula parse_formula(std::string_view text);

}  // namespace glassform
