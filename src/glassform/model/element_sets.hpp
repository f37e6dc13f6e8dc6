// Named sets of elements that a screen can leave out of its candidates.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "glassform/model/elements.hpp"

namespace glassform {

struct ElementSet {
  std::string_view name;
  std::string_view symbols;  // separated by blanks
  std::string_view meaning;
};

inline constexpr std::array<ElementSet, 4> kElementSets{{
    {"radioactive", "Tc Pm Po Pa Th U", "no stable isotope"},
    {"gases", "O N", "gases at room temperature"},
    {"alkali", "Li Na K Rb Cs", "alkali metals"},
    {"precious", "Ru Rh Pd Os Ir Pt Au Ag Re", "precious metals"},
}};

// The sets a screen leaves out unless told otherwise.
inline constexpr std::string_view kDefaultExcluded = "radioactive,gases";

// The set of a name, or null.
const ElementSet* find_element_set(std::string_view name);

// Whether the set holds the element.
bool holds(const ElementSet& set, const Element& element);

// The names of the sets that hold the element, in the order of kElementSets.
std::vector<std::string_view> sets_of(const Element& element);

}  // namespace glassform
