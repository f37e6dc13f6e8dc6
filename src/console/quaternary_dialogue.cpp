#include "console/dialogue.hpp"
#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"

namespace glassform {

Flow run_quaternary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 4> symbols{
      ask_symbol(console, kSolventPrompt), ask_symbol(console, kLargestSolutePrompt),
      ask_symbol(console, kNextSolutePrompt), ask_symbol(console, kSmallestSolutePrompt)};
  std::array<Element, 4> elements{};
  if (const Flow flow = take_elements(console, symbols, elements); flow != Flow::kContinue) {
    return flow;
  }

  // All three coordination numbers are computed before the screen is cleared.
  std::array<float, 3> calculated{};
  for (std::size_t i = 0; i < 3; ++i) {
    calculated[i] = coordination_number(radius_ratio(elements[i + 1].radius, elements[0].radius));
  }
  console.clear_screen();
  std::array<int, 3> chosen{};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<int> reply =
        ask_quaternary_coordination(console, static_cast<int>(i), symbols[i + 1], calculated[i]);
    if (!reply) return Flow::kExitProgram;
    chosen[i] = *reply;
  }

  const QuaternaryResult r =
      compute_quaternary(elements[0], elements[1], elements[2], elements[3], chosen);
  console.clear_screen();
  console.printf(
      "For a <%d,%d,%d> glass:\n\nRadii in nm: %s= %.5f     %s= %.5f     %s= %.5f     %s= "
      "%.5f,\nwith radius ratios %.2f, %.2f and %.2f for %s, %s and %s respectively.\n\nAtoms "
      "contained in the selected alloy:\n%.2f atoms of solvent.\n%.2f total "
      "atoms.\n\nComposition calculated:\n%.2f%% of %s.\n%.2f%% of %s.\n%.2f%% of %s.\n%.2f%% "
      "of %s.\n\nPacking efficiency of the alloy= %.2f %%",
      chosen[0], chosen[1], chosen[2], symbols[0].c_str(), static_cast<double>(elements[0].radius),
      symbols[1].c_str(), static_cast<double>(elements[1].radius), symbols[2].c_str(),
      static_cast<double>(elements[2].radius), symbols[3].c_str(),
      static_cast<double>(elements[3].radius), static_cast<double>(r.ratios[0]),
      static_cast<double>(r.ratios[1]), static_cast<double>(r.ratios[2]), symbols[1].c_str(),
      symbols[2].c_str(), symbols[3].c_str(), static_cast<double>(r.solvent_atoms),
      static_cast<double>(r.total_atoms), static_cast<double>(r.solvent_percent),
      symbols[0].c_str(), static_cast<double>(r.single_percent), symbols[1].c_str(),
      static_cast<double>(r.single_percent), symbols[2].c_str(),
      static_cast<double>(r.smallest_percent), symbols[3].c_str(), static_cast<double>(r.packing));
  print_elastic(console, ElasticStyle::kQuaternary, symbols, r.elastic);
  return Flow::kContinue;
}

}  // namespace glassform
