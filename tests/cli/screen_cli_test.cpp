#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "cli_harness.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/report/request/composition_search.hpp"
#include "glassform/report/table/assessment_report.hpp"

namespace glassform {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    out.push_back(line);
  return out;
}

std::vector<std::string> cells(const std::string& row) {
  std::vector<std::string> out;
  std::stringstream split(row);
  for (std::string cell; std::getline(split, cell, ',');)
    out.push_back(cell);
  return out;
}

// Sampled rows of a full screen are, byte for byte, the rows the single-alloy command prints.
TEST(ScreenCommand, RowsAreTheSingleAlloyCommandsRows) {
  std::mt19937 random(5);
  for (const char* kind : {"binary", "ternary", "quaternary"}) {
    const testing::CliRun screen =
        testing::run_cli({"screen", kind, "--solvent", "Ni,Zr", "--solutes", "B,Si,Al,Cu,Ti,Mn,Ga",
                          "--any-order", "--all", "--format", "csv"});
    ASSERT_EQ(screen.status, 0) << screen.err;
    const std::vector<std::string> rows = lines(screen.out);
    ASSERT_GT(rows.size(), 2U);
    std::uniform_int_distribution<std::size_t> pick(1, rows.size() - 1);
    for (int sample = 0; sample < 12; ++sample) {
      const std::string& row = rows[pick(random)];
      const std::vector<std::string> c = cells(row);
      std::vector<std::string> args{kind};
      for (std::size_t i = 1; i <= 4 && i < c.size(); ++i) {
        if (!c[i].empty()) args.push_back(c[i]);
      }
      args.insert(args.end(), {"--format", "csv"});
      const std::vector<std::string> single = lines(testing::run_cli(args).out);
      const std::size_t gamma = c[5].empty() ? 0 : std::stoul(c[5]);
      ASSERT_GT(single.size(), gamma + 1);
      EXPECT_EQ(single[gamma + 1], row);
    }
  }
}

