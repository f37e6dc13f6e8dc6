#include "glassform/model/screening.hpp"
#include "glassform/report/request/screen_setup.hpp"
#include "glassform/report/table/fields.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace glassform {
namespace {

const Element* el(std::string_view symbol) {
  return find_element(symbol);
}

struct CountCase {
  AlloyKind kind;
  bool any_order;
  std::uint64_t per_solvent;  // with every element a candidate
};

TEST(ScreenCandidates, CountEveryChoiceOfSolutes) {
  for (const CountCase c :
       {CountCase{AlloyKind::kBinary, false, 72},
        CountCase{AlloyKind::kTernary, false, 72 * 71 / 2},
        CountCase{AlloyKind::kQuaternary, false, 72 * 71 * 70 / 6},
        CountCase{AlloyKind::kBinary, true, 72}, CountCase{AlloyKind::kTernary, true, 72 * 71},
        CountCase{AlloyKind::kQuaternary, true, 72 * 71 * 70}}) {
    ScreenOptions options{c.kind, {el("Zr")}, all_elements(), c.any_order, false, {}};
    EXPECT_EQ(candidate_count(options), c.per_solvent);
    if (c.kind != AlloyKind::kQuaternary || !c.any_order) {
      std::uint64_t visited = 0;
      screen_each(options, [&](const AlloyResult& a, const Composition& comp) {
        if (&comp == &a.compositions()[0]) ++visited;
      });
      EXPECT_EQ(visited, c.per_solvent);
    }
    options.solvents = all_elements();
    EXPECT_EQ(candidate_count(options), 73 * c.per_solvent);
  }
}

TEST(ScreenCandidates, TakeTheListedSolutesInDecreasingRadiusOnceEach) {
  // Ni is the solvent and no solute of its own; the rest come largest first.
  const ScreenOptions options{
      AlloyKind::kTernary, {el("Ni")}, {el("Cu"), el("Zr"), el("Ni"), el("Al")}, false, false, {}};
  EXPECT_EQ(candidate_count(options), 3U);
  std::vector<std::string> seen;
  screen_each(options, [&](const AlloyResult& a, const Composition& c) {
    if (c.gamma_sites == 0) {
      seen.push_back(std::string(a.elements()[1]->symbol) + std::string(a.elements()[2]->symbol));
    }
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"ZrAl", "ZrCu", "AlCu"}));
}

// A screened row is the alloy computed alone with the nearest integers.
TEST(ScreenRows, EqualTheAlloyComputedAlone) {
  std::mt19937 random(99);
  for (const AlloyKind kind : {AlloyKind::kBinary, AlloyKind::kTernary, AlloyKind::kQuaternary}) {
    const ScreenOptions options{kind, {el("Cu"), el("Fe")}, all_elements(), true, false, {}};
    std::uint64_t i = 0;
    screen_each(options, [&](const AlloyResult& a, const Composition& c) {
      if (++i % 997 != 0) return;
      std::vector<ClusterMeasure> measures;
      std::vector<int> chosen;
      for (std::size_t s = 1; s < a.elements().size(); ++s) {
        measures.push_back(measure_cluster(*a.elements()[s], *a.elements()[0]));
        chosen.push_back(nearest_integer(measures.back().coordination));
      }
      const AlloyResult alone = *compute_alloy(a.elements(), measures, chosen);
      const Composition& d =
          alone.compositions()[static_cast<std::size_t>(&c - a.compositions().data())];
      for (const Field& f : all_fields())
        EXPECT_EQ(f.value(Row::of(a, c)), f.value(Row::of(alone, d))) << f.name;
    });
  }
}

// The order of a field of the output table, as `screen --sort` makes it.
SortOrder by(std::string_view name, bool descending) {
  const Field* field = find_field(name);
  return {[field](const AlloyResult& a, const Composition& c) {
            return numeric_value(field->value(Row::of(a, c)));
          },
          descending,
          {}};
}

