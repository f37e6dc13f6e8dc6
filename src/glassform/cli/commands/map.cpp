// `glassform map A B C`: every composition of three elements on a grid, each assessed as
// `assess` does it, and a ternary heat map of one field.
#include <memory>
#include <optional>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/request/composition_map.hpp"

namespace glassform::cli {

namespace {

struct Arguments {
  std::vector<std::string> symbols;
  std::string step = "1";
  std::string field = "p_glass";
  std::string known = "data";
  std::string range;
  std::string with;
};

}  // namespace

void register_map(CLI::App& app, Run& run) {
  auto args = std::make_shared<Arguments>();
  args->symbols.resize(3);
  CLI::App* command = app.add_subcommand(
      "map", "Every composition of three elements on a grid, assessed, and its ternary heat map");
  for (std::size_t i = 0; i < 3; ++i) {
    command
        ->add_option(std::string(1, static_cast<char>('A' + i)), args->symbols[i],
                     "An element symbol")
        ->required()
        ->type_name("SYMBOL");
  }
  command->add_option("--step", args->step, "The grid step in at.%, dividing 100 (default 1)")
      ->type_name("S");
  command
      ->add_option("--field", args->field,
                   "The numeric field the plot draws (default p_glass; glassform fields)")
      ->type_name("NAME");
  command
      ->add_option("--known", args->known,
                   "none: draw no known compositions; FILE: yours, a CSV with a formula column "
                   "and optionally a label column (glass or crystalline; AM, BMG, Ribbon, AC, "
                   "CR); default: the labelled data's glasses and non-glasses of these elements")
      ->type_name("none|FILE");
  command
      ->add_option("--range", args->range,
                   "Only part of the triangle: each named element's share from LOW to HIGH at.% "
                   "(inclusive, multiples of the step), the plot enlarged to it")
      ->type_name("A=LOW..HIGH[,B=LOW..HIGH]");
  command
      ->add_option("--with", args->with,
                   "Slices at shares of a fourth element D (multiples of the step below 100), "
                   "drawn in a row sharing one colour scale; the table holds every slice's rows")
      ->type_name("D=SHARE[,SHARE...]");
  command->add_option("--plot", run.plot_path, "The heat map as SVG (- for standard output)")
      ->type_name("FILE.svg");
  add_output_options(*command, run);
  add_fields_option(*command, run);
  add_element_data_options(*command, run);
  command->footer(
      "Rows run A's share descending, then B's descending (the first row is pure A; with --with, "
      "slice by slice): 5,151 "
      "compositions at step 1, 231 at step 5. Each row holds every field of assess, with the "
      "shares x_A_at%, x_B_at%, x_C_at% first. The plot colours the field in viridis, yellow "
      "where it is better (for p_glass, dmax_mm and delta_pct higher, for dH_mix_kJ/mol, "
      "mismatch, p_glass_sd and the distances lower) and marks the best cell; glasses of the "
      "labelled data are white circles, non-glasses crosses.\n\nExamples:\n"
      "  glassform map Cu Zr Al --plot cu-zr-al.svg --format csv -o cu-zr-al.csv\n"
      "  glassform map Cu Zr Al --step 5 --field dH_mix_kJ/mol --plot h.svg\n"
      "  glassform map Cu Zr Al --range Cu=30..60,Zr=30..60 --plot zoom.svg\n"
      "  glassform map Cu Zr Al --with Ni=0,5,10 --step 2.5 --plot slices.svg");
  run.commands.emplace_back(command, [args](Run& r) {
    MapRequest request{answered(map_elements(args->symbols, r.data_pointer())),
                       args->step,
                       args->field,
                       args->known != "none",
                       r.data_pointer(),
                       std::nullopt,
                       {},
                       args->range,
                       args->with};
    if (args->known != "data" && args->known != "none") {
      request.known_file = read_whole(args->known).bytes;
      request.known_name = args->known;
    }
    const MapPlan plan = answered(answer(request));
    std::optional<MapDrawing> drawing;
    if (!r.plot_path.empty()) drawing.emplace(request, plan);
    const int status = with_output(r, [&](OutputSink& sink) {
      AssessmentWriter writer(sink, r.format(), AssessmentScope::kAll,
                              selected_columns(r, map_columns(request, plan)));
      each_map_composition(request, plan, [&](const Assessment& a) {
        writer.add(a);
        if (drawing) drawing->add(a);
      });
      writer.finish();
      return 0;
    });
    if (drawing) write_svg(r, drawing->svg());
    return status;
  });
}

}  // namespace glassform::cli
