#include "glassform/cli/cli_internal.hpp"
#include "glassform/report/table/tables.hpp"

namespace glassform::cli {

void register_elements(CLI::App& app, Run& run) {
  CLI::App* command = app.add_subcommand(
      "elements", "The built-in element table: symbols, radii (nm) and moduli (GPa)");
  add_output_options(*command, run);
  add_element_data_options(*command, run);
  command->footer(
      "With --elements or --mixing-enthalpy, the table with the user's values. Its CSV is "
      "accepted back by --elements unchanged.\n\nExample:\n  glassform elements --format csv");
  run.commands.emplace_back(command, [](Run& r) {
    return with_output(r, [&r](OutputSink& sink) {
      write_element_table(sink, r.format(), r.data());
      return 0;
    });
  });
}

}  // namespace glassform::cli
