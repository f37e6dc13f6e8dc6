// Runs the command line in memory on the fuzzer's bytes: the first line gives the arguments
// (separated by blanks; the first byte picks the subcommand, or none, and how input is read), the
// rest is standard input for `batch`, `--file -` and `--measured -` (a measurement file). Fails on
// a crash or sanitizer report, an exit status other than 0, 1 or 2, a usage error that still wrote
// to standard output, a printed NaN or infinity, or output out of all proportion to the input.
// Options that name files are dropped (the run stays in memory) and screens and maps are kept
// small.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/cli/command_line.hpp"
#include "session_harness.hpp"

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "cli fuzzer: %s\n", what);
  std::abort();
}

constexpr std::array<std::string_view, 11> kCommands{"binary",   "ternary", "quaternary", "batch",
                                                     "elements", "cluster", "weigh",      "elastic",
                                                     "screen",   "fields",  "assess"};

std::vector<std::string> arguments(std::string_view line, std::uint8_t pick) {
  std::vector<std::string> args;
  if (pick < kCommands.size()) args.emplace_back(kCommands[pick]);
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ')
      ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ')
      ++j;
    if (j > i) args.emplace_back(line.substr(i, j - i));
    i = j;
  }
  // Keep the run in memory: no output file, and batch and --file read standard input.
  std::vector<std::string> kept;
  const bool batch = !args.empty() && args[0] == "batch";
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    if (a == "-o" || a == "--output") {
      ++k;
      continue;
    }
    if (a.rfind("-o", 0) == 0 || a.rfind("--output", 0) == 0 || a.rfind("--o", 0) == 0) continue;
    if (a == "--file") {
      kept.emplace_back("--file");
      kept.emplace_back("-");
      ++k;
      continue;
    }
    // The measurements come from standard input too, where nothing else reads it.
    if (a == "--measured" && !batch) {
      kept.emplace_back("--measured");
      kept.emplace_back("-");
      ++k;
      continue;
    }
    if (a.rfind("--fi", 0) == 0 || a.rfind("--p", 0) == 0 || a.rfind("--me", 0) == 0) continue;
    // A user's element data comes from files: none is read here.
    if (a == "--elements" || a == "--mixing-enthalpy") {
      ++k;
      continue;
    }
    if (a.rfind("--el", 0) == 0 || a.rfind("--mi", 0) == 0) continue;
    const bool format_value = k > 0 && args[k - 1] == "--format";
    if (batch && k > 0 && !a.empty() && a[0] != '-' && !format_value) continue;
    kept.push_back(a);
  }
  // Keep a screen small enough for a sanitizer build: one kind below the quaternary, in
  // decreasing radius order, over the solvents named; a grid at step 25 (3 compositions a
  // system) or a neighbourhood of one step either side.
  if (!kept.empty() && kept[0] == "screen") {
    std::vector<std::string> small;
    bool grid = false;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      std::string& a = kept[k];
      if (a == "--any-order") continue;
      if (a.rfind("--g", 0) == 0 || a.rfind("--ra", 0) == 0 || a.rfind("--st", 0) == 0) {
        grid = grid || a.rfind("--g", 0) == 0;
        if (a.find('=') == std::string::npos) ++k;
        continue;
      }
      if (a == "all") a = "Zr";
      if (a == "quaternary") a = "ternary";
      small.push_back(a);
    }
    if (grid) small.emplace_back("--grid=25");
    if (std::find(small.begin(), small.end(), "--around") != small.end()) {
      small.emplace_back("--radius=1");
    }
    kept = std::move(small);
  }
  // A map at step 25, 15 compositions: its size is the step's, not the input's.
  if (!kept.empty() && kept[0] == "map") {
    std::vector<std::string> small;
    for (std::size_t k = 0; k < kept.size(); ++k) {
      if (kept[k] == "--step") {
        ++k;
        continue;
      }
      if (kept[k].rfind("--st", 0) != 0) small.push_back(kept[k]);
    }
    small.emplace_back("--step");
    small.emplace_back("25");
    kept = std::move(small);
  }
  if (kept.empty()) kept.emplace_back("elements");
  return kept;
}

constexpr std::size_t kOutputPerInputByte = 4000;
constexpr std::size_t kOutputConstant = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t newline = text.find('\n');
  const std::string_view line = text.substr(0, newline);
  const std::string_view input =
      newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
  const std::vector<std::string> args = arguments(line, static_cast<std::uint8_t>(data[0] % 12));

  glassform::testing::ScriptInput in(input, (data[0] & 16U) != 0 ? 1 : 4096);
  glassform::StringSink out;
  glassform::StringSink err;
  glassform::CliStreams streams{in, out, err};
  const int status = glassform::run_command_line(args, streams);
  if (status < 0 || status > 2) fail("exit status other than 0, 1 or 2");
  if (status == 2 && !out.text.empty()) fail("a usage error wrote to standard output");
  // The element table alone is some 2 KB; a batch line of a few bytes gives a whole report.
  if (out.text.size() > kOutputPerInputByte * size + kOutputConstant) {
    fail("output out of proportion to the input");
  }
  // A batch line's label is the user's own text, written back as it is: an input that holds
  // the letters itself can show them.
  for (const std::string_view bad : {"nan", "NAN", "inf", "INF"}) {
    if (out.text.find(bad) != std::string::npos && input.find(bad) == std::string_view::npos) {
      fail("a printed NaN or infinity");
    }
  }
  return 0;
}
