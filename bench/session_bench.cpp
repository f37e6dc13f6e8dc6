#include <benchmark/benchmark.h>

#include <string>

#include "session_harness.hpp"

namespace glassform {
namespace {

// Whole binary calculations through the dialogue in memory: input bytes in, output bytes out.
void ScriptedBinarySessions(benchmark::State& state) {
  const auto calculations = static_cast<std::size_t>(state.range(0));
  std::string script;
  for (std::size_t i = 0; i < calculations; ++i)
    script += "2\nZr\nCu\n10\ny\n";
  script += "n\n";
  std::size_t output_bytes = 0;
  for (auto _ : state) {
    const testing::SessionRun run = testing::run_script(script);
    output_bytes = run.output.size();
    benchmark::DoNotOptimize(run.output.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * calculations));
  state.counters["output_bytes"] = static_cast<double>(output_bytes);
  state.counters["per_calculation"] = benchmark::Counter(
      static_cast<double>(calculations),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(ScriptedBinarySessions)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace glassform
