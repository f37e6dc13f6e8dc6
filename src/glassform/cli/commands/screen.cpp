#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/element_sets.hpp"
#include "glassform/model/screening.hpp"
#include "glassform/report/request/composition_search.hpp"
#include "glassform/report/request/screen_setup.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_writer.hpp"

namespace glassform::cli {

namespace {

struct Arguments {
  std::string kind;
  std::string around;
  std::string radius = "5";
  std::string step = "1";
  std::string grid;
  std::string per_system = "1";
  std::vector<std::string> solvents;
  std::vector<std::string> solutes{"all"};
  bool any_order = false;
  std::string sort;
  std::string top = "100";
  bool all = false;
  bool require_elastic = false;
  std::vector<std::string> where;
  std::vector<std::string> exclude;
  bool keep_unphysical = false;
  bool best_variant = false;
};

// The rows --top keeps: a whole number from 1, at most what memory allows.
long long top_count(const std::string& text) {
  const std::optional<long long> n = parse_decimal(text);
  if (!n || *n < 1) {
    throw UsageError("--top takes a whole number of at least 1, not \"" + escaped(text) + "\"");
  }
  if (*n > kMostScreenTop) {
    throw UsageError("--top keeps at most " + std::to_string(kMostScreenTop) +
                     " rows in memory; --all writes every row as it comes");
  }
  return *n;
}

// An amount in at.% of --radius or --step, as written; its range is the request's to check.
double amount(const std::string& text, std::string_view option) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) {
    throw UsageError(fmt::format("{} takes an amount in at.% above 0 and at most 100, not {}",
                                 option, quoted_text(text)));
  }
  return value;
}

// Warns for each symbol named and kept though the exclusion leaves it out of all.
void warn_kept(const Run& run, const std::vector<KeptExclusion>& kept,
               const std::string& excluded) {
  for (const KeptExclusion& k : kept) {
    run.warn(fmt::format("{} is named in {} and kept, though --exclude {} leaves it out of all",
                         k.element->symbol, spelled_option(k.option), excluded));
  }
}

// `screen ternary|quaternary --grid S`: every system's grid compositions, assessed; each
// system's best ones ranked, or with --all every composition as it comes.
int screen_grid(Run& r, const Arguments& args) {
  const std::optional<long long> per_system = parse_decimal(args.per_system);
  if (!per_system) {
    throw UsageError("--per-system takes a whole number of at least 1, not \"" +
                     escaped(args.per_system) + "\"");
  }
  PlannedGrid planned = answered(answer(GridScreenRequest{.kind = args.kind,
                                                          .solvents = args.solvents,
                                                          .solutes = args.solutes,
                                                          .exclude = args.exclude,
                                                          .grid = args.grid,
                                                          .per_system = *per_system,
                                                          .sort = args.sort,
                                                          .top = top_count(args.top),
                                                          .where = args.where,
                                                          .data = r.data_pointer()}));
  warn_kept(r, planned.kept, planned.excluded);
  const GridRequest& request = planned.search;
  const std::vector<const Element*>& candidates = planned.candidates;
  std::vector<Column> columns;
  if (wide_layout(r)) {
    if (r.format() == Format::kText) {
      throw UsageError("--columns lays out CSV and JSON rows: give --format csv, json or jsonl");
    }
    columns = grid_columns(wide_list(r).value_or(candidates), true);
  } else {
    columns = grid_columns({}, false);
  }
  BlackmanPlot plot = r.plot();
  const int status = with_output(r, [&](OutputSink& sink) {
    ProgressLine line(r, "systems");
    const SearchProgress progress = [&line](std::uint64_t done, std::uint64_t total) {
      line.update(done, total);
    };
    AssessmentWriter writer(sink, r.format(), AssessmentScope::kAll,
                            selected_columns(r, std::move(columns)));
    std::size_t rows = 0;
    const auto add = [&](const Assessment& a) {
      writer.add(a);
      // Only a plot asked for keeps its points: --all may write millions of rows.
      if (!r.plot_path.empty()) plot.add_composition(formula_text(a.parts), a.parts, a.elastic);
      ++rows;
    };
    if (args.all) {
      grid_each(request, add, progress);
    } else {
      for (const Assessment& a : grid_top(request, progress))
        add(a);
    }
    writer.finish();
    if (rows == 0) r.warn("no composition passed the screen's filters");
    return 0;
  });
  write_plot(r, plot);
  return status;
}

}  // namespace

