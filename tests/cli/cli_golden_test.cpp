// Command-line golden tests: golden/NAME.args holds the arguments (one per line), NAME.in the
// standard input if any; NAME.out, NAME.err and NAME.status the exact standard output,
// standard error and exit status. They run from the golden folder, so batch files there are
// found by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli_harness.hpp"

namespace glassform {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> read_args(const fs::path& path) {
  std::vector<std::string> args;
  std::istringstream lines(read_file(path));
  for (std::string line; std::getline(lines, line);)
    args.push_back(line);
  return args;
}

std::vector<std::string> case_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(GLASSFORM_CLI_GOLDEN_DIR)) {
    if (entry.path().extension() == ".args") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CliGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(CliGolden, MatchesExactly) {
  const fs::path dir = GLASSFORM_CLI_GOLDEN_DIR;
  const std::string& name = GetParam();
  const fs::path saved = fs::current_path();
  fs::current_path(dir);
  const testing::CliRun run =
      testing::run_cli(read_args(dir / (name + ".args")), read_file(dir / (name + ".in")));
  fs::current_path(saved);
  EXPECT_EQ(run.out, read_file(dir / (name + ".out")));
  EXPECT_EQ(run.err, read_file(dir / (name + ".err")));
  EXPECT_EQ(std::to_string(run.status) + "\n", read_file(dir / (name + ".status")));
}

INSTANTIATE_TEST_SUITE_P(Cases, CliGolden, ::testing::ValuesIn(case_names()),
                         [](const auto& test_case) { return test_case.param; });

}  // namespace
}  // namespace glassform
