#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "cli_harness.hpp"

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
  EXPECT_EQ(lines(run.out).size(), 4U);
}

}  // namespace
}  // namespace glassform
