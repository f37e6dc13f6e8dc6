#include "glassform/dialogue/dialogue.hpp"
#include "glassform/report/table/number_format.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform {

namespace {

constexpr std::string_view kQuestion = "\nWhat would you like the integer value to be? ";

// A coordination number counts neighbours, so only whole numbers of at least 1 are taken.
std::optional<int> read_coordination(Console& console, bool discard_first) {
  if (discard_first) console.discard_pending();
  int value = 0;
  for (;;) {
    const ReadStatus status = console.read_int(value);
    if (status == ReadStatus::kEndOfInput) return std::nullopt;
    if (status == ReadStatus::kOk && value >= 1) return value;
    console.discard_pending();
    console.print(kQuestion);
  }
}

void print_calculated(Console& console, float calculated) {
  console.print("\nThe coordination number calculated is: ");
  console.print(format_default(calculated));
  console.line_end();
  console.print(kQuestion);
}

}  // namespace

std::optional<int> ask_binary_coordination(Console& console, float calculated) {
  print_calculated(console, calculated);
  std::optional<int> chosen = read_coordination(console, true);
  if (chosen) console.clear_screen();
  return chosen;
}

std::optional<int> ask_ternary_largest_coordination(Console& console, float calculated) {
  print_calculated(console, calculated);
  return read_coordination(console, false);
}

std::optional<int> ask_ternary_smallest_coordination(Console& console, const std::string& symbol,
                                                     float calculated) {
  console.print(
      "\nThe coordination number calculated considering {} is {:.2f}.\nWhat would you like the integer value to be? ",
      symbol.c_str(), static_cast<double>(calculated));
  std::optional<int> chosen = read_coordination(console, false);
  if (chosen) console.clear_screen();
  return chosen;
}

std::optional<int> ask_quaternary_coordination(Console& console, int which,
                                               const std::string& symbol, float calculated) {
  console.print("{}The coordination number calculated (for {}) is: {:.2f}",
                which == 0 ? "" : "\n\n", symbol.c_str(), static_cast<double>(calculated));
  console.print(kQuestion);
  return read_coordination(console, true);
}

void print_ternary_out_of_range(Console& console, std::string_view symbol) {
  console.print(ratio_too_big_text(symbol));
  console.line_end();
}

}  // namespace glassform
