#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "session_harness.hpp"

namespace glassform {
namespace {

using testing::run_script;

std::string read_file(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> golden_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(GLASSFORM_GOLDEN_DIR)) {
    if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenTranscript : public ::testing::TestWithParam<std::string> {};

// Each fixture is a scripted input and the exact output a user sees for it.
TEST_P(GoldenTranscript, MatchesByteForByte) {
  const std::filesystem::path base = std::filesystem::path(GLASSFORM_GOLDEN_DIR) / GetParam();
  const std::string input = read_file(base.string() + ".in");
  const std::string expected = read_file(base.string() + ".out");
  ASSERT_FALSE(expected.empty()) << "missing " << base << ".out";
  for (const std::size_t chunk : {std::size_t{4096}, std::size_t{1}}) {
    const testing::SessionRun run = run_script(input, chunk);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, expected) << "chunk size " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GoldenTranscript, ::testing::ValuesIn(golden_names()),
                         [](const ::testing::TestParamInfo<std::string>& row) {
                           return row.param;
                         });

constexpr std::string_view kMenuPrompt = "\n\n\t-> ";
constexpr std::string_view kRepeat = "\n\nWould you like to do another calculation (y/n)?\t- ";

// Runs of a script whose output must end with `ending`, always with status 0.
struct EndingCase {
  const char* name;
  const char* input;
  const char* ending;
  int key_waits;
};

class SessionEnds : public ::testing::TestWithParam<EndingCase> {};

TEST_P(SessionEnds, AtOnceWithStatusZero) {
  const EndingCase& c = GetParam();
  const testing::SessionRun run = run_script(c.input);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.output.ends_with(c.ending))
      << "output ends:\n"
      << run.output.substr(run.output.size() > 300 ? run.output.size() - 300 : 0);
  EXPECT_EQ(run.key_waits, c.key_waits);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SessionEnds,
    ::testing::Values(
        // end of input at each kind of read
        EndingCase{"eof_at_first_menu", "", "\n\n\n\t-> ", 0},
        EndingCase{"eof_at_menu_after_blank_lines", "\n \n", "\n\n\n\t-> ", 0},
        EndingCase{"eof_at_repeat_question", "1\n",
                   "continue...\n\n\nWould you like to do "
                   "another calculation (y/n)?\t- ",
                   1},
        EndingCase{"eof_at_second_menu", "1\ny\n", "\n\n\n\t-> ", 1},
        EndingCase{"eof_at_binary_solvent", "2\n",
                   "(e.g. Cu): Please enter the solute element "
                   "symbol: ",
                   0},
        EndingCase{"eof_at_binary_coordination", "2\nZr\nCu\n",
                   "\nWhat would you like the integer value to be? ", 0},
        EndingCase{"eof_after_rejected_coordination", "2\nZr\nCu\n0\n",
                   "\nWhat would you like the integer value to be? "
                   "\nWhat would you like the integer value to be? ",
                   0},
        EndingCase{"eof_at_ternary_first_coordination", "3\nCu\nZr\n",
                   "\nWhat would you like the integer value to be? ", 0},
        EndingCase{"eof_at_ternary_smallest_symbol", "3\nCu\nZr\n17\n",
                   "\nPlease enter the smallest solute element symbol: ", 0},
        EndingCase{"eof_at_ternary_second_coordination", "3\nCu\nZr\n17\nAl\n",
                   "is 15.06.\nWhat would you like the integer value to be? ", 0},
        EndingCase{"eof_at_quaternary_third_coordination", "4\nZr\nAl\nCu\nNi\n11\n10\n",
                   "(for Ni) is: 9.75\nWhat would you like the integer value to be? ", 0},
        EndingCase{"eof_in_middle_of_symbol_line", "2\nZr\nCx",
                   "Please enter the solute element "
                   "symbol: ERROR: \"Cx\"\n"
                   "\n\nWould you like to do another calculation "
                   "(y/n)?\t- ",
                   0},
        EndingCase{"eof_in_middle_of_menu_number", "1", "(y/n)?\t- ", 1},
        // empty symbols at every prompt position
        EndingCase{"empty_binary_solvent", "2\n\nCu\n",
                   "Please enter the solute element symbol: ", 0},
        EndingCase{"empty_binary_solute", "2\nZr\n\n",
                   "Please enter the solute element symbol: ", 0},
        EndingCase{"unknown_solvent_then_empty_solute", "2\nXx\n\n", "symbol: ERROR: \"Xx\"\n", 0},
        EndingCase{"empty_ternary_solvent", "3\n\nZr\n", "the largest solute element symbol: ", 0},
        EndingCase{"empty_ternary_largest", "3\nCu\n\n", "the largest solute element symbol: ", 0},
        EndingCase{"empty_ternary_smallest", "3\nCu\nZr\n17\n\n",
                   "\nPlease enter the smallest solute element symbol: ", 0},
        EndingCase{"empty_quaternary_solvent", "4\n\nAl\nCu\nNi\n",
                   "Please enter the smallest solute element symbol: ", 0},
        EndingCase{"empty_quaternary_largest", "4\nZr\n\nCu\nNi\n",
                   "Please enter the smallest solute element symbol: ", 0},
        EndingCase{"empty_quaternary_next", "4\nZr\nAl\n\nNi\n",
                   "Please enter the smallest solute element symbol: ", 0},
        EndingCase{"empty_quaternary_smallest", "4\nZr\nAl\nCu\n\n",
                   "Please enter the smallest solute element symbol: ", 0},
        EndingCase{"unknown_then_empty_in_quaternary_group", "4\nXx\nAl\n\nNi\n",
                   "Please enter the smallest solute element symbol: ERROR: \"Xx\"\n", 0},
        // key waits: the unavailable path and both size-similarity messages
        EndingCase{"first_check_waits_for_a_key", "3\nNi\nCo\n13\nB\n8\nn\n", kRepeat.data(), 1},
        EndingCase{"second_check_waits_for_a_key", "3\nNi\nZr\n16\nCo\n12\nn\n", kRepeat.data(), 1},
        EndingCase{"unavailable_every_pass", "1\ny\n7\ny\n0\nn\n", kRepeat.data(), 3}),
    [](const ::testing::TestParamInfo<EndingCase>& row) { return row.param.name; });

TEST(Session, MenuPromptIsTheLastOutputBeforeTheFirstRead) {
  const testing::SessionRun run = run_script("");
  EXPECT_TRUE(run.output.ends_with(kMenuPrompt));
  EXPECT_TRUE(run.output.starts_with("This programme helps"));
}

TEST(Session, ClearsTheScreenTwicePerPassOnATerminal) {
  const std::string clear = "\x1b[H\x1b[2J\x1b[3J";
  const testing::SessionRun run = run_script("1\ny\n1\nn\n", 4096, true);
  std::size_t count = 0;
  for (std::size_t at = run.output.find(clear); at != std::string::npos;
       at = run.output.find(clear, at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 4U);
  EXPECT_TRUE(run.output.starts_with(clear + "This programme"));
}

TEST(Session, BinaryClearsAfterTheIntegerAndQuaternaryTwice) {
  const std::string clear = "\x1b[H\x1b[2J\x1b[3J";
  const auto count_clears = [&](const char* input) {
    const std::string out = run_script(input, 4096, true).output;
    std::size_t count = 0;
    for (std::size_t at = out.find(clear); at != std::string::npos; at = out.find(clear, at + 1)) {
      ++count;
    }
    return count;
  };
  EXPECT_EQ(count_clears("2\nZr\nCu\n10\nn\n"), 3U);
  EXPECT_EQ(count_clears("3\nCu\nZr\n17\nAl\n15\nn\n"), 3U);
  EXPECT_EQ(count_clears("4\nZr\nAl\nCu\nNi\n7\n9\n30\nn\n"), 4U);
}

TEST(Session, SymbolWithNulAndInvalidUtf8IsEchoedAsTyped) {
  const std::string symbol("C\0u\xff\xfe", 5);
  const testing::SessionRun run = run_script("2\nZr\n" + symbol + "\nn\n");
  EXPECT_NE(run.output.find("ERROR: \"" + symbol + "\"\n"), std::string::npos);
  EXPECT_TRUE(run.output.ends_with(kRepeat));
}

TEST(Session, HugeLinesAndNumbersAreHandled) {
  const std::string huge(1 << 20, 'Q');
  const testing::SessionRun symbol_run = run_script("2\n" + huge + "\nCu\nn\n");
  EXPECT_NE(symbol_run.output.find("ERROR: \"" + huge.substr(0, 63) + "\"\n"), std::string::npos);
  EXPECT_EQ(symbol_run.status, 0);

  const testing::SessionRun repeat_run = run_script("1\n" + std::string(1 << 20, 'y') + " 1\nn\n");
  EXPECT_EQ(repeat_run.key_waits, 2);

  const testing::SessionRun number_run = run_script("2\nZr\nCu\n99999999999999\nn\n");
  EXPECT_NE(number_run.output.find("For a <2147483647> glass:"), std::string::npos);
  EXPECT_NE(number_run.output.find("Solute radius too big: Cu\n"), std::string::npos);
}

TEST(Session, OnlyWhiteSpaceEndsAtTheMenu) {
  const testing::SessionRun run = run_script(" \t\n\r\n\n  \n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.output.ends_with(kMenuPrompt));
}

}  // namespace
}  // namespace glassform
