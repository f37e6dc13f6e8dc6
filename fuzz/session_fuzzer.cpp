// Runs a whole session in memory with the fuzzer's bytes as standard input, and fails on
// anything a user must never see: a crash or sanitizer report, a status other than 0, a
// printed NaN or infinity, a session that does not end when its input is exhausted, or
// output out of all proportion to the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "session_harness.hpp"

namespace {

using glassform::testing::CapturedOutput;
using glassform::testing::FakeTerminal;
using glassform::testing::ScriptInput;

// Every pass of the dialogue consumes input, so a session asks for more input only a few
// times once the input has ended.
class EndingInput final : public glassform::InputSource {
 public:
  EndingInput(std::string_view text, std::size_t chunk) : script_(text, chunk) {}
  std::size_t read(char* buffer, std::size_t capacity) override {
    const std::size_t count = script_.read(buffer, capacity);
    if (count == 0 && ++reads_after_end_ > kReadsAfterEnd) fail("session goes on after its input");
    return count;
  }

  [[noreturn]] static void fail(const char* what) {
    std::fprintf(stderr, "session fuzzer: %s\n", what);
    std::abort();
  }

 private:
  static constexpr int kReadsAfterEnd = 4;
  ScriptInput script_;
  int reads_after_end_ = 0;
};

// The output without the echoed text of unknown symbols, which is the user's own.
std::string without_echoed_symbols(std::string text) {
  constexpr std::string_view kError = "ERROR: \"";
  for (std::size_t at = text.find(kError); at != std::string::npos; at = text.find(kError, at)) {
    const std::size_t end = text.find('\n', at);
    text.erase(at, end == std::string::npos ? std::string::npos : end - at);
  }
  return text;
}

// Upper bound on output: the longest report per input byte of the shortest script that
// produces it is far below this factor.
constexpr std::size_t kOutputPerInputByte = 1000;
constexpr std::size_t kOutputConstant = 16384;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Odd first bytes feed the input one byte per read, to cover every chunk boundary.
  const std::size_t chunk = size > 0 && (data[0] & 1U) != 0 ? 1 : 4096;
  EndingInput in(input, chunk);
  CapturedOutput out;
  FakeTerminal terminal(size > 0 && (data[0] & 2U) != 0);
  int status = -1;
  {
    glassform::Console console(in, out, terminal);
    status = glassform::run_session(console);
  }
  if (status != 0) EndingInput::fail("exit status other than 0");
  if (out.text.size() > kOutputPerInputByte * size + kOutputConstant) {
    EndingInput::fail("output out of proportion to the input");
  }
  const std::string own = without_echoed_symbols(out.text);
  for (const std::string_view bad : {"nan", "NAN", "inf", "INF"}) {
    if (own.find(bad) != std::string::npos) EndingInput::fail("a printed NaN or infinity");
  }
  return 0;
}
