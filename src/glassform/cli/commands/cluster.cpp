#include <cmath>
#include <cstdlib>
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/report/table/tables.hpp"

namespace glassform::cli {

namespace {

// Above 10 the model's formula stops making sense (its denominator changes sign far beyond);
// the table's most extreme ratio is 3.63.
constexpr double kLargestRatio = 10.0;

float parse_ratio(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value)) {
    throw UsageError("radius ratio \"" + text + "\" is not a number");
  }
  const auto ratio = static_cast<float>(value);
  if (!(ratio > 0.0F) || static_cast<double>(ratio) > kLargestRatio) {
    throw UsageError("radius ratio " + text + " is outside (0, 10]");
  }
  return ratio;
}

}  // namespace

void register_cluster(CLI::App& app, Run& run) {
  auto texts = std::make_shared<std::vector<std::string>>();
  CLI::App* command = app.add_subcommand(
      "cluster", "The cluster geometry of radius ratios (solute over solvent radius)");
  command->add_option("ratios", *texts, "Radius ratios in (0, 10]")->required();
  add_output_options(*command, run);
  command->footer(
      "For each ratio: the face parameter, the coordination number, the nearest integer, its "
      "ideal radius ratio and the relative difference of the ratio from it.\n\n"
      "Example:\n  glassform cluster 0.798 1.254");
  run.commands.emplace_back(command, [texts](Run& r) {
    std::vector<float> ratios;
    for (const std::string& t : *texts)
      ratios.push_back(parse_ratio(t));
    return with_output(r, [&](OutputSink& sink) {
      write_cluster_table(sink, r.format(), ratios);
      return 0;
    });
  });
}

}  // namespace glassform::cli
