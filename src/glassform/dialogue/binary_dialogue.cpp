#include "glassform/dialogue/dialogue.hpp"

namespace glassform {

Flow run_binary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 2> symbols{ask_symbol(console, kSolventPrompt),
                                     ask_symbol(console, kSolutePrompt)};
  std::array<const Element*, 2> elements{};
  if (const Flow flow = take_elements(console, symbols, elements); flow != Flow::kContinue) {
    return flow;
  }
  const ClusterMeasure measure = measure_cluster(*elements[1], *elements[0]);
  const std::optional<int> chosen = ask_binary_coordination(console, measure.coordination);
  if (!chosen) return Flow::kExitProgram;
  print_report(console, elements, std::array{measure}, std::array{*chosen});
  return Flow::kContinue;
}

}  // namespace glassform
