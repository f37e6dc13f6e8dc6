#include "glassform/cli/cli_internal.hpp"
#include "glassform/report/table/tables.hpp"

namespace glassform::cli {

void register_fields(CLI::App& app, Run& run) {
  CLI::App* command = app.add_subcommand(
      "fields", "The output fields: every CSV column and JSON key, its unit and meaning");
  add_output_options(*command, run);
  auto all = std::make_shared<bool>(false);
  command->add_flag("--all", *all,
                    "Also the columns of the elements, cluster, weigh and fields tables");
  command->footer(
      "Every numeric field is a key for screen --sort. The text format is a Markdown table.\n\n"
      "Example:\n  glassform fields --format csv");
  run.commands.emplace_back(command, [all](Run& r) {
    return with_output(r, [&r, all](OutputSink& sink) {
      write_field_table(sink, r.format(), *all);
      return 0;
    });
  });
}

}  // namespace glassform::cli
