// From atomic to weight percent and to the masses to weigh, and compositions written as
// chemists write them (Cu64Zr36, (Cu50Zr50)92Al8). Weights are the standard atomic weights of
// the element table; the arithmetic is in double precision.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/alloys.hpp"
#include "model/elastic.hpp"
#include "model/elements.hpp"

namespace glassform {

// Weight percent of each element from its atomic percent; `out` has one entry per element.
// All zeros when the atomic percentages add up to nothing.
void weight_percent(std::span<const Element* const> elements, std::span<const double> atomic,
                    std::span<double> out);

// Atomic percent of each element from its weight percent.
void atomic_percent(std::span<const Element* const> elements, std::span<const double> weight,
                    std::span<double> out);

// The mass of each element in an ingot of `total_grams`, from the weight percentages; the
// masses add up to the total.
void masses(std::span<const double> weight, double total_grams, std::span<double> out);

// Weight percent of each element of a composition, computed in double from the stored atomic
// percentages; the second stores them as floats like every reported value.
std::array<double, 4> composition_weight_percent_exact(const AlloyResult& alloy,
                                                       const Composition& composition);
std::array<float, 4> composition_weight_percent(const AlloyResult& alloy,
                                                const Composition& composition);

// One element of a composition and its amount.
struct FormulaPart {
  const Element* element;
  double amount;
};

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

// The elastic estimate of a composition, by the rule of mixtures of the alloy reports: each
// element's moduli weighted by its atomic percentage, stored as a float.
ElasticResult estimate_formula_elastic(std::span<const FormulaPart> parts);

}  // namespace glassform
