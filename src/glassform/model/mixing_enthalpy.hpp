// The mixing enthalpy of the equiatomic liquid of two elements of the element table.
#pragma once

#include <cstddef>
#include <optional>

#include "glassform/model/elements.hpp"

namespace glassform {

// ΔH of the pair in kJ/mol, the same in either order; nothing for a pair the source does not
// cover and for an element with itself.
std::optional<float> mixing_enthalpy(const Element& a, const Element& b);

// How many pairs have a value.
std::size_t mixing_enthalpy_pairs();

}  // namespace glassform
