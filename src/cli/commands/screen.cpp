#include <algorithm>
#include <chrono>
#include <memory>

#include "cli/cli_internal.hpp"
#include "io/format.hpp"
#include "model/screening.hpp"
#include "report/fields.hpp"
#include "report/row_filter.hpp"
#include "report/row_writer.hpp"

namespace glassform::cli {

namespace {

struct Arguments {
  std::string kind;
  std::vector<std::string> solvents;
  std::vector<std::string> solutes{"all"};
  bool any_order = false;
  std::string sort;
  std::string top = "100";
  bool all = false;
  bool require_elastic = false;
  std::vector<std::string> where;
};

// The elements of a candidate list, each once, in the order first named.
std::vector<const Element*> elements_of(const std::vector<std::string>& symbols) {
  if (symbols.size() == 1 && symbols[0] == "all") return all_elements();
  std::vector<const Element*> unique;
  for (const Element* e : resolve_symbols(symbols)) {
    if (std::find(unique.begin(), unique.end(), e) == unique.end()) unique.push_back(e);
  }
  return unique;
}

// The most rows --top keeps: each kept row costs about 1.25 KB, so 100,000 take about 125 MB.
constexpr long long kMostTop = 100000;

std::size_t top_count(const std::string& text) {
  const std::optional<long long> n = parse_decimal(text);
  if (!n || *n < 1) {
    throw UsageError("--top takes a whole number of at least 1, not \"" + escaped(text) + "\"");
  }
  if (*n > kMostTop) {
    throw UsageError("--top keeps at most " + std::to_string(kMostTop) +
                     " rows in memory; --all writes every row as it comes");
  }
  return static_cast<std::size_t>(*n);
}

SortOrder sort_order(const std::string& key) {
  SortOrder order;
  if (key.empty()) return order;
  const bool descending = key[0] == '-';
  const std::string name = descending ? key.substr(1) : key;
  const std::vector<const Field*> fields = alloy_fields();
  const auto known = std::find_if(fields.begin(), fields.end(), [&name](const Field* f) {
    return f->name == name && f->kind != FieldKind::kText;
  });
  if (known == fields.end()) {
    std::string keys;
    for (const Field* f : fields) {
      if (f->kind == FieldKind::kText) continue;
      if (!keys.empty()) keys.append(", ");
      keys.append(f->name);
    }
    throw UsageError("unknown sort key \"" + name +
                     "\"; the keys are the numeric fields (glassform fields): " + keys);
  }
  const Field* field = *known;
  order.key = [field](const AlloyResult& alloy, const Composition& c) {
    return numeric_value(field->value(Row::of(alloy, c)));
  };
  order.descending = descending;
  return order;
}

// The rows that meet every --where condition; nothing without one.
std::function<bool(const AlloyResult&, const Composition&)> where_filter(
    const std::vector<std::string>& texts) {
  std::vector<RowCondition> conditions;
  for (const std::string& text : texts) {
    auto parsed = parse_condition(text);
    if (const std::string* why = std::get_if<std::string>(&parsed)) {
      throw UsageError("--where \"" + escaped(text) + "\": " + *why);
    }
    conditions.push_back(std::get<RowCondition>(std::move(parsed)));
  }
  if (conditions.empty()) return {};
  return [conditions = std::move(conditions)](const AlloyResult& alloy, const Composition& c) {
    const Row row = Row::of(alloy, c);
    return std::all_of(conditions.begin(), conditions.end(),
                       [&row](const RowCondition& k) { return meets(k, row); });
  };
}

// One line on standard error, redrawn in place, for screens that take more than about half a
// second; erased at the end. Only on a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(const Run& run) : run_(run), start_(std::chrono::steady_clock::now()) {}
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine() {
    if (shown_) run_.io.err.write("\r\x1b[K");
  }

  void update(std::uint64_t done, std::uint64_t total) {
    if (!run_.io.err_is_terminal || done == total) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // Nothing for a screen of half a second or less, and at most ten redraws a second.
    if (seconds < 0.5 || done == 0 || seconds < last_draw_ + 0.1) return;
    last_draw_ = seconds;
    const double rate = static_cast<double>(done) / seconds;
    run_.io.err.write(
        fmt::format("\rscreened {} of {} alloys, {:.0f} alloys/s, {:.1f} s left\x1b[K", done, total,
                    rate, static_cast<double>(total - done) / rate));
    shown_ = true;
  }

 private:
  const Run& run_;
  std::chrono::steady_clock::time_point start_;
  double last_draw_ = 0;
  bool shown_ = false;
};

}  // namespace

