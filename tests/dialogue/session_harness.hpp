// Runs whole dialogue sessions in memory: scripted input bytes in, output bytes out.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "glassform/dialogue/console.hpp"
#include "glassform/dialogue/dialogue.hpp"

namespace glassform::testing {

// Serves a fixed text, at most `chunk` bytes per read, to exercise chunk boundaries.
class ScriptInput final : public InputSource {
 public:
  explicit ScriptInput(std::string_view text, std::size_t chunk = 4096)
      : text_(text), chunk_(chunk) {}
  std::size_t read(char* buffer, std::size_t capacity) override {
    const std::size_t count = std::min({capacity, chunk_, text_.size() - pos_});
    if (count > 0) std::memcpy(buffer, text_.data() + pos_, count);
    pos_ += count;
    return count;
  }
  [[nodiscard]] std::size_t consumed() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

class CapturedOutput final : public OutputSink {
 public:
  void write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

class FakeTerminal final : public TerminalServices {
 public:
  explicit FakeTerminal(bool is_terminal = false) : is_terminal_(is_terminal) {}
  [[nodiscard]] bool output_is_terminal() const override { return is_terminal_; }
  void wait_for_key() override { ++key_waits; }
  int key_waits = 0;

 private:
  bool is_terminal_;
};

struct SessionRun {
  std::string output;
  int status;
  int key_waits;
};

inline SessionRun run_script(std::string_view input, std::size_t chunk = 4096,
                             bool terminal = false) {
  ScriptInput in(input, chunk);
  CapturedOutput out;
  FakeTerminal term(terminal);
  int status = 0;
  {
    Console console(in, out, term);
    status = run_session(console);
  }
  return {out.text, status, term.key_waits};
}

}  // namespace glassform::testing
