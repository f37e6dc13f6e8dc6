// The screening engine, and the minimal straight-line kernel it is measured against: the same
// quaternary formulas with the same precision rules, per-pair values computed once and a
// top-100 heap, and nothing else.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <queue>
#include <vector>

#include "glassform/model/cluster_model.hpp"
#include "glassform/model/model_constants.hpp"
#include "glassform/model/screening.hpp"

namespace glassform {
namespace {

void screen(benchmark::State& state, AlloyKind kind, std::vector<const Element*> solvents) {
  const ScreenOptions options{kind, std::move(solvents), all_elements(), false, false, {}};
  for (auto _ : state)
    benchmark::DoNotOptimize(screen_top(options, SortOrder{}, 100));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(candidate_count(options)));
}

void ScreenBinaryOneSolvent(benchmark::State& state) {
  screen(state, AlloyKind::kBinary, {find_element("Zr")});
}
BENCHMARK(ScreenBinaryOneSolvent)->Unit(benchmark::kMicrosecond);

void ScreenTernaryEverySolvent(benchmark::State& state) {
  screen(state, AlloyKind::kTernary, all_elements());
}
BENCHMARK(ScreenTernaryEverySolvent)->Unit(benchmark::kMillisecond);

void ScreenQuaternaryEverySolvent(benchmark::State& state) {
  screen(state, AlloyKind::kQuaternary, all_elements());
}
BENCHMARK(ScreenQuaternaryEverySolvent)->Unit(benchmark::kMillisecond);

using LD = long double;

struct Pair {
  double spacing;
  double cube;
  float solvent_atoms;
  float mismatch;
  bool has_mismatch;
};

struct Kept {
  float mismatch;
  float packing;
  std::uint32_t id;
  bool operator<(const Kept& o) const {  // the worst on top of the heap
    if (mismatch != o.mismatch) return mismatch < o.mismatch;
    return packing > o.packing;
  }
};

float mix(const std::array<float, 4>& moduli, const std::array<float, 4>& x, bool& ok) {
  LD sum = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    if (moduli[i] == 0.0F) ok = false;
    sum += static_cast<LD>(moduli[i]) * x[i];
  }
  return static_cast<float>(sum / 100.0F);
}

void ReferenceQuaternaryKernel(benchmark::State& state) {
  for (auto _ : state) {
    std::priority_queue<Kept> heap;
    float checksum = 0;
    for (std::size_t s = 0; s < kElementCount; ++s) {
      const Element& solvent = kElements[s];
      std::array<Pair, kElementCount> pairs{};
      for (std::size_t i = 0; i < kElementCount; ++i) {
        const float r = radius_ratio(kElements[i].radius, solvent.radius);
        const float n = coordination_number(r);
        const int z = static_cast<int>(std::floor(static_cast<double>(n) + 0.5));
        const std::optional<float> ideal = ideal_radius_ratio(z);
        pairs[i] = {cluster_spacing(r), cube(r), solvent_atoms_per_cluster(n),
                    ideal ? static_cast<float>(std::fabs(static_cast<LD>(r) / *ideal - 1)) : 0.0F,
                    ideal.has_value()};
      }
      for (std::size_t a = kElementCount; a-- > 0;) {
        for (std::size_t b = a; b-- > 0;) {
          for (std::size_t c = b; c-- > 0;) {
            if (a == s || b == s || c == s) continue;
            const Pair& p1 = pairs[a];
            const Pair& p2 = pairs[b];
            const Pair& p3 = pairs[c];
            const LD s1 = p1.spacing;
            const LD s2 = p2.spacing;
            const LD s3 = p3.spacing;
            const float e1 = static_cast<float>(2.0L * (s1 + s2));
            const float e2 = static_cast<float>(static_cast<LD>(model::kTwoRootTwo) * s1);
            const float e3 =
                static_cast<float>(static_cast<LD>(model::kTwoOverRootThree) * (s1 + s2 + 2 * s3));
            const float volume = cell_volume(e1, e2, e3);
            const float sa = p1.solvent_atoms;
            const float total = static_cast<float>(static_cast<LD>(sa) + 4.0F);
            const std::array<float, 4> x{
                static_cast<float>(static_cast<LD>(sa) / total * 100.0F),
                static_cast<float>(1 / static_cast<LD>(total) * 100.0F),
                static_cast<float>(1 / static_cast<LD>(total) * 100.0F),
                static_cast<float>(2.0F / static_cast<LD>(total) * 100.0F)};
            const LD atoms = static_cast<LD>(sa) + static_cast<LD>(p1.cube) +
                             static_cast<LD>(p2.cube) + 2 * static_cast<LD>(p3.cube);
            const float packing = packing_efficiency(atoms, volume);
            const std::array<const Element*, 4> el{&solvent, &kElements[a], &kElements[b],
                                                   &kElements[c]};
            bool has_e = true;
            bool has_g = true;
            bool has_b = true;
            const float e = mix({el[0]->e, el[1]->e, el[2]->e, el[3]->e}, x, has_e);
            const float g = mix({el[0]->g, el[1]->g, el[2]->g, el[3]->g}, x, has_g);
            const float bulk = mix({el[0]->b, el[1]->b, el[2]->b, el[3]->b}, x, has_b);
            if (has_b && has_g && bulk > 0.0F && g > 0.0F) {
              const float c11 = static_cast<float>(static_cast<LD>(bulk) + g);
              const float c12 = static_cast<float>((3.0F * static_cast<LD>(bulk) - c11) * 0.5F);
              const float m = static_cast<float>((static_cast<LD>(bulk) / g + 0.67L) * 12.0L);
              checksum += static_cast<float>(static_cast<LD>(c12) / c11) + m +
                          static_cast<float>(static_cast<LD>(g) / c11);
            }
            checksum += has_e ? e : 0.0F;
            const float mismatch = std::max({p1.mismatch, p2.mismatch, p3.mismatch});
            const Kept kept{mismatch, packing, static_cast<std::uint32_t>(s)};
            if (heap.size() < 100) {
              heap.push(kept);
            } else if (kept < heap.top()) {
              heap.pop();
              heap.push(kept);
            }
          }
        }
      }
    }
    benchmark::DoNotOptimize(checksum);
    benchmark::DoNotOptimize(heap);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 73 * 72 * 71 * 70 / 6);
}
BENCHMARK(ReferenceQuaternaryKernel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace glassform