void register_screen(CLI::App& app, Run& run) {
  auto args = std::make_shared<Arguments>();
  CLI::App* command =
      app.add_subcommand("screen", "Rank every candidate alloy of one or more solvents");
  command->add_option("kind", args->kind, "binary, ternary or quaternary")
      ->required()
      ->check(CLI::IsMember({"binary", "ternary", "quaternary"}))
      ->type_name("KIND");
  command->add_option("--solvent", args->solvents, "The solvents, or all")
      ->required()
      ->delimiter(',')
      ->type_name("X[,Y...]|all");
  command->add_option("--solutes", args->solutes, "The candidate solutes (default: all)")
      ->delimiter(',')
      ->type_name("LIST|all");
  command->add_flag("--any-order", args->any_order,
                    "Every ordered choice of solutes, not only decreasing radius");
  command
      ->add_option(
          "--sort", args->sort,
          "A numeric field to rank by (glassform fields lists them); -KEY ranks descending (write --sort=-KEY)")
      ->type_name("KEY");
  CLI::Option* top =
      command
          ->add_option("--top", args->top,
                       "The N best rows (default 100, at most 100000; --all for every row)")
          ->type_name("N");
  CLI::Option* all =
      command->add_flag("--all", args->all, "Every row, unsorted, in generation order");
  top->excludes(all);
  command->add_flag("--require-elastic", args->require_elastic,
                    "Drop rows whose elastic constants cannot be computed");
  command
      ->add_option("--where", args->where,
                   "Keep the rows that meet a condition NAME OP VALUE on a field, OP one of < <= "
                   "> >= = != (e.g. 'dH_mix_kJ/mol<-10'); several must all hold; a row without "
                   "the field's value fails")
      ->type_name("CONDITION");
  add_output_options(*command, run);
  add_columns_option(*command, run);
  add_plot_option(*command, run);
  command->footer(
      "The integer of each cluster is the one nearest its computed coordination number. The "
      "default order is the mismatch ascending (the clusters closest to ideal packing first), "
      "then the packing efficiency descending, then the symbols; rows without the key's value "
      "go last.\n\nExamples:\n  glassform screen binary --solvent Zr --top 10\n"
      "  glassform screen ternary --solvent all --sort=-packing_% --format csv -o top.csv\n"
      "  glassform screen ternary --solvent Cu --where 'dH_mix_kJ/mol<-10' --sort=-delta_pct");
  run.commands.emplace_back(command, [args](Run& r) {
    ScreenOptions options;
    options.kind = args->kind == "binary"    ? AlloyKind::kBinary
                   : args->kind == "ternary" ? AlloyKind::kTernary
                                             : AlloyKind::kQuaternary;
    options.solvents = elements_of(args->solvents);
    options.solutes = elements_of(args->solutes);
    options.any_order = args->any_order;
    options.require_elastic = args->require_elastic;
    options.keep = where_filter(args->where);
    if (args->all && !args->sort.empty()) {
      throw UsageError("--sort ranks rows and --all writes them unsorted: give one of them");
    }
    if (args->all && !r.plot_path.empty()) {
      throw UsageError("--plot draws the ranked rows and --all writes every row: give one of them");
    }
    const SortOrder order = sort_order(args->sort);
    std::vector<const Element*> candidates = options.solvents;
    candidates.insert(candidates.end(), options.solutes.begin(), options.solutes.end());
    std::sort(candidates.begin(), candidates.end());  // table order: the table is one array
    std::vector<Column> columns = output_columns(r, alloy_fields(), candidates);
    const std::size_t top_rows = top_count(args->top);
    BlackmanPlot plot = r.plot();
    const int status = with_output(r, [&](OutputSink& sink) {
      ProgressLine line(r);
      const ScreenProgress progress = [&line](std::uint64_t done, std::uint64_t total) {
        line.update(done, total);
      };
      RowWriter writer(sink, r.format(), args->all, std::move(columns));
      if (args->all) {
        screen_each(
            options,
            [&writer](const AlloyResult& alloy, const Composition& c) { writer.add(alloy, c); },
            progress);
      } else {
        for (const RankedRow& row : screen_top(options, order, top_rows, progress)) {
          const Composition& c = row.alloy.compositions()[row.composition];
          writer.add(row.alloy, c);
          plot.add_row(row.alloy, c);
        }
      }
      writer.finish();
      if (writer.rows() == 0) r.warn("no candidate alloy passed the screen's filters");
      return 0;
    });
    write_plot(r, plot);
    return status;
  });
}

}  // namespace glassform::cli
