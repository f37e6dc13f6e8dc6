// Measured elastic moduli of glasses, to set beside the estimates: which measurement belongs to
// a composition, and what the measured moduli give.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

struct MeasuredGlass {
  std::string name;                // the formula as the file writes it
  std::vector<FormulaPart> parts;  // distinct elements, at.% adding up to 100
  std::optional<double> g;         // shear modulus, GPa
  std::optional<double> b;         // bulk modulus, GPa
  std::optional<double> nu;        // Poisson's ratio
};

// Completes a measurement: G and B from E and nu where they are absent (G = E / (2 (1 + nu)),
// B = E / (3 (1 - 2 nu))), and nu from G and B where it is absent.
void complete_moduli(MeasuredGlass& glass, std::optional<double> e);

// The amounts within which two compositions are the same, at.%.
inline constexpr double kSameComposition = 0.05;

// The first glass of the list with the same elements as `parts` (amounts in any unit; an
// element with amount 0 left out) and every amount within kSameComposition after normalising.
const MeasuredGlass* find_measured(std::span<const MeasuredGlass> glasses,
                                   std::span<const FormulaPart> parts);

// The same for a composition of a model alloy.
const MeasuredGlass* find_measured(std::span<const MeasuredGlass> glasses, const AlloyResult& alloy,
                                   const Composition& composition);

}  // namespace glassform
