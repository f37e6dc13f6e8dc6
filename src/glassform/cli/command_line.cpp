#include "glassform/cli/command_line.hpp"
#include "glassform/model/casting_thickness.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/measured_file.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/report/table/row_filter.hpp"
#include "glassform/report/version.hpp"

namespace glassform {

namespace cli {

namespace {

constexpr const char* kExamples = R"(Subcommands, with an example each:
  binary      glassform binary Zr Cu --mass 10
  ternary     glassform ternary Cu Zr Al --cn 17,15
  quaternary  glassform quaternary Zr Al Cu Ni
  batch       glassform batch alloys.txt --format csv -o alloys.csv
  elements    glassform elements --format csv
  cluster     glassform cluster 0.798 1.254
  weigh       glassform weigh '(Cu50Zr50)92Al8' --mass 10
  screen      glassform screen ternary --solvent Zr --top 20
  elastic     glassform elastic Zr41.2Ti13.8Cu12.5Ni10Be22.5
  fields      glassform fields   (every output field: what --sort takes)

Without arguments glassform is the interactive calculator.
Exit status: 0 success, 1 a failed run or a batch with bad lines, 2 a usage error.)";

void write_line(OutputSink& sink, std::string_view prefix, std::string_view text) {
  std::string line(prefix);
  line.append(text);
  line.push_back('\n');
  sink.write(line);
}

void write_help(OutputSink& sink, std::string text) {
  if (text.empty() || text.back() != '\n') text.push_back('\n');
  sink.write(text);
}

// 0, or 1 with the error when standard output could not take the text (quietly for a pipe
// whose reader has gone).
int standard_output_status(const Run& run) {
  try {
    check_standard_output(run);
  } catch (const BrokenPipe&) {
    return 1;
  } catch (const RunError& e) {
    run.error(e.what());
    return 1;
  }
  return 0;
}

}  // namespace

Format Run::format() const {
  return parse_format(format_name).value_or(Format::kText);
}

void Run::warn(std::string_view text) const {
  write_line(io.err, "glassform: warning: ", text);
}

void Run::note(std::string_view text) const {
  write_line(io.err, "glassform: ", text);
}

void Run::error(std::string_view text) const {
  write_line(io.err, "glassform: error: ", text);
}

void add_output_options(CLI::App& command, Run& run) {
  command.add_option("--format", run.format_name, "Output format: text, csv, json or jsonl")
      ->check(CLI::IsMember({"text", "csv", "json", "jsonl"}))
      ->capture_default_str()
      ->type_name("FORMAT");
  command
      .add_option("-o,--output", run.output_path,
                  "Write to FILE instead of standard output (- is standard output): a file "
                  "appears complete, and only when the run succeeded; a device or FIFO is "
                  "written in place")
      ->type_name("FILE");
}

std::string escaped(std::string_view text) {
  return escaped_text(text, std::string_view::npos);
}

void add_columns_option(CLI::App& command, Run& run) {
  command
      .add_option("--columns", run.columns_text,
                  "CSV and JSON layout of the element shares: positional (x_solvent_at%, "
                  "x_solute1_at%, ...) or wide (one x_Cu_at%, w_Cu_wt% and m_Cu_g column per "
                  "element; wide=Cu,Zr,Al names the elements)")
      ->capture_default_str()
      ->type_name("LAYOUT");
}

void add_fields_option(CLI::App& command, Run& run) {
  command
      .add_option("--fields", run.fields_text,
                  "Only these CSV and JSON columns, in this order: names as glassform fields "
                  "lists them, or share columns such as x_Cu_at%")
      ->type_name("NAME[,NAME...]");
}

std::vector<Column> selected_columns(const Run& run, std::vector<Column> columns) {
  if (run.fields_text.empty()) return columns;
  if (run.format() == Format::kText) {
    throw UsageError("--fields selects CSV and JSON columns: give --format csv, json or jsonl");
  }
  std::vector<Column> out;
  std::string_view rest = run.fields_text;
  for (;;) {
    const std::size_t comma = rest.find(',');
    const std::string_view name = rest.substr(0, comma);
    const auto found = std::find_if(columns.begin(), columns.end(),
                                    [&name](const Column& c) { return c.name == name; });
    if (found == columns.end()) {
      throw UsageError("--fields: no column \"" + escaped(name) + "\" in these rows" +
                       did_you_mean(name, columns) + " (glassform fields lists the fields)");
    }
    if (std::none_of(out.begin(), out.end(), [&name](const Column& c) { return c.name == name; })) {
      out.push_back(*found);
    }
    if (comma == std::string_view::npos) return out;
    rest.remove_prefix(comma + 1);
  }
}

bool wide_layout(const Run& run) {
  return run.columns_text != "positional";
}

std::optional<std::vector<const Element*>> wide_list(const Run& run) {
  const std::string& text = run.columns_text;
  if (text == "positional" || text == "wide") return std::nullopt;
  if (text.rfind("wide=", 0) != 0) {
    throw UsageError("--columns takes positional, wide or wide=LIST, not \"" + text + "\"");
  }
  std::vector<std::string> symbols;
  std::string symbol;
  for (const char c : text.substr(5) + ",") {
    if (c != ',') {
      symbol.push_back(c);
    } else if (!symbol.empty()) {
      symbols.push_back(symbol);
      symbol.clear();
    }
  }
  if (symbols.empty()) throw UsageError("--columns wide= needs a list of element symbols");
  std::vector<const Element*> elements = resolve_symbols(run, symbols);
  std::vector<const Element*> unique;
  for (const Element* e : elements) {
    if (std::find(unique.begin(), unique.end(), e) == unique.end()) unique.push_back(e);
  }
  return unique;
}

std::vector<Column> output_columns(const Run& run, const std::vector<const Field*>& fields,
                                   std::span<const Element* const> known) {
  if (!wide_layout(run)) return positional_columns(fields);
  if (run.format() == Format::kText) {
    throw UsageError("--columns lays out CSV and JSON rows: give --format csv, json or jsonl");
  }
  if (std::optional<std::vector<const Element*>> list = wide_list(run)) {
    return wide_columns(fields, *list);
  }
  std::vector<const Element*> unique;
  for (const Element* e : known) {
    if (std::find(unique.begin(), unique.end(), e) == unique.end()) unique.push_back(e);
  }
  return wide_columns(fields, unique);
}

std::optional<double> Run::grams() const {
  if (mass_text.empty()) return std::nullopt;
  // A decimal number, as formulas write their amounts: strtod also reads hexadecimal.
  char* end = nullptr;
  const double grams = std::strtod(mass_text.c_str(), &end);
  if (end != mass_text.c_str() + mass_text.size() || !std::isfinite(grams) || !(grams > 0) ||
      mass_text.find_first_not_of("+.0123456789eE") != std::string::npos) {
    throw UsageError("--mass takes a positive number of grams, not " + quoted_text(mass_text));
  }
  return grams;
}

void add_plot_option(CLI::App& command, Run& run) {
  command
      .add_option("--plot", run.plot_path,
                  "Also draw the Blackman diagram (C44/C11 against C12/C11) as an SVG file")
      ->type_name("FILE.svg");
  command
      .add_option("--placement", run.placement,
                  "Where the plot draws a point: model (C11 = B + G, the default) or isotropic "
                  "(the isotropic solid of the same B and G, C11 = B + 4G/3); the printed numbers "
                  "stay the model's")
      ->check(CLI::IsMember({"model", "isotropic"}))
      ->type_name("model|isotropic");
}

void add_measured_option(CLI::App& command, Run& run) {
  command
      .add_option("--measured", run.measured_path,
                  "A CSV of measured moduli (a formula, composition or glass column; any of "
                  "E_GPa, G_GPa, B_GPa or K_GPa, nu) to set beside the estimates of the same "
                  "compositions (within 0.05 at.%); - reads standard input")
      ->check([](const std::string& path) {
        return path.empty() ? std::string("--measured needs a file name") : std::string();
      })
      ->type_name("FILE");
}

std::vector<const Field*> read_measured_file(Run& run, std::vector<const Field*> fields) {
  if (run.measured_path.empty()) return fields;
  std::unique_ptr<FileInput> file;
  if (run.measured_path != "-") file = std::make_unique<FileInput>(run.measured_path);
  auto read = read_measured(file ? static_cast<InputSource&>(*file) : run.io.in);
  if (const auto* fault = std::get_if<FileFault>(&read)) {
    throw RunError(fault_text(file ? run.measured_path : std::string("<stdin>"), *fault));
  }
  run.measured = std::get<std::vector<MeasuredGlass>>(std::move(read));
  return with_measured(std::move(fields));
}

BlackmanPlot Run::plot() const {
  return BlackmanPlot(placement == "isotropic" ? BlackmanPlot::Placement::kIsotropic
                                               : BlackmanPlot::Placement::kModel);
}

void write_plot(const Run& run, const BlackmanPlot& plot) {
  if (run.plot_path.empty()) return;
  if (plot.truncated()) {
    run.warn("the plot holds at most " + std::to_string(BlackmanPlot::kMaxPoints) +
             " points: it shows the first " + std::to_string(plot.points()));
  }
  write_svg(run, plot.svg());
}

void write_svg(const Run& run, const std::string& svg) {
  if (run.plot_file) {
    run.plot_file->write(svg);
  } else {
    run.io.out.write(svg);
    check_standard_output(run);
  }
}

void add_mass_option(CLI::App& command, Run& run) {
  command
      .add_option("--mass", run.mass_text,
                  "The mass of the ingot in grams: the grams of each element to weigh")
      ->type_name("GRAMS");
}

std::string spelled_option(std::string_view member) {
  if (member == "solvents") return "--solvent";
  std::string option = "--" + std::string(member);
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

void throw_request_error(const RequestError& error) {
  if (error.kind == RequestError::Kind::kFormula) throw_formula_error(error.subject, error.formula);
  throw UsageError(error_text(error, spelled_option(error.option)));
}

void throw_formula_error(std::string_view formula, const FormulaError& error) {
  std::string text = formula_error_text(formula, error) + "\n  ";
  // The formula again with a caret under the fault: escaped, and cut to a window of the text
  // around it where the formula is long.
  std::size_t from = 0;
  const std::size_t at = std::min(error.position, formula.size());
  const bool whole = formula.size() <= kMostQuoted;
  if (!whole && at > kMostQuoted / 2) {
    from = at - kMostQuoted / 2;
    while (from < at && (static_cast<unsigned char>(formula[from]) & 0xC0U) == 0x80)
      ++from;
    text.append("...");
  }
  const std::string before = escaped_text(formula.substr(from, at - from), std::string::npos);
  text.append(before);
  text.append(escaped_text(formula.substr(at), whole ? kMostQuoted : kMostQuoted / 2));
  text.append("\n  ");
  std::size_t column = from > 0 ? 3 : 0;  // the "..." shown before the window
  for (const char c : before)
    column += (static_cast<unsigned char>(c) & 0xC0U) != 0x80 ? 1 : 0;  // a character each
  text.append(column, ' ');
  text.push_back('^');
  throw UsageError(text);
}

void check_standard_output(const Run& run) {
  if (!run.io.out.failed()) return;
  if (run.io.out.error() == EPIPE) throw BrokenPipe();
  const int error = run.io.out.error();
  throw RunError(std::string("cannot write to standard output") +
                 (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
}

namespace {

// -o, --plot, the input and --measured: no two may name the same file.
void check_distinct(const Run& run) {
  const std::array<std::pair<const char*, const std::string*>, 4> paths{
      {{"-o", &run.output_path},
       {"--plot", &run.plot_path},
       {"the input", &run.input_path},
       {"--measured", &run.measured_path}}};
  for (std::size_t i = 0; i < paths.size(); ++i) {
    for (std::size_t j = i + 1; j < paths.size(); ++j) {
      const std::string& a = *paths[i].second;
      const std::string& b = *paths[j].second;
      if (a.empty() || b.empty() || a == "-" || b == "-") continue;
      if (same_file(a, b)) {
        throw UsageError(std::string(paths[i].first) + " and " + paths[j].first +
                         " name the same file, " + b + ": one would replace the other");
      }
    }
  }
}

}  // namespace

int with_output(Run& run, const std::function<int(OutputSink&)>& write) {
  if (run.output_path == "-") run.output_path.clear();
  check_distinct(run);
  if (!run.output_path.empty()) run.output_file = std::make_shared<OutputFile>(run.output_path);
  if (!run.plot_path.empty() && run.plot_path != "-") {
    run.plot_file = std::make_shared<OutputFile>(run.plot_path);
  }
  OutputSink& sink = run.output_file ? *run.output_file : run.io.out;
  int status = 0;
  try {
    if (run.format() == Format::kText) write_or_stop(sink, element_data_line(run));
    status = write(sink);
  } catch (const OutputFailed&) {
    // Reported below, as every failed write.
  }
  if (!run.output_file) {
    check_standard_output(run);
    return status;
  }
  if (run.output_file->failed()) {
    throw RunError(run.output_path + ": " + std::strerror(run.output_file->error()));
  }
  return status;
}

void commit_outputs(Run& run) {
  if (run.plot_file) run.plot_file->commit();
  if (run.output_file) run.output_file->commit();
}

}  // namespace cli

int run_command_line(std::span<const std::string> args, CliStreams& io) {
  cli::Run run(io);
  CLI::App app{
      "glassform predicts the composition with the best glass-forming ability of binary, "
      "ternary and quaternary alloys from a cluster-packing model, and estimates their "
      "elastic properties.",
      "glassform"};
  app.set_version_flag(
      "--version",
      "glassform " + std::string(version()) +
          "\nscore p_glass: " + std::string(score_model_name()) +
          "\nspread p_glass_sd: " + std::string(score_spread_name()) +
          "\nlabelled data: " + std::string(labelled_data_name()) +
          "\ncasting thickness dmax_mm: " + std::string(casting_model_name()),
      "Print the name, the version, the glass-formation score's model and its labelled data, "
      "and the casting-thickness model");
  app.require_subcommand(1);
  app.footer(cli::kExamples);
  cli::add_element_data_options(app, run);
  cli::register_binary(app, run);
  cli::register_ternary(app, run);
  cli::register_quaternary(app, run);
  cli::register_batch(app, run);
  cli::register_elements(app, run);
  cli::register_cluster(app, run);
  cli::register_weigh(app, run);
  cli::register_screen(app, run);
  cli::register_elastic(app, run);
  cli::register_assess(app, run);
  cli::register_map(app, run);
  cli::register_fields(app, run);
  cli::register_chart(app, run);

  const auto is_command = [&run](const std::string& name) {
    return std::any_of(run.commands.begin(), run.commands.end(),
                       [&name](const auto& c) { return c.first->get_name() == name; });
  };
  if (!args.empty() && !args[0].empty() && args[0][0] != '-' && !is_command(args[0])) {
    run.error("unknown subcommand \"" + cli::escaped(args[0].substr(0, kMostQuoted)) +
              "\" (glassform --help lists them)");
    return cli::kUsageStatus;
  }
  // An option given an empty value (--sort=) or a list of nothing (--exclude ,) would make the
  // parser take the next argument as its value, with a message about that one.
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 3 && a.starts_with("--") && a.back() == '=' && a.find('=') + 1 == a.size()) {
      run.error(escaped_text(a.substr(0, a.size() - 1)) + " needs a value after the =");
      return cli::kUsageStatus;
    }
    const std::size_t equals = a.find('=');
    const std::string value = equals != std::string::npos && a.starts_with("--")
                                  ? a.substr(equals + 1)
                                  : (a.starts_with("-") && i + 1 < args.size() ? args[i + 1] : "");
    if (!value.empty() && value.find_first_not_of(", ") == std::string::npos) {
      run.error(cli::escaped(a.substr(0, equals)) + " takes a list separated by commas, not \"" +
                cli::escaped(value) + "\"");
      return cli::kUsageStatus;
    }
  }
  std::vector<const char*> argv{"glassform"};
  for (const std::string& a : args)
    argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    cli::write_help(io.out, app.help());
    return cli::standard_output_status(run);
  } catch (const CLI::CallForAllHelp&) {
    cli::write_help(io.out, app.help("", CLI::AppFormatMode::All));
    return cli::standard_output_status(run);
  } catch (const CLI::CallForVersion& e) {
    // --version with --elements or --mixing-enthalpy names their data too.
    for (std::size_t i = 0; i < args.size(); ++i) {
      for (auto [name, path] : {std::pair{"--elements", &run.elements_path},
                                std::pair{"--mixing-enthalpy", &run.mixing_path}}) {
        const std::string prefix = std::string(name) + "=";
        if (args[i] == name && i + 1 < args.size()) *path = args[i + 1];
        if (args[i].starts_with(prefix)) *path = args[i].substr(prefix.size());
      }
    }
    try {
      cli::load_user_element_data(run);
    } catch (const cli::UsageError& error) {
      run.error(error.what());
      return cli::kUsageStatus;
    }
    std::string text = e.what();
    if (run.user_data) text += "\nelement data: " + run.user_data->digest;
    cli::write_line(io.out, "", text);
    return cli::standard_output_status(run);
  } catch (const CLI::ParseError& e) {
    // The parser's messages quote the arguments as they came: escaped like every message.
    run.error(cli::escaped(e.what()));
    return cli::kUsageStatus;
  }

  try {
    for (auto& [command, action] : run.commands) {
      if (!command->parsed()) continue;
      const std::string& name = command->get_name();
      if ((name == "cluster" || name == "fields" || name == "chart") &&
          (!run.elements_path.empty() || !run.mixing_path.empty())) {
        throw cli::UsageError(name +
                              " reads no element data: --elements and --mixing-enthalpy "
                              "do not apply to it");
      }
      cli::load_user_element_data(run);
      const int status = action(run);
      cli::commit_outputs(run);
      return status;
    }
  } catch (const cli::UsageError& e) {
    run.error(e.what());
    return cli::kUsageStatus;
  } catch (const cli::RunError& e) {
    run.error(e.what());
    return 1;
  } catch (const cli::BrokenPipe&) {
    return 1;
  }
  return cli::kUsageStatus;
}

}  // namespace glassform
