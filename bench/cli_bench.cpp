// The command line in memory: the batch mode (100,000 binary alloys to CSV), assess (100,000
// random compositions to CSV) and the row writers of a screen (CSV against JSON lines).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "glassform/cli/command_line.hpp"
#include "glassform/io/format.hpp"
#include "glassform/model/elements.hpp"
#include "session_harness.hpp"

namespace glassform {
namespace {

// Every ordered pair of distinct elements in turn, as batch lines.
std::string binary_batch(std::size_t lines) {
  std::string text;
  std::size_t i = 0;
  while (lines > 0) {
    const Element& solvent = kElements[i / kElementCount % kElementCount];
    const Element& solute = kElements[i % kElementCount];
    ++i;
    if (&solvent == &solute) continue;
    text.append(solvent.symbol).append(" ").append(solute.symbol).append("\n");
    --lines;
  }
  return text;
}

// Counts the bytes without keeping them, as a file or a pipe would take them.
class CountingSink final : public OutputSink {
 public:
  void write(std::string_view bytes) override { size += bytes.size(); }
  std::size_t size = 0;
};

// Runs the command line once on `input` as standard input; the bytes it wrote.
std::size_t bytes_written(const std::vector<std::string>& args, const std::string& input = "") {
  testing::ScriptInput in(input);
  CountingSink out;
  StringSink err;
  CliStreams streams{in, out, err};
  benchmark::DoNotOptimize(run_command_line(args, streams));
  return out.size;
}

// Runs the command line on `input` as standard input, counting `items` a run.
void run_on_input(benchmark::State& state, const std::vector<std::string>& args,
                  const std::string& input, std::size_t items) {
  for (auto _ : state)
    benchmark::DoNotOptimize(bytes_written(args, input));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * items));
}

void BatchBinaryToCsv(benchmark::State& state) {
  constexpr std::size_t kAlloys = 100000;
  const std::string input = binary_batch(kAlloys);
  run_on_input(state, {"batch", "--format", "csv"}, input, kAlloys);
}
BENCHMARK(BatchBinaryToCsv)->Unit(benchmark::kMillisecond);

// Random compositions of 1 to 6 elements of the whole table, amounts 1 to 60, one a line.
std::string random_formulas(std::size_t count) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> element(0, kElementCount - 1);
  std::uniform_int_distribution<int> amount(1, 60);
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t n = 1 + i % 6;
    std::vector<std::size_t> chosen;
    while (chosen.size() < n) {
      const std::size_t e = element(random);
      if (std::find(chosen.begin(), chosen.end(), e) == chosen.end()) chosen.push_back(e);
    }
    for (const std::size_t e : chosen) {
      text.append(kElements[e].symbol);
      text.append(std::to_string(amount(random)));
    }
    text.push_back('\n');
  }
  return text;
}

// assess --file of random compositions to CSV: criteria, model distance, elastic estimate.
void AssessFileToCsv(benchmark::State& state) {
  constexpr std::size_t kCompositions = 100000;
  const std::string input = random_formulas(kCompositions);
  run_on_input(state, {"assess", "--file", "-", "--format", "csv"}, input, kCompositions);
}
BENCHMARK(AssessFileToCsv)->Unit(benchmark::kMillisecond);

// Every quaternary of one solvent (47,905 alloys), every row written, as CSV and as JSON lines:
// the writers' cost per row beside the screen's own.
void ScreenQuaternaryRows(benchmark::State& state) {
  const std::string format = state.range(0) == 0 ? "csv" : "jsonl";
  const std::vector<std::string> args{"screen", "quaternary", "--solvent", "Zr",
                                      "--all",  "--format",   format};
  std::size_t size = 0;
  for (auto _ : state)
    size = bytes_written(args);
  state.SetLabel(format);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(ScreenQuaternaryRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Every quaternary of every solvent, the 100 best written: in the default order (which passes
// over the alloys outside the score's data once the rows kept are inside it), by the score
// alone (which scores every row kept) and by the cluster packing (which scores only the rows
// written).
void ScreenQuaternaryTop(benchmark::State& state) {
  constexpr std::array<const char*, 3> kSorts{"default", "-p_glass", "mismatch"};
  const char* sort = kSorts.at(static_cast<std::size_t>(state.range(0)));
  const std::vector<std::string> args{"screen", "quaternary", "--solvent", "all",
                                      "--top",  "100",        "--sort",    sort};
  for (auto _ : state)
    benchmark::DoNotOptimize(bytes_written(args));
  state.SetLabel(sort);
}
BENCHMARK(ScreenQuaternaryTop)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// map Cu Zr Al at step 0.2 (125,751 compositions) to CSV, beside assess --file of the same
// formulas: what the grid itself costs.
void MapStepToCsv(benchmark::State& state) {
  constexpr std::size_t kCompositions = 125751;
  if (state.range(0) == 0) {
    const std::vector<std::string> args{"map",    "Cu",  "Zr",       "Al",
                                        "--step", "0.2", "--format", "csv"};
    for (auto _ : state)
      benchmark::DoNotOptimize(bytes_written(args));
  } else {
    std::string formulas;
    for (int a = 500; a >= 0; --a) {
      for (int b = 500 - a; b >= 0; --b) {
        for (const auto& [symbol, units] :
             {std::pair{"Cu", a}, std::pair{"Zr", b}, std::pair{"Al", 500 - a - b}}) {
          if (units == 0) continue;
          formulas.append(symbol);
          append_format(formulas, "{}", units / 5.0);
        }
        formulas.push_back('\n');
      }
    }
    run_on_input(state, {"assess", "--file", "-", "--format", "csv"}, formulas, kCompositions);
  }
  state.SetLabel(state.range(0) == 0 ? "map" : "assess --file");
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCompositions));
}
BENCHMARK(MapStepToCsv)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Every ternary system of the default candidates at step 5 (7.47 million compositions) and
// every quaternary one at step 10 (56.9 million), each system's best row, the 100 best
// written: whole screens over every core, once each.
void ScreenGrid(benchmark::State& state) {
  const bool ternary = state.range(0) == 0;
  const std::vector<std::string> args{"screen",    ternary ? "ternary" : "quaternary",
                                      "--solvent", "all",
                                      "--grid",    ternary ? "5" : "10"};
  for (auto _ : state)
    benchmark::DoNotOptimize(bytes_written(args));
  state.SetLabel(ternary ? "ternary --grid 5" : "quaternary --grid 10");
}
BENCHMARK(ScreenGrid)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace glassform
