#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/report/text/weighing_report.hpp"

namespace glassform::cli {

void register_weigh(CLI::App& app, Run& run) {
  struct Arguments {
    std::string formula;
    bool weight = false;
  };
  auto args = std::make_shared<Arguments>();
  CLI::App* command = app.add_subcommand(
      "weigh", "Atomic and weight percent, and the grams to weigh, of any composition");
  command->add_option("formula", args->formula, "The composition, e.g. Cu64Zr36")
      ->required()
      ->type_name("FORMULA");
  command->add_flag("--wt", args->weight, "Read the amounts as weight percent, not atomic");
  add_mass_option(*command, run);
  add_output_options(*command, run);
  add_element_data_options(*command, run);
  command->footer(
      "The composition is written as chemists do: Cu64Zr36, Zr41.2Ti13.8Cu12.5Ni10Be22.5, "
      "(Cu50Zr50)92Al8 (one level of parentheses; the amounts inside are fractions of the "
      "group), CuZr2 (a missing amount means 1). The amounts are normalised to 100; an element "
      "named twice is summed.\n\nExamples:\n  glassform weigh Cu64Zr36 --mass 10\n"
      "  glassform weigh Cu55.3Zr44.7 --wt");
  run.commands.emplace_back(command, [args](Run& r) {
    const Weighing weighing =
        answered(answer(WeighRequest{args->formula, args->weight, r.grams(), r.data_pointer()}));
    return with_output(r, [&](OutputSink& sink) {
      write_weighing(sink, r.format(), weighing);
      return 0;
    });
  });
}

}  // namespace glassform::cli
