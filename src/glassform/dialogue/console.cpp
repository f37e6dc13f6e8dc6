#include "glassform/dialogue/console.hpp"

#include "glassform/report/text/text_report.hpp"

#include <array>
#include <climits>
#include <cstdarg>
#include <cstdio>

namespace glassform {

namespace {

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(int c) {
  return c >= '0' && c <= '9';
}

}  // namespace

Console::Console(InputSource& input, OutputSink& output, TerminalServices& terminal)
    : input_(input), output_(output), terminal_(terminal) {}

Console::~Console() {
  flush();
}

void Console::print(std::string_view text) {
  out_.append(text);
}

void Console::line_end() {
  out_.push_back('\n');
  flush();
}

void Console::flush() {
  if (out_.empty()) return;
  output_.write(out_);
  out_.clear();
}

void Console::clear_screen() {
  // Home and erase the screen: the next output starts on an empty screen, and terminals that
  // keep a cleared screen in their history keep what came before. A pipe or a file gets
  // nothing.
  if (!terminal_.output_is_terminal()) {
    flush();
    return;
  }
  if (terminal_.clears_with_escapes()) {
    print("\x1b[H\x1b[2J");
    flush();
    return;
  }
  flush();
  terminal_.clear_console();
}

void Console::finish_session() {
  if (input_ended_ && terminal_.output_is_terminal()) {
    line_end();
    return;
  }
  flush();
}

void Console::wait_for_key() {
  flush();
  terminal_.wait_for_key();
}

bool Console::fill() {
  if (input_ended_) return false;
  flush();  // every prompt is visible before the program waits for its answer
  if (in_pos_ == in_.size()) {
    in_.clear();
    in_pos_ = 0;
  }
  std::array<char, 4096> chunk{};
  for (;;) {
    const std::size_t count = input_.read(chunk.data(), chunk.size());
    if (count == 0) {
      input_ended_ = true;
      if (pending_cr_) {
        pending_cr_ = false;
        in_.push_back('\r');
        return true;
      }
      return false;
    }
    const std::size_t before = in_.size();
    for (std::size_t i = 0; i < count; ++i) {
      const char c = chunk[i];
      if (pending_cr_) {
        pending_cr_ = false;
        if (c == '\n') {
          in_.push_back('\n');
          continue;
        }
        in_.push_back('\r');
      }
      if (c == '\r') {
        pending_cr_ = true;
      } else {
        in_.push_back(c);
      }
    }
    if (in_.size() > before) return true;
  }
}

int Console::peek(std::size_t ahead) {
  while (in_pos_ + ahead >= in_.size()) {
    if (!fill()) return kEnd;
  }
  if (ahead == 0) line_open_ = true;
  return static_cast<unsigned char>(in_[in_pos_ + ahead]);
}

void Console::consume() {
  line_open_ = in_[in_pos_] != '\n';
  ++in_pos_;
}

void Console::discard_pending() {
  if (!line_open_) return;
  for (int c = peek(); c != kEnd; c = peek()) {
    consume();
    if (c == '\n') break;
  }
  line_open_ = false;
}

std::string Console::read_symbol_line() {
  discard_pending();
  std::string text;
  for (int c = peek(); c != kEnd; c = peek()) {
    if (c == '\n') {
      consume();
      break;
    }
    if (text.size() == kSymbolCapacity) break;  // the rest stays pending
    text.push_back(static_cast<char>(c));
    consume();
  }
  return text;
}

ReadStatus Console::read_int(int& value) {
  int c = peek();
  while (c != kEnd && is_space(c)) {
    consume();
    c = peek();
  }
  if (c == kEnd) return ReadStatus::kEndOfInput;
  const bool sign = c == '+' || c == '-';
  if (!is_digit(sign ? peek(1) : c)) return ReadStatus::kNoNumber;
  const bool negative = c == '-';
  if (sign) consume();
  // Accumulate up to just past the 32-bit range, then saturate.
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (c = peek(); c != kEnd && is_digit(c); c = peek()) {
    if (magnitude < kLimit) magnitude = magnitude * 10 + (c - '0');
    consume();
  }
  if (magnitude > kLimit) magnitude = kLimit;
  const long long signed_value = negative ? -magnitude : magnitude;
  value = signed_value > INT_MAX ? INT_MAX : static_cast<int>(signed_value);
  return ReadStatus::kOk;
}

std::optional<char> Console::read_word() {
  int c = peek();
  while (c != kEnd && is_space(c)) {
    consume();
    c = peek();
  }
  if (c == kEnd) return std::nullopt;
  const char first = static_cast<char>(c);
  while (c != kEnd && !is_space(c)) {
    consume();
    c = peek();
  }
  return first;
}

}  // namespace glassform
