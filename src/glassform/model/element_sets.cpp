#include "glassform/model/element_sets.hpp"

namespace glassform {

const ElementSet* find_element_set(std::string_view name) {
  for (const ElementSet& set : kElementSets) {
    if (set.name == name) return &set;
  }
  return nullptr;
}

bool holds(const ElementSet& set, const Element& element) {
  std::string_view rest = set.symbols;
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    if (rest.substr(0, blank) == element.symbol) return true;
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  }
  return false;
}

std::vector<std::string_view> sets_of(const Element& element) {
  std::vector<std::string_view> out;
  for (const ElementSet& set : kElementSets) {
    if (holds(set, element)) out.push_back(set.name);
  }
  return out;
}

}  // namespace glassform
