#include "console/dialogue.hpp"
#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"

namespace glassform {

Flow run_binary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 2> symbols{ask_symbol(console, kSolventPrompt),
                                     ask_symbol(console, kSolutePrompt)};
  std::array<Element, 2> elements{};
  if (const Flow flow = take_elements(console, symbols, elements); flow != Flow::kContinue) {
    return flow;
  }
  const Element& solvent = elements[0];
  const Element& solute = elements[1];

  const float calculated = coordination_number(radius_ratio(solute.radius, solvent.radius));
  const std::optional<int> chosen = ask_binary_coordination(console, calculated);
  if (!chosen) return Flow::kExitProgram;
  const BinaryResult r = compute_binary(solvent, solute, *chosen);

  console.printf("For a <%d> glass:", *chosen);
  console.printf("\n\nRadii in nm: %s= %.5f\t%s= %.5f,\nwith radius ratio %.3f\n",
                 symbols[0].c_str(), static_cast<double>(solvent.radius), symbols[1].c_str(),
                 static_cast<double>(solute.radius), static_cast<double>(r.cluster.measured_ratio));
  if (!r.cluster.chosen_in_range) print_binary_out_of_range(console, symbols[1]);
  console.printf(
      "\nAtoms contained in the selected alloy:\n%.3f atoms for alpha solvent.\n%.3f total "
      "atoms.\n\nComposition predicted:\n%.2f%% of %s.\n%.2f%% of %s.\nPacking efficiency of "
      "the alloy = %.2f%%\n",
      static_cast<double>(r.solvent_atoms), static_cast<double>(r.total_atoms),
      static_cast<double>(r.solvent_percent), symbols[0].c_str(),
      static_cast<double>(r.solute_percent), symbols[1].c_str(), static_cast<double>(r.packing));
  print_elastic(console, ElasticStyle::kBinary, symbols, r.elastic);
  return Flow::kContinue;
}

}  // namespace glassform
