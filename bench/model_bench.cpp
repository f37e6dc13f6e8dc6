#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/elastic.hpp"
#include "glassform/model/elements.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/screening.hpp"

namespace glassform {
namespace {

void CoordinationNumber(benchmark::State& state) {
  float ratio = 0.5F;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ratio);
    benchmark::DoNotOptimize(coordination_number(ratio));
  }
}
BENCHMARK(CoordinationNumber);

void PackingArithmetic(benchmark::State& state) {
  float ratio = 0.799F;
  float coordination = 9.98387F;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ratio);
    benchmark::DoNotOptimize(coordination);
    const double s = cluster_spacing(ratio);
    const float volume = cell_volume(cell_edge(4.0, s), cell_edge(2.82842712474619, s),
                                     cell_edge(4.618802153517007, s));
    const float n = solvent_atoms_per_cluster(coordination);
    benchmark::DoNotOptimize(
        packing_efficiency(4 * static_cast<long double>(cube(ratio)) + n, volume));
  }
}
BENCHMARK(PackingArithmetic);

void ElasticEstimate(benchmark::State& state) {
  const std::array<Constituent, 4> alloy{{{"Zr", 88, 33, 91.1F, 57.19F},
                                          {"Al", 70, 26, 76, 10.70F},
                                          {"Cu", 128, 48, 140, 10.70F},
                                          {"Ni", 200, 76, 180, 21.41F}}};
  for (auto _ : state) {
    benchmark::DoNotOptimize(alloy);
    benchmark::DoNotOptimize(estimate_elastic(alloy));
  }
}
BENCHMARK(ElasticEstimate);

void TernaryComputation(benchmark::State& state) {
  const Element& cu = element_at(sw(kSymbols, "Cu"));
  const Element& zr = element_at(sw(kSymbols, "Zr"));
  const Element& al = element_at(sw(kSymbols, "Al"));
  for (auto _ : state)
    benchmark::DoNotOptimize(compute_ternary(cu, zr, al, 17, 15));
}
BENCHMARK(TernaryComputation);

// The criteria and score inputs of the compositions of every ternary of Zr: varied enough that
// the trees take every branch.
std::vector<GlassCriteria> zr_ternary_criteria() {
  std::vector<GlassCriteria> out;
  const ScreenOptions options{
      AlloyKind::kTernary, {find_element("Zr")}, all_elements(), false, false, {}};
  screen_each(options, [&out](const AlloyResult& alloy, const Composition& c) {
    GlassCriteria k = glass_criteria(alloy, c);
    if (score_features(k)) out.push_back(std::move(k));
  });
  return out;
}

// The trees alone, per row: the budget is 1 us.
void GlassScoreTrees(benchmark::State& state) {
  std::vector<ScoreFeatures> features;
  for (const GlassCriteria& k : zr_ternary_criteria())
    features.push_back(*score_features(k));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(score_probability(features[i]));
    i = i + 1 == features.size() ? 0 : i + 1;
  }
}
BENCHMARK(GlassScoreTrees);

// The spread p_glass_sd: five models of 50 trees, for a row that is written.
void GlassScoreSpread(benchmark::State& state) {
  std::vector<ScoreFeatures> features;
  for (const GlassCriteria& k : zr_ternary_criteria())
    features.push_back(*score_features(k));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(score_spread(features[i]));
    i = i + 1 == features.size() ? 0 : i + 1;
  }
}
BENCHMARK(GlassScoreSpread);

// The criteria of a screen's row and its score.
void GlassScoreFromRow(benchmark::State& state) {
  std::vector<std::pair<AlloyResult, std::size_t>> rows;
  const ScreenOptions options{
      AlloyKind::kTernary, {find_element("Zr")}, all_elements(), false, false, {}};
  screen_each(options, [&rows](const AlloyResult& alloy, const Composition& c) {
    rows.emplace_back(alloy, static_cast<std::size_t>(&c - alloy.compositions().data()));
  });
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& [alloy, index] = rows[i];
    benchmark::DoNotOptimize(glass_score(glass_criteria(alloy, alloy.compositions()[index])));
    i = i + 1 == rows.size() ? 0 : i + 1;
  }
}
BENCHMARK(GlassScoreFromRow);

}  // namespace
}  // namespace glassform
