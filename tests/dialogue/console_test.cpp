#include "glassform/dialogue/console.hpp"

#include <gtest/gtest.h>

#include <string>

#include "session_harness.hpp"

namespace glassform {
namespace {

using testing::CapturedOutput;
using testing::FakeTerminal;
using testing::ScriptInput;

// A console over a fixed script.
struct ScriptedConsole {
  explicit ScriptedConsole(std::string_view text, std::size_t chunk = 4096)
      : input(text, chunk), console(input, output, terminal) {}
  ScriptInput input;
  CapturedOutput output;
  FakeTerminal terminal;
  Console console;
};

// Each row reads a sequence of operations and records what they returned.
// Operations: S = read symbol line, I = read integer, W = read word, D = discard.
struct InputCase {
  const char* name;
  const char* input;
  const char* operations;
  const char* expected;  // results joined by '|'
};

std::string run_operations(const InputCase& c, std::size_t chunk) {
  ScriptedConsole sc(c.input, chunk);
  std::string results;
  int value = -99;
  for (const char* op = c.operations; *op != '\0'; ++op) {
    if (!results.empty()) results += '|';
    switch (*op) {
      case 'S':
        results += "S:" + sc.console.read_symbol_line();
        break;
      case 'I': {
        const ReadStatus status = sc.console.read_int(value);
        results += status == ReadStatus::kOk         ? "I:" + std::to_string(value)
                   : status == ReadStatus::kNoNumber ? std::string("I:none")
                                                     : std::string("I:end");
        break;
      }
      case 'W': {
        const std::optional<char> first = sc.console.read_word();
        results += first ? std::string("W:") + *first : std::string("W:end");
        break;
      }
      case 'D':
        sc.console.discard_pending();
        results += "D";
        break;
      default:
        ADD_FAILURE() << "unknown operation " << *op;
    }
  }
  return results;
}

const std::string k63(63, 'a');
const std::string k64 = k63 + "b";
const std::string k65 = k63 + "bc";

class InputModel : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputModel, ReadsAsTheConsoleConventionsSay) {
  const InputCase& c = GetParam();
  for (std::size_t chunk : {std::size_t{4096}, std::size_t{1}, std::size_t{2}}) {
    EXPECT_EQ(run_operations(c, chunk), c.expected) << c.name << " with chunk size " << chunk;
  }
}

const std::string k63_line = k63 + "\nCu\n";
const std::string k64_line = k64 + "\nCu\n";
const std::string k65_line = k65 + "\nCu\n";
const std::string k63_expected = "S:" + k63 + "|S:Cu";
const std::string k64_expected = "S:" + k63 + "|S:Cu";
const std::string k64_no_discard = "S:" + k63 + "|W:b";

INSTANTIATE_TEST_SUITE_P(
    Cases, InputModel,
    ::testing::Values(
        InputCase{"symbol_line_plain", "Zr\nCu\n", "SS", "S:Zr|S:Cu"},
        InputCase{"symbol_line_keeps_blanks", " Cu \n", "S", "S: Cu "},
        InputCase{"symbol_line_empty_line", "\nCu\n", "SS", "S:|S:Cu"},
        InputCase{"symbol_line_end_of_input", "", "SS", "S:|S:"},
        InputCase{"symbol_line_without_line_feed", "Cu", "SS", "S:Cu|S:"},
        InputCase{"symbol_line_63_consumes_line_feed", k63_line.c_str(), "SS",
                  k63_expected.c_str()},
        InputCase{"symbol_line_64_rest_discarded", k64_line.c_str(), "SS", k64_expected.c_str()},
        InputCase{"symbol_line_65_rest_discarded", k65_line.c_str(), "SS", k64_expected.c_str()},
        InputCase{"symbol_line_64_rest_pending", k64_line.c_str(), "SW", k64_no_discard.c_str()},
        InputCase{"crlf_is_a_line_end", "Zr\r\nCu\r\n", "SS", "S:Zr|S:Cu"},
        InputCase{"lone_cr_stays_in_text", "Z\rr\n", "S", "S:Z\rr"},
        InputCase{"cr_at_end_of_input", "Cu\r", "S", "S:Cu\r"},
        InputCase{"int_plain", "12\n", "I", "I:12"},
        InputCase{"int_skips_lines", "\n\n  7\n", "I", "I:7"},
        InputCase{"int_signed", "-3 +4\n", "II", "I:-3|I:4"},
        InputCase{"int_2_5_leaves_fraction", "2.5\nZr\n", "IIS", "I:2|I:none|S:Zr"},
        InputCase{"int_2x_leaves_x", "2x\nZr\n", "IWS", "I:2|W:x|S:Zr"},
        InputCase{"int_no_digits_leaves_byte", "abc\n", "IW", "I:none|W:a"},
        InputCase{"int_lone_sign_fails", "- 5\n", "IW", "I:none|W:-"},
        InputCase{"int_end_of_input", "  \n", "I", "I:end"},
        InputCase{"int_saturates_high", "99999999999999999999\n", "I", "I:2147483647"},
        InputCase{"int_saturates_low", "-99999999999999999999\n", "I", "I:-2147483648"},
        InputCase{"int_32_bit_limits", "2147483647 -2147483648\n", "II",
                  "I:2147483647|I:-2147483648"},
        InputCase{"int_then_discard_then_symbol", "2\nZr\n", "IDS", "I:2|D|S:Zr"},
        InputCase{"discard_after_line_feed_keeps_next_line", "Zr\nCu\n", "SDS", "S:Zr|D|S:Cu"},
        InputCase{"word_y_3_then_int", "y 3\n", "WI", "W:y|I:3"},
        InputCase{"word_yes_please_then_int", "yes please\nZr\n", "WIS", "W:y|I:none|S:Zr"},
        InputCase{"word_skips_empty_lines", "\n\n\nn\n", "W", "W:n"},
        InputCase{"word_end_of_input", "\n \n", "W", "W:end"},
        InputCase{"word_crlf", "y\r\n3\r\n", "WI", "W:y|I:3"},
        InputCase{"discard_at_end_of_input", "2", "IDS", "I:2|D|S:"}),
    [](const ::testing::TestParamInfo<InputCase>& row) { return row.param.name; });

TEST(InputModel, ReadsAWordOfAnyLength) {
  const std::string word(1 << 20, 'y');
  const std::string text = word + " 3\n";
  ScriptedConsole sc(text);
  EXPECT_EQ(sc.console.read_word(), 'y');
  int value = 0;
  EXPECT_EQ(sc.console.read_int(value), ReadStatus::kOk);
  EXPECT_EQ(value, 3);
}

TEST(InputModel, FailedIntegerReadLeavesTargetUnchanged) {
  ScriptedConsole sc("abc\n");
  int value = 42;
  EXPECT_EQ(sc.console.read_int(value), ReadStatus::kNoNumber);
  EXPECT_EQ(value, 42);
  sc.console.discard_pending();
  EXPECT_EQ(sc.console.read_int(value), ReadStatus::kEndOfInput);
  EXPECT_EQ(value, 42);
}

TEST(ConsoleOutput, PromptIsWrittenBeforeTheReadWaits) {
  ScriptInput in("Cu\n");
  struct Probe final : OutputSink {
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
  } out;
  struct CheckingInput final : InputSource {
    CheckingInput(InputSource& source, const std::string& sink_text)
        : inner(source), written(sink_text) {}
    std::size_t read(char* buffer, std::size_t capacity) override {
      seen_at_read = written;
      return inner.read(buffer, capacity);
    }
    InputSource& inner;
    const std::string& written;
    std::string seen_at_read;
  } checking(in, out.text);
  FakeTerminal term;
  Console console(checking, out, term);
  console.print("prompt: ");
  EXPECT_EQ(console.read_symbol_line(), "Cu");
  EXPECT_EQ(checking.seen_at_read, "prompt: ");
}

TEST(ConsoleOutput, PlainAndFormattedPrintKeepProgramOrder) {
  ScriptInput in("");
  CapturedOutput out;
  FakeTerminal term;
  {
    Console console(in, out, term);
    console.print("a");
    console.print("{}{}", 1, "b");
    console.line_end();
    console.print("c");
  }
  EXPECT_EQ(out.text, "a1b\nc");
}

TEST(ConsoleOutput, LongFormattedTextIsNotTruncated) {
  ScriptInput in("");
  CapturedOutput out;
  FakeTerminal term;
  const std::string long_text(5000, 'x');
  {
    Console console(in, out, term);
    console.print("[{}]", long_text);
  }
  EXPECT_EQ(out.text, "[" + long_text + "]");
}

TEST(ConsoleOutput, ClearScreenWritesEscapesOnlyToATerminal) {
  for (const bool terminal : {true, false}) {
    ScriptInput in("");
    CapturedOutput out;
    FakeTerminal term(terminal);
    {
      Console console(in, out, term);
      console.print("x");
      console.clear_screen();
    }
    EXPECT_EQ(out.text, terminal ? "x\x1b[H\x1b[2J" : "x");
  }
}

}  // namespace
}  // namespace glassform
