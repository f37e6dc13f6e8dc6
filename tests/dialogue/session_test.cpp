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
        EndingCase{"eof_in_middle_of_coordination_reply", "2\nZr\nCu\n10",
                   "C44/C11 = 0.2633\n\nWould you like to do another calculation (y/n)?\t- ", 0},
        EndingCase{"eof_in_middle_of_repeat_answer", "1\ny", "\n\n\n\t-> ", 1},
        EndingCase{"eof_in_middle_of_rejected_reply", "2\nZr\nCu\nabc",
                   "\nWhat would you like the integer value to be? "
                   "\nWhat would you like the integer value to be? ",
                   0},
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

// An unknown symbol at any position ends that calculation after the group's error lines.
struct UnknownCase {
  const char* name;
  const char* input;
  const char* error_line;
};

class UnknownSymbol : public ::testing::TestWithParam<UnknownCase> {};

TEST_P(UnknownSymbol, EndsTheCalculationAfterItsErrorLine) {
  const UnknownCase& c = GetParam();
  const testing::SessionRun run = run_script(std::string(c.input) + "n\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.output.ends_with(std::string(c.error_line) + std::string(kRepeat)))
      << run.output.substr(run.output.size() > 300 ? run.output.size() - 300 : 0);
  EXPECT_EQ(run.output.find("coordination number calculated"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnknownSymbol,
    ::testing::Values(
        UnknownCase{"binary_solvent", "2\nXx\nCu\n", "solute element symbol: ERROR: \"Xx\"\n"},
        UnknownCase{"binary_solute", "2\nZr\ncu\n", "solute element symbol: ERROR: \"cu\"\n"},
        UnknownCase{"ternary_solvent", "3\nCu \nZr\n", "solute element symbol: ERROR: \"Cu \"\n"},
        UnknownCase{"ternary_largest", "3\nCu\nZirconium\n",
                    "solute element symbol: ERROR: \"Zirconium\"\n"},
        UnknownCase{"quaternary_solvent", "4\nzr\nAl\nCu\nNi\n",
                    "smallest solute element symbol: ERROR: \"zr\"\n"},
        UnknownCase{"quaternary_largest", "4\nZr\nAL\nCu\nNi\n",
                    "smallest solute element symbol: ERROR: \"AL\"\n"},
        UnknownCase{"quaternary_smallest", "4\nZr\nAl\nCu\n Ni\n",
                    "smallest solute element symbol: ERROR: \" Ni\"\n"},
        UnknownCase{"quaternary_all_four", "4\na\nb\nc\nd\n",
                    "ERROR: \"a\"\nERROR: \"b\"\nERROR: \"c\"\nERROR: \"d\"\n"}),
    [](const ::testing::TestParamInfo<UnknownCase>& row) { return row.param.name; });

TEST(UnknownSymbol, TernarySmallestEndsTheCalculationAfterTheFirstCluster) {
  const testing::SessionRun run = run_script("3\nCu\nZr\n17\nAlu\nn\n");
  EXPECT_TRUE(
      run.output.ends_with("\nPlease enter the smallest solute element symbol: ERROR: \"Alu\"\n" +
                           std::string(kRepeat)));
}

// Records, at every read of input, the output written so far.
class PromptCheckingInput final : public InputSource {
 public:
  PromptCheckingInput(std::string_view text, const std::string& output)
      : script_(text, 1), output_(output) {}
  std::size_t read(char* buffer, std::size_t capacity) override {
    outputs_at_read.push_back(output_);
    return script_.read(buffer, capacity);
  }
  std::vector<std::string> outputs_at_read;

 private:
  testing::ScriptInput script_;
  const std::string& output_;
};

TEST(Session, EveryReadWaitsBehindAVisiblePrompt) {
  const std::string script =
      "2\nZr\nCu\nabc\n10\ny\n3\nCu\nZr\n17\nAl\n15\ny\n4\nZr\nAl\nCu\nNi\n7\n9\n30\n"
      "y\n1\nn\n";
  testing::CapturedOutput out;
  PromptCheckingInput in(script, out.text);
  testing::FakeTerminal term;
  {
    Console console(in, out, term);
    EXPECT_EQ(run_session(console), 0);
  }
  const std::vector<std::string_view> prompts{
      "\t-> ", "(e.g. Cu): ", "element symbol: ", "integer value to be? ", "(y/n)?\t- "};
  ASSERT_GE(in.outputs_at_read.size(), script.size());
  for (const std::string& shown : in.outputs_at_read) {
    EXPECT_TRUE(std::any_of(prompts.begin(), prompts.end(),
                            [&](std::string_view p) { return shown.ends_with(p); }))
        << "read without a prompt after: ..." << shown.substr(shown.size() - 80);
  }
}

TEST(Session, MenuPromptIsTheLastOutputBeforeTheFirstRead) {
  const testing::SessionRun run = run_script("");
  EXPECT_TRUE(run.output.ends_with(kMenuPrompt));
  EXPECT_TRUE(run.output.starts_with("This programme helps"));
}

TEST(Session, ClearsTheScreenTwicePerPassOnATerminal) {
  const std::string clear = "\x1b[H\x1b[2J";
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
  const std::string clear = "\x1b[H\x1b[2J";
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

  // Where: the binary report, the ternary report (after the second integer and before its
  // out-of-range line), and the quaternary questions and report start on a cleared screen.
  const auto follows_clear = [&](const char* input, const std::string& text) {
    const std::string out = run_script(input, 4096, true).output;
    return out.find(clear + text) != std::string::npos;
  };
  EXPECT_TRUE(follows_clear("2\nZr\nCu\n10\nn\n", "For a <10> glass:"));
  EXPECT_TRUE(follows_clear("3\nCu\nZr\n17\nAl\n15\nn\n", "For a <17,15> glass:"));
  EXPECT_TRUE(follows_clear("3\nCu\nZr\n17\nAl\n40\nn\n", "Radius ratio too big: \"Al\"\n"));
  EXPECT_TRUE(follows_clear("4\nZr\nAl\nCu\nNi\n7\n9\n30\nn\n",
                            "The coordination number calculated (for Al) is: 11.11"));
  EXPECT_TRUE(follows_clear("4\nZr\nAl\nCu\nNi\n7\n9\n30\nn\n", "For a <7,9,30> glass:"));
  EXPECT_TRUE(follows_clear("1\nn\n", "Selection unavailable\n"));
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
