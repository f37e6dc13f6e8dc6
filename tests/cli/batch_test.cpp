#include <gtest/gtest.h>

#include <algorithm>

#include "test_names.hpp"

#include "cli_harness.hpp"
#include "glassform/cli/cli_internal.hpp"

namespace glassform::cli {
namespace {

std::vector<std::string> lines_of(std::string_view text, std::size_t chunk,
                                  std::vector<bool>* long_flags = nullptr) {
  testing::ScriptInput in(text, chunk);
  LineReader reader(in);
  std::vector<std::string> lines;
  std::string line;
  bool too_long = false;
  while (reader.next(line, too_long)) {
    lines.push_back(line);
    if (long_flags != nullptr) long_flags->push_back(too_long);
  }
  return lines;
}

TEST(LineReader, SplitsLfAndCrLfLinesAcrossReadBoundaries) {
  for (const std::size_t chunk : {1U, 2U, 3U, 4096U}) {
    EXPECT_EQ(lines_of("a\r\nb\n\nc", chunk), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(lines_of("a\n", chunk), (std::vector<std::string>{"a"}));
    EXPECT_EQ(lines_of("", chunk), (std::vector<std::string>{}));
    EXPECT_EQ(lines_of("x\r", chunk), (std::vector<std::string>{"x"}));
  }
}

// A source without end and without line ends (a device of zeros): the long line is said at once
// and the reading gives up after a bounded skip, instead of waiting for a line end forever.
TEST(LineReader, GivesUpOnAnEndlessLine) {
  struct Zeros final : InputSource {
    std::size_t given = 0;
    std::size_t read(char* buffer, std::size_t capacity) override {
      std::fill_n(buffer, capacity, '\0');
      given += capacity;
      return capacity;
    }
  } zeros;
  LineReader reader(zeros);
  std::string line;
  bool too_long = false;
  ASSERT_TRUE(reader.next(line, too_long));
  EXPECT_TRUE(too_long);
  EXPECT_LT(zeros.given, std::size_t{1} << 17);  // said before reading much past the limit
  EXPECT_FALSE(reader.next(line, too_long));
  EXPECT_TRUE(reader.abandoned());
  EXPECT_LT(zeros.given, 2 * LineReader::kMostSkipped);
}

TEST(LineReader, CutsOverlongLinesAndGoesOn) {
  const std::string huge(3 * LineReader::kMaxLine, 'x');
  std::vector<bool> flags;
  const std::vector<std::string> lines = lines_of(huge + "\nZr Cu\n", 1000, &flags);
  ASSERT_EQ(lines.size(), 2U);
  EXPECT_TRUE(flags[0]);
  EXPECT_EQ(lines[0].size(), LineReader::kMaxLine);
  EXPECT_FALSE(flags[1]);
  EXPECT_EQ(lines[1], "Zr Cu");
}

struct LineCase {
  const char* line;
  const char* error;  // empty for a good line, nullptr for a skipped one
  std::size_t elements;
  std::size_t chosen;
};

class BatchLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(BatchLines, ParseAsExpected) {
  const LineCase& c = GetParam();
  const BatchLine parsed = parse_batch_line(c.line);
  if (c.error == nullptr) {
    EXPECT_TRUE(parsed.skip) << c.line;
    return;
  }
  EXPECT_FALSE(parsed.skip);
  EXPECT_EQ(parsed.error, c.error) << c.line;
  if (parsed.error.empty()) {
    EXPECT_EQ(parsed.element_count, c.elements);
    EXPECT_EQ(parsed.chosen_count, c.chosen);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchLines,
    ::testing::Values(
        LineCase{"", nullptr, 0, 0}, LineCase{" \t, ", nullptr, 0, 0},
        LineCase{"# Zr Cu", nullptr, 0, 0}, LineCase{"  # x", nullptr, 0, 0},
        LineCase{"Zr Cu", "", 2, 0}, LineCase{"Zr,,Cu,10", "", 2, 1},
        LineCase{"Cu\tZr\tAl\t17\t+15", "", 3, 2}, LineCase{"Zr Al Cu Ni 1 2 3", "", 4, 3},
        LineCase{"Zr", "expected 2, 3 or 4 element symbols, found 1", 0, 0},
        LineCase{"Zr Cu Al Ni Fe", "expected 2, 3 or 4 element symbols, found 5", 0, 0},
        LineCase{"Zr cu", "unknown symbol \"cu\": did you mean Cu?", 0, 0},
        LineCase{"Zr Cu 10 11", "expected 1 integer (one per solute), found 2", 0, 0},
        LineCase{"Zr Al Cu Ni 1 2 3 4 5", "expected 3 integers (one per solute), found 5", 0, 0},
        LineCase{"Zr Cu 0",
                 "coordination number 0 is below 1: a coordination number counts "
                 "neighbours",
                 0, 0},
        LineCase{"Zr Cu 1x", "bad integer \"1x\"", 0, 0},
        LineCase{"Zr Cu 99999999999", "bad integer \"99999999999\"", 0, 0},
        LineCase{"Zr 10 Cu", "expected an integer, found \"Cu\"", 0, 0}),
    [](const ::testing::TestParamInfo<LineCase>& row) {
      return testing::case_name(row.index, row.param.line);
    });

TEST(Suggestions, NameCloseSymbols) {
  EXPECT_EQ(unknown_symbol_message("CU"), "unknown symbol \"CU\": did you mean Cu?");
  EXPECT_EQ(unknown_symbol_message("Qq"), "unknown symbol \"Qq\"");
  EXPECT_EQ(unknown_symbol_message("Zx"), "unknown symbol \"Zx\": did you mean Zn or Zr?");
  EXPECT_EQ(unknown_symbol_message("X"),
            "unknown symbol \"X\": did you mean O, N or C?");  // the first three in table order
  // The symbols that begin with a short text come first; an empty text suggests nothing.
  EXPECT_EQ(unknown_symbol_message("Z"), "unknown symbol \"Z\": did you mean Zn, Zr or O?");
  EXPECT_EQ(unknown_symbol_message(""), "unknown symbol \"\"");
}

}  // namespace
}  // namespace glassform::cli
