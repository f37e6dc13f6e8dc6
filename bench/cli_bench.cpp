// The command line in memory: the batch mode (100,000 binary alloys to CSV) and the row
// writers of a screen (CSV against JSON lines).
#include <benchmark/benchmark.h>

#include <string>

#include "cli/command_line.hpp"
#include "model/elements.hpp"
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

void BatchBinaryToCsv(benchmark::State& state) {
  constexpr std::size_t kAlloys = 100000;
  const std::string input = binary_batch(kAlloys);
  const std::vector<std::string> args{"batch", "--format", "csv"};
  for (auto _ : state) {
    testing::ScriptInput in(input);
    CountingSink out;
    StringSink err;
    CliStreams streams{in, out, err};
    benchmark::DoNotOptimize(run_command_line(args, streams));
    benchmark::DoNotOptimize(out.size);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kAlloys));
}
BENCHMARK(BatchBinaryToCsv)->Unit(benchmark::kMillisecond);

// Every quaternary of one solvent (47,905 alloys), every row written, as CSV and as JSON lines:
// the writers' cost per row beside the screen's own.
void ScreenQuaternaryRows(benchmark::State& state) {
  const std::string format = state.range(0) == 0 ? "csv" : "jsonl";
  const std::vector<std::string> args{"screen", "quaternary", "--solvent", "Zr",
                                      "--all",  "--format",   format};
  std::size_t size = 0;
  for (auto _ : state) {
    testing::ScriptInput in("");
    CountingSink out;
    StringSink err;
    CliStreams streams{in, out, err};
    benchmark::DoNotOptimize(run_command_line(args, streams));
    size = out.size;
  }
  state.SetLabel(format);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(ScreenQuaternaryRows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace glassform
