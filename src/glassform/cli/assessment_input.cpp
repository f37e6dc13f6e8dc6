// What `assess` and `elastic` share: compositions from the arguments or from a file, one per
// line, each assessed and written as it comes.
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/text/warnings.hpp"
#include "glassform/report/text/weighing_report.hpp"

namespace glassform::cli {

namespace {

struct Arguments {
  std::vector<std::string> formulas;
  std::string file;
  bool weight = false;
};

// The composition of a formula in at.%, or why there is none.
struct ReadFormula {
  std::vector<FormulaPart> parts;
  std::optional<FormulaError> error;
};

ReadFormula read_formula(const Run& run, std::string_view text, bool amounts_are_weight) {
  Answer<std::vector<FormulaPart>> parts =
      composition_of(AssessRequest{std::string(text), run.data_pointer(), amounts_are_weight});
  if (auto* why = std::get_if<RequestError>(&parts)) return {{}, std::move(why->formula)};
  return {std::get<std::vector<FormulaPart>>(std::move(parts)), std::nullopt};
}

// A line of a composition file: blank lines and lines starting with # are skipped; a label may
// end in a colon before the formula.
struct FormulaLine {
  bool skip = false;
  std::optional<std::string_view> label;
  std::string_view formula;
};

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

FormulaLine parse_formula_line(std::string_view line) {
  FormulaLine out;
  line = trimmed(line);
  if (line.empty() || line.front() == '#') {
    out.skip = true;
    return out;
  }
  if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
    out.label = trimmed(line.substr(0, colon));
    line = trimmed(line.substr(colon + 1));
  }
  out.formula = line;
  return out;
}

void warn_of_criteria(const Run& run, const Assessment& a, std::string_view where) {
  for (const std::string& w : criteria_warnings(a.criteria))
    run.warn(std::string(where) + w);
}

}  // namespace

void register_assessment_command(CLI::App& app, Run& run, AssessmentScope scope) {
  auto args = std::make_shared<Arguments>();
  const bool all = scope == AssessmentScope::kAll;
  CLI::App* command =
      all ? app.add_subcommand("assess",
                               "The glass-forming criteria, the elastic estimate and the nearest "
                               "model composition of any composition")
          : app.add_subcommand(
                "elastic",
                "The elastic estimate of any composition, by the reports' rule of mixtures");
  command->add_option("formula", args->formulas, "The compositions, e.g. Cu46Zr46Al8")
      ->type_name("FORMULA...");
  command
      ->add_option("--file", args->file,
                   "One composition a line (LABEL: allowed), from a file or - for standard input")
      ->type_name("FILE|-");
  command->add_flag("--wt", args->weight, "Read the amounts as weight percent, not atomic");
  add_output_options(*command, run);
  add_fields_option(*command, run);
  add_plot_option(*command, run);
  add_measured_option(*command, run);
  add_element_data_options(*command, run);
  const std::string written_as =
      "Compositions of 1 to 16 elements, written as for weigh: Cu50Zr50, "
      "Zr41.2Ti13.8Cu12.5Ni10Be22.5, (Cu50Zr50)92Al8; the amounts are normalised to 100 and an "
      "element with amount 0 is left out. With --file, blank lines and lines starting with # are "
      "skipped; a bad line is reported with its line number and skipped, and the exit status is "
      "then 1.";
  const std::string origin_columns =
      all ? " CSV and JSON rows carry the line number (line), or the argument's position, and "
            "the label (label)."
          : " With --file or several formulas, CSV and JSON rows end with the line number (line), "
            "or the argument's position, and the label (label).";
  if (all) {
    command->footer(
        written_as + origin_columns +
        "\n\nFor each: the atomic and weight percent; the size mismatch delta, the mixing "
        "enthalpy and entropy, the mean melting point, Omega, the extreme pair enthalpies and "
        "Inoue's three rules; the nearest composition of the cluster model for the same elements "
        "(2 to 4 of them) and its distance; the elastic estimate.\n\nExamples:\n"
        "  glassform assess Cu46Zr46Al8 Zr41.2Ti13.8Cu12.5Ni10Be22.5\n"
        "  glassform assess --file alloys.txt --format csv -o criteria.csv");
  } else {
    command->footer(
        written_as + origin_columns +
        "\n\nE, G and B mix the elements' moduli by atomic percentage; C11 = B + G, C12 = (3B - "
        "C11)/2, C44 = G, m = 12 (B/G + 0.67).\n\nExample:\n"
        "  glassform elastic Zr41.2Ti13.8Cu12.5Ni10Be22.5");
  }
  run.commands.emplace_back(command, [args, scope](Run& r) {
    const bool from_file = !args->file.empty();
    if (from_file == !args->formulas.empty()) {
      throw UsageError(from_file ? "give the compositions as arguments or with --file, not both"
                                 : "give at least one composition, or --file FILE");
    }
    // The arguments are read before any output: a bad one is a usage error.
    std::vector<std::vector<FormulaPart>> given;
    for (const std::string& text : args->formulas) {
      ReadFormula read = read_formula(r, text, args->weight);
      if (read.error) throw_formula_error(text, *read.error);
      given.push_back(std::move(read.parts));
    }
    std::vector<const Field*> fields =
        scope == AssessmentScope::kAll ? assess_fields() : formula_fields();
    if (scope == AssessmentScope::kElastic && (from_file || given.size() > 1)) {
      fields.push_back(find_field("line"));
      fields.push_back(find_field("label"));
    }
    const bool from_stdin = args->file == "-";
    if (from_stdin && r.measured_path == "-") {
      throw UsageError("--file - and --measured - would both read standard input: give one a file");
    }
    fields = read_measured_file(r, std::move(fields));
    std::unique_ptr<FileInput> file;
    if (from_file && !from_stdin) {
      file = std::make_unique<FileInput>(args->file);
      r.input_path = args->file;
    }
    BlackmanPlot plot = r.plot();
    plot.set_measured(r.measured);
    const int status = with_output(r, [&](OutputSink& sink) {
      AssessmentWriter writer(sink, r.format(), scope,
                              selected_columns(r, positional_columns(fields)));
      writer.set_measured(r.measured);
      auto write = [&](const Assessment& a, const Origin& origin, std::string_view where) {
        if (scope == AssessmentScope::kAll) warn_of_criteria(r, a, where);
        writer.add(a, origin);
        if (!r.plot_path.empty()) {
          plot.add_composition(
              origin.label ? std::string(*origin.label) : short_formula_text(a.parts), a.parts,
              a.elastic);
        }
      };
      if (!from_file) {
        for (std::size_t i = 0; i < given.size(); ++i)
          write(assess(given[i], r.data_pointer()), Origin{i + 1, std::nullopt}, "");
        writer.finish();
        return 0;
      }
      InputSource& input = from_stdin ? r.io.in : *file;
      const std::string name = from_stdin ? "<stdin>" : args->file;
      const bool good = each_line(
          r, input, name, [&](std::string_view line, std::size_t number, const std::string& where) {
            const FormulaLine parsed = parse_formula_line(line);
            if (parsed.skip) return true;
            const ReadFormula read = read_formula(r, parsed.formula, args->weight);
            if (read.error) {
              r.error(where + formula_error_text(parsed.formula, *read.error));
              return false;
            }
            write(assess(read.parts, r.data_pointer()), Origin{number, parsed.label}, where);
            return true;
          });
      writer.finish();
      return good ? 0 : 1;
    });
    write_plot(r, plot);
    return status;
  });
}

}  // namespace glassform::cli
