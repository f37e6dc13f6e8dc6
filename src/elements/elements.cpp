#include "elements/elements.hpp"

#include <cassert>

namespace glassform {

int sw(std::span<const std::string_view> symbols, std::string_view text) {
  // The first-byte test keeps the full comparison to the few entries that can match;
  // the empty text never matches because no symbol is empty.
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    const std::string_view entry = symbols[i];
    if (!text.empty() && !entry.empty() && entry.front() == text.front() && entry == text) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

const Element& element_at(int index) {
  assert(index >= 1 && index <= static_cast<int>(kElementCount));
  return kElements[static_cast<std::size_t>(index) - 1];
}

}  // namespace glassform
