#include <climits>
#include <iterator>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform::cli {

std::vector<const Element*> resolve_symbols(const Run& run, std::span<const std::string> symbols) {
  std::vector<const Element*> elements;
  for (const std::string& s : symbols) {
    const Element* e = run.data().find(s);
    if (e == nullptr) throw UsageError(unknown_symbol_text(s));
    elements.push_back(e);
  }
  return elements;
}

std::optional<long long> parse_decimal(std::string_view text) {
  std::size_t i = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
  if (i == text.size() || text.size() > 19) return std::nullopt;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return text.starts_with('-') ? -value : value;
}

void warn_repeated_elements(const Run& run, std::span<const Element* const> elements,
                            std::string_view where) {
  for (std::size_t i = 0; i < elements.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (elements[j] != elements[i]) continue;
      run.warn(std::string(where) + std::string(elements[i]->symbol) +
               " is named more than once in the alloy: each position is computed as given");
      break;
    }
  }
}

AlloyResult evaluate_alloy(const Run& run, std::span<const Element* const> elements,
                           std::span<const int> chosen) {
  std::array<std::optional<int>, 3> given{};
  for (std::size_t i = 0; i < chosen.size() && i < given.size(); ++i)
    given[i] = chosen[i];
  Answer<AlloyResult> alloy = alloy_of(
      elements, std::span(given).first(std::min(chosen.size(), given.size())), run.data_pointer());
  return answered(std::move(alloy));
}

void register_alloy_command(CLI::App& app, Run& run, AlloyKind kind, const std::string& summary,
                            const std::string& example) {
  struct Arguments {
    std::vector<std::string> symbols;
    std::vector<std::string> chosen;  // --cn as given: read as decimal whole numbers
  };
  const std::size_t count = element_count(kind);
  auto args = std::make_shared<Arguments>();
  args->symbols.resize(count);
  CLI::App* command = app.add_subcommand(std::string(kind_name(kind)), summary);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string role(role_name(kind, i));
    const std::string what = i == 0                       ? "The solvent's symbol"
                             : kind == AlloyKind::kBinary ? "The solute's symbol"
                                                          : "The " + role + " solute's symbol";
    command->add_option(role, args->symbols[i], what)->required()->type_name("SYMBOL");
  }
  static const std::array<const char*, 3> kCnNames{"K", "K1,K2", "K1,K2,K3"};
  command
      ->add_option("--cn", args->chosen,
                   "The integer coordination numbers, one per solute, in solute order (default: "
                   "the nearest to each computed coordination number)")
      ->delimiter(',')
      ->type_name(kCnNames[count - 2]);
  add_output_options(*command, run);
  add_columns_option(*command, run);
  add_fields_option(*command, run);
  add_mass_option(*command, run);
  add_plot_option(*command, run);
  add_measured_option(*command, run);
  add_element_data_options(*command, run);
  command->footer("Example:\n  " + example);
  run.commands.emplace_back(command, [args, count](Run& r) {
    const std::vector<const Element*> elements = resolve_symbols(r, args->symbols);
    std::vector<int> chosen;
    for (const std::string& text : args->chosen) {
      const std::optional<long long> k = parse_decimal(text);
      if (!k || *k < INT_MIN || *k > INT_MAX) {
        throw UsageError("--cn takes whole numbers separated by commas, one per solute, not " +
                         quoted_text(text));
      }
      chosen.push_back(static_cast<int>(*k));
    }
    if (!args->chosen.empty()) {
      if (auto why = chosen_problem(chosen, chosen.size(), count - 1)) throw UsageError(*why);
    }
    const std::optional<double> grams = r.grams();
    warn_repeated_elements(r, elements, "");
    const AlloyResult alloy = evaluate_alloy(r, elements, chosen);
    std::vector<Column> columns = selected_columns(
        r, output_columns(r, read_measured_file(r, alloy_fields()), alloy.elements()));
    for (const std::string& w : command_line_warnings(alloy))
      r.warn(w);
    const int status = with_output(r, [&](OutputSink& sink) {
      AlloyWriter writer(sink, r.format(), grams, std::move(columns));
      writer.set_measured(r.measured);
      writer.add(alloy);
      writer.finish();
      return 0;
    });
    BlackmanPlot plot = r.plot();
    plot.set_measured(r.measured);
    plot.add_alloy(alloy);
    write_plot(r, plot);
    return status;
  });
}

}  // namespace glassform::cli
