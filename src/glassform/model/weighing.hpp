// From atomic to weight percent and to the masses to weigh. Weights are the standard atomic weights
// of the element table; the arithmetic is in double precision.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/elastic.hpp"
#include "glassform/model/elements.hpp"

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

// The elastic estimate of a composition, by the rule of mixtures of the alloy reports: each
// element's moduli weighted by its atomic percentage, stored as a float.
ElasticResult estimate_formula_elastic(std::span<const FormulaPart> parts);

// Grams of each element for an ingot of `grams`; unrounded, they add up to `grams`.
std::array<double, 4> composition_masses(const AlloyResult& alloy, const Composition& composition,
                                         double grams);

// A composition as `weigh` gives it: element, at.%, wt.% and, given a mass, grams.
struct Weighing {
  std::vector<const Element*> elements;
  std::vector<double> atomic;  // percent
  std::vector<double> weight;  // percent
  std::optional<std::vector<double>> grams;
  std::optional<double> total_grams;
};

// Why these parts cannot be weighed (`needed_by` names what asks): the first element without an
// atomic weight (a user's), or nothing.
std::optional<std::string> missing_weight(std::span<const FormulaPart> parts,
                                          std::string_view needed_by);

// The weighing of a formula's amounts, read as atomic percent, or as weight percent with
// `amounts_are_weight`.
Weighing weigh(const std::vector<FormulaPart>& parts, bool amounts_are_weight,
               std::optional<double> grams);

}  // namespace glassform