TEST(ScreenTop, EqualsTheHeadOfAFullSort) {
  const ScreenOptions options{
      AlloyKind::kTernary, {el("Zr"), el("Cu")}, all_elements(), false, false, {}};
  // The default order passes over the alloys outside the score's data once the rows kept are
  // all inside it: the same rows.
  const SortOrder by_default = std::get<SortOrder>(parse_sort("", all_elements()));
  for (const SortOrder& order :
       {SortOrder{}, by("packing_%", true), by("E_GPa", false), by("Z1", false), by_default}) {
    std::vector<RankedRow> all;
    screen_each(options, [&](const AlloyResult& a, const Composition& c) {
      all.push_back({a, static_cast<std::size_t>(&c - a.compositions().data()), std::nullopt});
    });
    std::stable_sort(all.begin(), all.end(), [&](const RankedRow& x, const RankedRow& y) {
      return row_before(order, x.alloy, x.alloy.compositions()[x.composition], y.alloy,
                        y.alloy.compositions()[y.composition]);
    });
    // The same rows whatever the number of threads that share the solvents.
    for (const unsigned threads : {1U, 3U}) {
      ScreenOptions shared = options;
      shared.threads = threads;
      for (const std::size_t top : {1U, 37U, 500U, 1000000U}) {
        const std::vector<RankedRow> best = screen_top(shared, order, top);
        ASSERT_EQ(best.size(), std::min(top, all.size()));
        for (std::size_t i = 0; i < best.size(); ++i) {
          EXPECT_EQ(best[i].alloy.elements()[0], all[i].alloy.elements()[0]) << i;
          EXPECT_EQ(best[i].alloy.elements()[1], all[i].alloy.elements()[1]) << i;
          EXPECT_EQ(best[i].alloy.elements()[2], all[i].alloy.elements()[2]) << i;
          EXPECT_EQ(best[i].composition, all[i].composition) << i;
        }
      }
    }
  }
}

TEST(ScreenOrder, BreaksTiesAsStatedAndPutsMissingValuesLast) {
  const AlloyResult zr_cu = *compute_binary(*el("Zr"), *el("Cu"), 10);
  const AlloyResult zr_mn = *compute_binary(*el("Zr"), *el("Mn"), 11);  // no G: no C11
  const AlloyResult cu_zr_al = *compute_ternary(*el("Cu"), *el("Zr"), *el("Al"), 17, 15);
  const Composition& a = zr_cu.compositions()[0];
  const Composition& m = zr_mn.compositions()[0];
  const SortOrder by_c11 = by("C11_GPa", false);
  const SortOrder by_c11_down = by("C11_GPa", true);
  EXPECT_TRUE(row_before(by_c11, zr_cu, a, zr_mn, m));
  EXPECT_TRUE(row_before(by_c11_down, zr_cu, a, zr_mn, m));
  EXPECT_FALSE(row_before(by_c11_down, zr_mn, m, zr_cu, a));
  // The same alloy's ternary rows tie on mismatch; packing descending decides.
  const auto c = cu_zr_al.compositions();
  EXPECT_TRUE(row_before(SortOrder{}, cu_zr_al, c[1], cu_zr_al, c[0]));  // 60.64 before 54.90
  // Equal keys: the symbols, then the gamma sites.
  const SortOrder by_z1 = by("Z1", false);
  EXPECT_TRUE(row_before(by_z1, cu_zr_al, c[0], cu_zr_al, c[2]));
  EXPECT_FALSE(row_before(by_z1, cu_zr_al, c[2], cu_zr_al, c[2]));
}

// The default order: every row inside the score's data before the first extrapolated one,
// each group by p_glass descending.
TEST(ScreenOrder, DefaultPutsTheRowsInsideTheDataFirst) {
  const ScreenOptions options{
      AlloyKind::kQuaternary, {el("Cu"), el("Zr")}, all_elements(), false, false, {}};
  const auto order = std::get<SortOrder>(parse_sort("", all_elements()));
  const std::vector<RankedRow> rows = screen_top(options, order, 3000);
  const Field* p_glass = find_field("p_glass");
  const Field* extrapolated = find_field("extrapolated");
  std::size_t outside = 0;
  std::optional<double> last;
  bool was_outside = false;
  for (const RankedRow& r : rows) {
    const Row row = Row::of(r.alloy, r.alloy.compositions()[r.composition]);
    const std::optional<double> p = numeric_value(p_glass->value(row));
    const bool out = numeric_value(extrapolated->value(row)).value_or(1) != 0;
    ASSERT_FALSE(was_outside && !out) << "a row inside the data after an extrapolated one";
    if (out != was_outside) last.reset();
    if (p && last) {
      EXPECT_LE(*p, *last);
    }
    last = p;
    was_outside = out;
    outside += out ? 1 : 0;
  }
  EXPECT_GT(outside, 0U);
  EXPECT_LT(outside, rows.size());
}

TEST(ScreenFilter, RequireElasticDropsRowsWithoutConstants) {
  ScreenOptions options{AlloyKind::kBinary, {el("Zr")}, all_elements(), false, true, {}};
  std::size_t kept = 0;
  screen_each(options, [&](const AlloyResult&, const Composition& c) {
    EXPECT_TRUE(c.elastic.constants);
    ++kept;
  });
  // The solutes lacking G or B: O, N, S, P, Mn, Tc, Ga, Po, Pa, In, Sr, Rb, Cs.
  EXPECT_EQ(kept, 72U - 13U);
}

}  // namespace
}  // namespace glassform