void register_screen(CLI::App& app, Run& run) {
  auto args = std::make_shared<Arguments>();
  CLI::App* command =
      app.add_subcommand("screen", "Rank every candidate alloy of one or more solvents");
  command->add_option("kind", args->kind, "binary, ternary or quaternary")
      ->check(CLI::IsMember({"binary", "ternary", "quaternary"}))
      ->type_name("KIND");
  command->add_option("--solvent", args->solvents, "The solvents, or all (with a kind)")
      ->delimiter(',')
      ->type_name("X[,Y...]|all");
  command
      ->add_option("--around", args->around,
                   "Instead of a kind: every composition of FORMULA's elements whose shares "
                   "differ from its own by multiples of --step, within --radius in each element "
                   "(the formula itself among them), each assessed as assess does it")
      ->type_name("FORMULA");
  command->add_option("--radius", args->radius, "With --around: at.% either side (default 5)")
      ->type_name("R");
  command->add_option("--step", args->step, "With --around: the step in at.% (default 1)")
      ->type_name("S");
  command
      ->add_option("--grid", args->grid,
                   "With ternary or quaternary: instead of the cluster model's compositions, "
                   "every composition of each candidate system whose shares are multiples of S "
                   "at.% (S divides 100), each at least S, the solvent's share at least every "
                   "other's; each assessed as assess does it")
      ->type_name("S");
  command
      ->add_option("--per-system", args->per_system,
                   "With --grid: the best N compositions of each system (default 1)")
      ->type_name("N");
  command->add_option("--solutes", args->solutes, "The candidate solutes (default: all)")
      ->delimiter(',')
      ->type_name("LIST|all");
  command->add_flag("--any-order", args->any_order,
                    "Every ordered choice of solutes, not only decreasing radius");
  command
      ->add_option(
          "--sort", args->sort,
          "A numeric field to rank by (glassform fields lists them); -KEY ranks descending; "
          "default (the default) puts the rows inside the score's data first, each group by "
          "p_glass descending; mismatch is the cluster-packing order")
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
      ->add_option("--exclude", args->exclude,
                   "Leave these sets or symbols out of all and of the default solutes: "
                   "radioactive (Tc Pm Po Pa Th U), gases (O N), alkali (Li Na K Rb Cs), precious "
                   "(Ru Rh Pd Os Ir Pt Au Ag Re), symbols; none keeps every element (default: " +
                       std::string(kDefaultExcluded) + "); glassform elements shows the sets")
      ->delimiter(',')
      ->type_name("SET[,SET...]|none");
  command->add_flag("--keep-unphysical", args->keep_unphysical,
                    "Keep the rows with a cluster without an ideal radius ratio (Z outside 4..24) "
                    "or a packing above 100 % (column physical)");
  command->add_flag("--best-variant", args->best_variant,
                    "One row per ternary alloy: the gamma-site variant that ranks first "
                    "(column gamma_sites)");
  command
      ->add_option("--where", args->where,
                   "Keep the rows that meet a condition NAME OP VALUE on a field, OP one of < <= "
                   "> >= = != (e.g. 'dH_mix_kJ/mol<-10', 'x_Al_at%>=5'); NAME any column of "
                   "the rows, the candidates' shares included; several must all hold; a row "
                   "without the value fails; a value copied from the output selects its row")
      ->type_name("CONDITION");
  add_output_options(*command, run);
  add_fields_option(*command, run);
  add_element_data_options(*command, run);
  add_columns_option(*command, run);
  add_plot_option(*command, run);
  command->footer(
      "The integer of each cluster is the one nearest its computed coordination number. The "
      "default order (--sort default) puts every row inside the score's training data "
      "before the extrapolated ones, each group by the glass-formation score p_glass "
      "descending; --sort=-p_glass ranks by p_glass alone; "
      "--sort mismatch ranks by the mismatch ascending (the clusters closest to ideal packing "
      "first), then the packing efficiency descending. Ties go by the symbols; rows without "
      "the key's value go last. By default the candidates leave out the sets radioactive,gases "
      "and only physical rows are kept; the text output's first line says so.\n\nExamples:\n"
      "  glassform screen binary --solvent Zr --top 10\n"
      "  glassform screen ternary --solvent all --best-variant --format csv -o top.csv\n"
      "  glassform screen ternary --solvent Cu --where 'dH_mix_kJ/mol<-10' --sort=-delta_pct\n"
      "  glassform screen --around Cu46Zr46Al8 --radius 4 --top 10\n"
      "  glassform screen ternary --solvent all --grid 5 --top 20\n\n"
      "With --grid, each system (a set of elements) gives its best composition (--per-system N "
      "for more) and --all writes every composition. Every ternary system of the default "
      "candidates at step 5 (about 7.5 million compositions) takes some seconds, every "
      "quaternary one at step 10 under a minute, at step 5 many minutes; the progress line "
      "on a terminal tells the time left.");
  run.commands.emplace_back(command, [args](Run& r) {
    if (!args->around.empty()) {
      if (!args->kind.empty() || !args->solvents.empty()) {
        throw UsageError("--around sets the elements: give no kind and no --solvent with it");
      }
      if (args->all && !args->sort.empty()) {
        throw UsageError("--sort ranks rows and --all writes them unsorted: give one of them");
      }
      AroundRequest request{args->around,
                            amount(args->radius, "--radius"),
                            amount(args->step, "--step"),
                            args->sort,
                            top_count(args->top),
                            args->where,
                            r.data_pointer()};
      return screen_around(r, request, args->all);
    }
    if (args->kind.empty() || args->solvents.empty()) {
      throw UsageError("screen needs a kind and --solvent (or --around FORMULA)");
    }
    if (args->radius != "5" || args->step != "1") {
      throw UsageError("--radius and --step go with --around");
    }
    if (args->all && !args->sort.empty()) {
      throw UsageError("--sort ranks rows and --all writes them unsorted: give one of them");
    }
    if (args->all && !r.plot_path.empty()) {
      throw UsageError("--plot draws the ranked rows and --all writes every row: give one of them");
    }
    if (!args->grid.empty()) {
      for (const auto& [given, name] : {std::pair{args->any_order, "--any-order"},
                                        std::pair{args->best_variant, "--best-variant"},
                                        std::pair{args->keep_unphysical, "--keep-unphysical"},
                                        std::pair{args->require_elastic, "--require-elastic"}}) {
        if (given) {
          throw UsageError(std::string(name) +
                           " goes with the cluster model's compositions, not with --grid");
        }
      }
      return screen_grid(r, *args);
    }
    if (args->per_system != "1") throw UsageError("--per-system goes with --grid");
    PlannedScreen planned = answered(answer(ScreenRequest{.kind = args->kind,
                                                          .solvents = args->solvents,
                                                          .solutes = args->solutes,
                                                          .exclude = args->exclude,
                                                          .sort = args->sort,
                                                          .top = top_count(args->top),
                                                          .where = args->where,
                                                          .any_order = args->any_order,
                                                          .require_elastic = args->require_elastic,
                                                          .keep_unphysical = args->keep_unphysical,
                                                          .best_variant = args->best_variant,
                                                          .data = r.data_pointer()}));
    warn_kept(r, planned.kept, planned.excluded);
    const ScreenOptions& options = planned.options;
    std::vector<Column> columns =
        selected_columns(r, output_columns(r, alloy_fields(), planned.candidates));
    BlackmanPlot plot = r.plot();
    const int status = with_output(r, [&](OutputSink& sink) {
      ProgressLine line(r);
      const ScreenProgress progress = [&line](std::uint64_t done, std::uint64_t total) {
        line.update(done, total);
      };
      RowWriter writer(sink, r.format(), args->all, std::move(columns),
                       TextLayout{options.kind == AlloyKind::kTernary, planned.first_line});
      if (args->all) {
        screen_each(
            options,
            [&writer](const AlloyResult& alloy, const Composition& c) { writer.add(alloy, c); },
            progress, planned.order);
      } else {
        for (const RankedRow& row : screen_top(options, planned.order, planned.top, progress)) {
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
