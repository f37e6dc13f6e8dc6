#include "glassform/dialogue/dialogue.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform {

namespace {

// Tells that a solute could stand in for the solvent, and waits for a key.
void report_interchangeable(Console& console, const std::string& solute, const std::string& solvent,
                            std::string_view line_tail) {
  console.print(interchangeable_text(solute, solvent));
  console.print(line_tail);
  console.line_end();
  console.wait_for_key();
}

}  // namespace

Flow run_ternary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 3> symbols{ask_symbol(console, kSolventPrompt),
                                     ask_symbol(console, kLargestSolutePrompt), std::string{}};
  std::array<const Element*, 3> elements{};
  const std::span<const std::string> all_symbols{symbols};
  const std::span<const Element*> all_elements{elements};
  if (const Flow flow = take_elements(console, all_symbols.first(2), all_elements.first(2));
      flow != Flow::kContinue) {
    return flow;
  }

  // First cluster, around the largest solute.
  std::array<ClusterMeasure, 2> measures{measure_cluster(*elements[1], *elements[0])};
  if (measures[0].too_small) {
    console.print(solute_too_small_text());
    console.line_end();
  }
  const std::optional<int> first_chosen =
      ask_ternary_largest_coordination(console, measures[0].coordination);
  if (!first_chosen) return Flow::kExitProgram;
  if (!ideal_radius_ratio(*first_chosen)) print_ternary_out_of_range(console, symbols[1]);
  if (measures[0].like_solvent) {
    // This first message has always ended with a blank before its line end.
    report_interchangeable(console, symbols[1], symbols[0], " ");
  }

  // Second cluster, around the smallest solute.
  symbols[2] = ask_symbol(console, kLaterSmallestSolutePrompt);
  if (const Flow flow = take_elements(console, all_symbols.subspan(2), all_elements.subspan(2));
      flow != Flow::kContinue) {
    return flow;
  }
  measures[1] = measure_cluster(*elements[2], *elements[0]);
  if (measures[1].like_solvent) report_interchangeable(console, symbols[2], symbols[0], "");
  const std::optional<int> second_chosen =
      ask_ternary_smallest_coordination(console, symbols[2], measures[1].coordination);
  if (!second_chosen) return Flow::kExitProgram;
  if (!ideal_radius_ratio(*second_chosen)) print_ternary_out_of_range(console, symbols[2]);

  print_report(console, elements, measures, std::array{*first_chosen, *second_chosen});
  return Flow::kContinue;
}

}  // namespace glassform