TEST(ScreenCommand, WritesNoProgressToAPipeOrFile) {
  const testing::CliRun run =
      testing::run_cli({"screen", "quaternary", "--solvent", "all", "--top", "3"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(lines(run.out).size(), 5U);  // the exclusions, the header and three rows
}

// The rows of a CSV screen as maps from the (early, comma-free) columns to their cells.
std::vector<std::map<std::string, std::string>> csv_rows(std::vector<std::string> args) {
  args.insert(args.end(), {"--format", "csv"});
  const testing::CliRun run = testing::run_cli(args);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> text = lines(run.out);
  std::vector<std::map<std::string, std::string>> rows;
  if (text.empty()) return rows;
  const std::vector<std::string> header = cells(text[0]);
  const auto last = std::find(header.begin(), header.end(), "warnings");
  for (std::size_t i = 1; i < text.size(); ++i) {
    const std::vector<std::string> c = cells(text[i]);
    std::map<std::string, std::string>& row = rows.emplace_back();
    for (std::size_t k = 0; k < static_cast<std::size_t>(last - header.begin()); ++k)
      row[header[k]] = c[k];
  }
  return rows;
}

std::size_t count_physical(const std::vector<std::map<std::string, std::string>>& rows,
                           const std::string& value) {
  return static_cast<std::size_t>(std::count_if(
      rows.begin(), rows.end(), [&](const auto& r) { return r.at("physical") == value; }));
}

// A default screen has no unmatched cluster and no packing above 100 %; --keep-unphysical
// brings exactly those rows back, flagged.
TEST(ScreenCommand, DropsUnphysicalRowsUnlessKept) {
  for (const char* kind : {"binary", "ternary"}) {
    const std::vector<std::string> args{"screen", kind, "--solvent", "Cu,Zr", "--all"};
    const auto rows = csv_rows(args);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(count_physical(rows, "true"), rows.size());
    for (const auto& r : rows) {
      EXPECT_FALSE(r.at("mismatch").empty());
      EXPECT_LE(std::stod(r.at("packing_%")), 100.0);
    }
    std::vector<std::string> all = args;
    all.emplace_back("--keep-unphysical");
    const auto kept = csv_rows(all);
    EXPECT_EQ(count_physical(kept, "true"), rows.size()) << kind;
    EXPECT_GT(count_physical(kept, "false"), 0U) << kind;
    for (const auto& r : kept) {
      if (r.at("physical") == "true") continue;
      EXPECT_TRUE(r.at("mismatch").empty() || std::stod(r.at("packing_%")) > 100.0);
    }
  }
}

// Each named set leaves its elements out of `all`; the default leaves out radioactive and gases.
TEST(ScreenCommand, ExcludesNamedSets) {
  struct Case {
    std::vector<std::string> exclude;  // the --exclude argument, none for the default
    std::set<std::string> absent;
    std::set<std::string> present;
  };
  for (const Case& c : {
           Case{{}, {"Tc", "Pm", "Po", "Pa", "Th", "U", "O", "N"}, {"Li", "Pd", "Cu"}},
           Case{{"--exclude", "none"}, {}, {"U", "O", "Li", "Pd"}},
           Case{{"--exclude", "alkali"}, {"Li", "Na", "K", "Rb", "Cs"}, {"U", "O"}},
           Case{{"--exclude", "precious,Cu"},
                {"Ru", "Rh", "Pd", "Os", "Ir", "Pt", "Au", "Ag", "Re", "Cu"},
                {"U", "Li"}},
       }) {
    std::vector<std::string> args{"screen", "binary", "--solvent",
                                  "Zr",     "--all",  "--keep-unphysical"};
    args.insert(args.end(), c.exclude.begin(), c.exclude.end());
    std::set<std::string> solutes;
    for (const auto& r : csv_rows(args))
      solutes.insert(r.at("solute1"));
    for (const std::string& e : c.absent)
      EXPECT_EQ(solutes.count(e), 0U) << e;
    for (const std::string& e : c.present)
      EXPECT_EQ(solutes.count(e), 1U) << e;
  }
  // A symbol the user names is kept, with a warning.
  const testing::CliRun named = testing::run_cli(
      {"screen", "binary", "--solvent", "Zr", "--solutes", "U,Cu", "--format", "csv"});
  EXPECT_NE(named.out.find("Zr,U,"), std::string::npos);
  EXPECT_NE(named.err.find("U is named in --solutes and kept"), std::string::npos) << named.err;
}

// --best-variant: one row per ternary alloy, the variant that ranks first.
TEST(ScreenCommand, BestVariantGivesOneRowPerAlloy) {
  const std::vector<std::string> args{
      "screen", "ternary", "--solvent", "Cu", "--solutes", "Zr,Al,Ni,Ti,Hf,Si,B", "--all"};
  const auto rows = csv_rows(args);
  std::map<std::string, std::size_t> variants;
  for (const auto& r : rows)
    ++variants[r.at("solute1") + r.at("solute2")];
  std::vector<std::string> best_args = args;
  best_args.emplace_back("--best-variant");
  const auto best = csv_rows(best_args);
  EXPECT_EQ(best.size(), variants.size());
  std::vector<std::string> top = {"screen", "ternary", "--solvent",     "Cu",
                                  "--top",  "20",      "--best-variant"};
  std::set<std::string> alloys;
  for (const auto& r : csv_rows(top))
    alloys.insert(r.at("solute1") + r.at("solute2"));
  EXPECT_EQ(alloys.size(), 20U);
}

// screen --around: how many compositions a neighbourhood holds (the formula among them, none
// negative, none farther than the radius in any element), each the row assess writes.
TEST(ScreenAround, CountsDistancesAndTheFormulaItself) {
  struct Case {
    std::vector<std::string> args;
    std::size_t rows;
  };
  for (const Case& c : {
           Case{{"Cu46Zr46Al8"}, 91},  // 3 m (m + 1) + 1 for m = 5 steps
           Case{{"Cu46Zr46Al8", "--radius", "2"}, 19},
           Case{{"Cu46Zr46Al8", "--radius", "5", "--step", "2.5"}, 19}, Case{{"Cu50Zr50"}, 11},
           Case{{"Cu97Zr3"}, 9},  // Zr from 0 to 8
       }) {
    std::vector<std::string> args{"screen", "--around"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--all", "--format", "csv"});
    const testing::CliRun run = testing::run_cli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = lines(run.out);
    EXPECT_EQ(rows.size(), c.rows + 1) << c.args[0];
    const std::vector<std::string> header = cells(rows[0]);
    const std::size_t formula = static_cast<std::size_t>(
        std::find(header.begin(), header.end(), "formula") - header.begin());
    const std::string anchor = testing::run_cli({"assess", c.args[0], "--format", "csv"}).out;
    const std::vector<std::string> assessed = cells(lines(anchor)[1]);
    const auto radius_at = std::find(c.args.begin(), c.args.end(), "--radius");
    const double radius = radius_at == c.args.end() ? 5 : std::stod(*(radius_at + 1));
    bool found = false;
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const std::vector<std::string> row = cells(rows[i]);
      for (std::size_t j = 0; j < formula; ++j)
        EXPECT_GE(std::stod(row[j]), 0) << rows[i];
      if (row[formula] == assessed[0]) {
        found = true;
        // Every column both write (assess's line and label aside) is the same text.
        EXPECT_TRUE(std::equal(row.begin() + static_cast<std::ptrdiff_t>(formula), row.end(),
                               assessed.begin()))
            << rows[i];
        for (std::size_t k = 1; k < rows.size(); ++k) {
          const std::vector<std::string> other = cells(rows[k]);
          for (std::size_t j = 0; j < formula; ++j)
            EXPECT_LE(std::abs(std::stod(other[j]) - std::stod(row[j])), radius + 1e-9) << rows[k];
        }
      }
    }
    EXPECT_TRUE(found) << c.args[0] << " is among its own neighbours";
  }
  EXPECT_EQ(testing::run_cli({"screen", "ternary", "--around", "Cu46Zr46Al8"}).status, 2);
  EXPECT_EQ(testing::run_cli({"screen", "--around", "Cu46Zr46Al8", "--step", "0"}).status, 2);
}

// screen --grid: how many compositions a system holds (every share at least a step, the
// solvent's the largest), and a system's best row is its map's best cell off the edges.
TEST(ScreenGrid, CountsAndTheBestCellOfTheMap) {
  struct Case {
    std::vector<std::string> args;
    std::size_t rows;
  };
  for (const Case& c : {
           Case{{"ternary", "--solvent", "Cu,Zr,Al", "--solutes", "Cu,Zr,Al"}, 171},
           Case{{"ternary", "--solvent", "Cu", "--solutes", "Zr,Al"}, 60},
           Case{{"quaternary", "--solvent", "Cu,Zr,Al,Ni", "--solutes", "Cu,Zr,Al,Ni", "--grid",
                 "10"},
                84},
           Case{{"ternary", "--solvent", "Cu", "--solutes", "Zr,Al,Ni", "--where", "x_Ni_at%>0"},
                120},
       }) {
    std::vector<std::string> args{"screen"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (std::find(args.begin(), args.end(), "--grid") == args.end()) {
      args.insert(args.end(), {"--grid", "5"});
    }
    args.insert(args.end(), {"--all", "--format", "csv"});
    const testing::CliRun run = testing::run_cli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(run.out).size(), c.rows + 1) << c.args[2];
  }

  const std::vector<std::string> wide{"--format", "csv", "--columns", "wide=Cu,Zr,Al"};
  std::vector<std::string> args{"screen",    "ternary",  "--solvent", "Cu,Zr,Al",
                                "--solutes", "Cu,Zr,Al", "--grid",    "5"};
  args.insert(args.end(), wide.begin(), wide.end());
  const std::vector<std::string> best = lines(testing::run_cli(args).out);
  ASSERT_EQ(best.size(), 2U);
  const std::vector<std::string> header = cells(best[0]);
  const std::size_t p_glass =
      static_cast<std::size_t>(std::find(header.begin(), header.end(), "p_glass") - header.begin());
  const std::vector<std::string> map =
      lines(testing::run_cli({"map", "Cu", "Zr", "Al", "--step", "5", "--format", "csv"}).out);
  std::vector<std::string> best_cell;
  for (std::size_t i = 1; i < map.size(); ++i) {
    const std::vector<std::string> row = cells(map[i]);
    if (row[0] == "0" || row[1] == "0" || row[2] == "0") continue;  // an edge: another system
    if (best_cell.empty() || std::stod(row[p_glass - 1]) > std::stod(best_cell[p_glass - 1])) {
      best_cell = row;
    }
  }
  const std::vector<std::string> grid = cells(best[1]);
  EXPECT_TRUE(std::equal(best_cell.begin(), best_cell.begin() + 3, grid.begin() + 1)) << best[1];
  EXPECT_EQ(best_cell[p_glass - 1], grid[p_glass]);
}

// The grid's ranking is the same whatever the number of threads, and its amounts are those of
// reading the formulas it writes.
TEST(ScreenGrid, RowsDoNotDependOnThreadsAndAmountsAreTheFormulas) {
  GridRequest request;
  request.kind = AlloyKind::kTernary;
  for (const char* s : {"Cu", "Zr", "Al", "Ni", "Ti", "Fe", "B", "Si"})
    request.solutes.push_back(find_element(s));
  request.solvents = {request.solutes[0], request.solutes[1], request.solutes[5]};
  request.units = 10;
  request.per_system = 3;
  request.top = 40;
  std::vector<std::string> formulas[2];
  for (const unsigned threads : {1U, 3U}) {
    request.threads = threads;
    for (const Assessment& a : grid_top(request))
      formulas[threads == 1 ? 0 : 1].push_back(formula_text(a.parts));
  }
  EXPECT_EQ(formulas[0].size(), 40U);
  EXPECT_EQ(formulas[0], formulas[1]);

  const std::array<const Element*, 3> e{find_element("Cu"), find_element("Zr"), find_element("Al")};
  for (const int n : {3, 7, 40, 500, 1000}) {
    for (const std::array<int, 3>& u :
         {std::array{1, 1, n - 2}, std::array{n / 3, n / 7, 0}, std::array{n - 1, 0, 1}}) {
      const std::vector<FormulaPart> parts = grid_parts(e, u, n);
      const ParsedFormula parsed = parse_composition(grid_formula(e, u, n));
      ASSERT_EQ(parts.size(), parsed.parts.size());
      for (std::size_t i = 0; i < parts.size(); ++i)
        EXPECT_EQ(parts[i].amount, parsed.parts[i].amount) << n << " " << i;
    }
  }
}

}  // namespace
}  // namespace glassform
