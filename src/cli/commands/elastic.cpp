#include <memory>

#include "cli/cli_internal.hpp"
#include "report/elastic_report.hpp"

namespace glassform::cli {

namespace {
constexpr std::size_t kMostElements = 8;
}  // namespace

void register_elastic(CLI::App& app, Run& run) {
  auto formula = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand(
      "elastic", "The elastic estimate of any composition, by the reports' rule of mixtures");
  command->add_option("formula", *formula, "The composition, e.g. Cu50Zr50")
      ->required()
      ->type_name("FORMULA");
  add_output_options(*command, run);
  command->footer(
      "Up to 8 elements, written as for weigh: Cu50Zr50, Zr41.2Ti13.8Cu12.5Ni10Be22.5, "
      "(Cu50Zr50)92Al8. E, G and B mix the elements' moduli by atomic percentage; C11 = B + G, "
      "C12 = (3B - C11)/2, C44 = G, m = 12 (B/G + 0.67).\n\n"
      "Example:\n  glassform elastic Zr41.2Ti13.8Cu12.5Ni10Be22.5");
  run.commands.emplace_back(command, [formula](Run& r) {
    const ParsedFormula parsed = parse_formula(*formula);
    if (parsed.error) throw_formula_error(*formula, *parsed.error);
    if (parsed.parts.size() > kMostElements) {
      throw UsageError("the elastic estimate takes at most 8 elements, the formula has " +
                       std::to_string(parsed.parts.size()));
    }
    const ElasticResult result = estimate_formula_elastic(parsed.parts);
    return with_output(r, [&](OutputSink& sink) {
      write_formula_elastic(sink, r.format(), parsed.parts, result);
      return 0;
    });
  });
}

}  // namespace glassform::cli
