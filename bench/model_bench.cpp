#include <benchmark/benchmark.h>

#include <array>

#include "model/alloys.hpp"
#include "model/cluster_model.hpp"
#include "model/elastic.hpp"
#include "model/elements.hpp"

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

}  // namespace
}  // namespace glassform
