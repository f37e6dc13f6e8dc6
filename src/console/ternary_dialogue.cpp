#include "console/dialogue.hpp"
#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"

namespace glassform {

namespace {

constexpr std::string_view kSeparator =
    "-----------------------------------------------------------------------------";
static_assert(kSeparator.size() == 77);

constexpr std::array<std::string_view, 3> kGammaHeadings{
    "\nComposition calculated for empty gamma sites:\n",
    "\nComposition calculated for half full gamma sites:\n",
    "\nComposition calculated for full gamma sites:\n",
};

// Tells that a solute could stand in for the solvent, and waits for a key.
void report_interchangeable(Console& console, const std::string& solute, const std::string& solvent,
                            const char* line_tail) {
  console.printf(
      "%s is less than 2 percent different in size to %s and is interchangeable with %s%s\n",
      solute.c_str(), solvent.c_str(), solvent.c_str(), line_tail);
  console.wait_for_key();
}

}  // namespace

Flow run_ternary(Console& console) {
  print_symbol_note(console);
  std::array<std::string, 3> symbols{ask_symbol(console, kSolventPrompt),
                                     ask_symbol(console, kLargestSolutePrompt), std::string{}};
  std::array<Element, 3> elements{};
  const std::span<const std::string> all_symbols{symbols};
  const std::span<Element> all_elements{elements};
  if (const Flow flow = take_elements(console, all_symbols.first(2), all_elements.first(2));
      flow != Flow::kContinue) {
    return flow;
  }
  const Element& solvent = elements[0];
  const Element& largest = elements[1];

  // First cluster, around the largest solute.
  const float first_ratio = radius_ratio(largest.radius, solvent.radius);
  if (solute_too_small(first_ratio)) {
    console.print("Solute radius too small");
    console.line_end();
  }
  const std::optional<int> first_chosen =
      ask_ternary_largest_coordination(console, coordination_number(first_ratio));
  if (!first_chosen) return Flow::kExitProgram;
  if (!ideal_radius_ratio(*first_chosen)) print_ternary_out_of_range(console, symbols[1]);
  if (interchangeable_with_solvent(largest.radius, solvent.radius)) {
    // This first message has always ended with a blank before its line end.
    report_interchangeable(console, symbols[1], symbols[0], " ");
  }

  // Second cluster, around the smallest solute.
  symbols[2] = ask_symbol(console, kLaterSmallestSolutePrompt);
  if (const Flow flow = take_elements(console, all_symbols.subspan(2), all_elements.subspan(2));
      flow != Flow::kContinue) {
    return flow;
  }
  const Element& smallest = elements[2];
  if (interchangeable_with_solvent(smallest.radius, solvent.radius)) {
    report_interchangeable(console, symbols[2], symbols[0], "");
  }
  const float second_ratio = radius_ratio(smallest.radius, solvent.radius);
  const std::optional<int> second_chosen =
      ask_ternary_smallest_coordination(console, symbols[2], coordination_number(second_ratio));
  if (!second_chosen) return Flow::kExitProgram;
  if (!ideal_radius_ratio(*second_chosen)) print_ternary_out_of_range(console, symbols[2]);

  const TernaryResult r =
      compute_ternary(solvent, largest, smallest, *first_chosen, *second_chosen);
  console.printf(
      "For a <%d,%d> glass:\n\nRadii in nm: %s= %.5f      %s= %.5f      %s= %.5f,\nwith radius "
      "ratios %.3f and %.3f for %s and %s respectively.\n",
      *first_chosen, *second_chosen, symbols[0].c_str(), static_cast<double>(solvent.radius),
      symbols[1].c_str(), static_cast<double>(largest.radius), symbols[2].c_str(),
      static_cast<double>(smallest.radius), static_cast<double>(r.largest.measured_ratio),
      static_cast<double>(r.smallest.measured_ratio), symbols[1].c_str(), symbols[2].c_str());
  for (const GammaComposition& c : r.compositions) {
    console.print(kSeparator);
    console.print(kGammaHeadings[static_cast<std::size_t>(c.occupancy)]);
    console.printf("%.2f%% of %s\n", static_cast<double>(c.solvent_percent), symbols[0].c_str());
    console.printf("%.2f%% of %s\n", static_cast<double>(c.largest_percent), symbols[1].c_str());
    console.printf("%.2f%% of %s\n", static_cast<double>(c.smallest_percent), symbols[2].c_str());
    console.printf("Packing efficiency of the alloy = %.2f%%\n", static_cast<double>(c.packing));
    print_elastic(console, ElasticStyle::kTernary, symbols, c.elastic);
  }
  return Flow::kContinue;
}

}  // namespace glassform
