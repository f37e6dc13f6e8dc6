#include "glassform/dialogue/dialogue.hpp"

namespace glassform {

Flow run_quaternary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 4> symbols{
      ask_symbol(console, kSolventPrompt), ask_symbol(console, kLargestSolutePrompt),
      ask_symbol(console, kNextSolutePrompt), ask_symbol(console, kSmallestSolutePrompt)};
  std::array<const Element*, 4> elements{};
  if (const Flow flow = take_elements(console, symbols, elements); flow != Flow::kContinue) {
    return flow;
  }

  // All three coordination numbers are computed before the screen is cleared.
  std::array<ClusterMeasure, 3> measures{};
  for (std::size_t i = 0; i < 3; ++i)
    measures[i] = measure_cluster(*elements[i + 1], *elements[0]);
  console.clear_screen();
  std::array<int, 3> chosen{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<int> reply = ask_quaternary_coordination(
        console, static_cast<int>(i), symbols[i + 1], measures[i].coordination);
    if (!reply) return Flow::kExitProgram;
    chosen[i] = *reply;
  }
  console.clear_screen();
  print_report(console, elements, measures, chosen);
  return Flow::kContinue;
}

}  // namespace glassform
