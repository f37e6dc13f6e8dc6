#include "glassform/model/elements.hpp"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>

namespace glassform {

int sw(std::span<const std::string_view> symbols, std::string_view text) {
  // The list is the table's own (kSymbols), so the table's one lookup answers.
  assert(symbols.data() == kSymbols.data() && symbols.size() == kSymbols.size());
  static_cast<void>(symbols);
  const Element* element = find_element(text);
  return element == nullptr ? 0 : element_index(*element);
}

const Element& element_at(int index) {
  assert(index >= 1 && index <= static_cast<int>(kElementCount));
  return kElements[static_cast<std::size_t>(index) - 1];
}

}  // namespace glassform

namespace glassform {

namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Whether `a` becomes `b` by changing, adding or removing exactly one character.
bool one_edit_apart(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return false;
  std::size_t i = 0;
  while (i < b.size() && a[i] == b[i])
    ++i;
  if (a.size() == b.size()) return i < a.size() && a.substr(i + 1) == b.substr(i + 1);
  return a.substr(i + 1) == b.substr(i);
}

}  // namespace

namespace {

// Symbols are a capital letter and at most one small letter: (capital, small or none) picks a
// slot of this table, which holds the element's 1-based index or 0.
constexpr std::size_t slot(char capital, char small) {
  return static_cast<std::size_t>(capital - 'A') * 27 +
         (small == '\0' ? 0 : static_cast<std::size_t>(small - 'a') + 1);
}

constexpr std::size_t kSlotCount = std::size_t{26} * 27;

constexpr std::array<std::uint8_t, kSlotCount> kSymbolSlots = [] {
  std::array<std::uint8_t, kSlotCount> slots{};
  for (std::size_t i = 0; i < kElementCount; ++i) {
    const std::string_view s = kElements[i].symbol;
    slots[slot(s[0], s.size() > 1 ? s[1] : '\0')] = static_cast<std::uint8_t>(i + 1);
  }
  return slots;
}();

}  // namespace

const Element* find_element(std::string_view symbol) {
  if (symbol.empty() || symbol.size() > 2 || symbol[0] < 'A' || symbol[0] > 'Z') return nullptr;
  if (symbol.size() == 2 && (symbol[1] < 'a' || symbol[1] > 'z')) return nullptr;
  const std::uint8_t index = kSymbolSlots[slot(symbol[0], symbol.size() == 2 ? symbol[1] : '\0')];
  return index == 0 ? nullptr : &kElements[index - 1U];
}

int element_index(const Element& element) {
  return static_cast<int>(&element - kElements.data()) + 1;
}

std::vector<std::string_view> suggest_symbols(std::string_view text) {
  if (text.empty()) return {};
  for (const std::string_view symbol : kSymbols) {
    if (symbol != text && equal_ignoring_case(symbol, text)) return {symbol};
  }
  // The symbols that begin with the text ("Z": Zn, Zr), then those one edit away.
  std::vector<std::string_view> close;
  for (const std::string_view symbol : kSymbols) {
    if (close.size() < 3 && symbol.size() > text.size() &&
        equal_ignoring_case(symbol.substr(0, text.size()), text)) {
      close.push_back(symbol);
    }
  }
  for (const std::string_view symbol : kSymbols) {
    if (close.size() == 3) break;
    if (one_edit_apart(symbol, text) &&
        std::find(close.begin(), close.end(), symbol) == close.end()) {
      close.push_back(symbol);
    }
  }
  return close;
}

std::string unknown_symbol_message(std::string_view text) {
  std::string message = "unknown symbol \"";
  message.append(text);
  message.push_back('"');
  const std::vector<std::string_view> close = suggest_symbols(text);
  if (!close.empty()) {
    message.append(": did you mean ");
    for (std::size_t i = 0; i < close.size(); ++i) {
      if (i > 0) message.append(i + 1 == close.size() ? " or " : ", ");
      message.append(close[i]);
    }
    message.push_back('?');
  }
  return message;
}

}  // namespace glassform
