// The console the dialogue runs over: an input source, an output sink and terminal
// services are injected, so whole sessions can run in memory as well as on a terminal.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "glassform/io/format.hpp"
#include "glassform/io/streams.hpp"

namespace glassform {

// Services that only a real terminal offers.
class TerminalServices {
 public:
  virtual ~TerminalServices() = default;
  // Whether the output is a terminal, so that clearing the screen makes sense.
  [[nodiscard]] virtual bool output_is_terminal() const = 0;
  // Waits for one key press without echo, bypassing the buffered input; returns at once
  // when there is no interactive terminal.
  virtual void wait_for_key() = 0;
  // Whether the terminal clears its screen on the escape sequences home and erase display;
  // otherwise `clear_console` does it (an old Windows console).
  virtual bool clears_with_escapes() { return true; }
  virtual void clear_console() {}
};

enum class ReadStatus { kOk, kNoNumber, kEndOfInput };

// The console conventions of the dialogue: one ordered output path with explicit line
// ends, and the reads of symbol lines, integers, words and single keys.
//
// Input follows a line model: a read "touches" a line when it examines any byte of it.
// Discarding pending input throws away the rest of the last touched line if its line feed
// has not been consumed yet, and nothing otherwise. A carriage return directly before a
// line feed is part of the line end.
class Console {
 public:
  static constexpr std::size_t kSymbolCapacity = 63;

  Console(InputSource& input, OutputSink& output, TerminalServices& terminal);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Output. Text is buffered and reaches the sink at a line end, before any read that has
  // to wait for input, before a key wait, and when the console is destroyed.
  void print(std::string_view text);
  template <typename... T>
  requires(sizeof...(T) > 0) void print(fmt::format_string<T...> format, T&&... args) {
    append_format(out_, format, std::forward<T>(args)...);
  }
  void line_end();
  void flush();
  void clear_screen();
  void wait_for_key();
  // Ends the run's output: when the input has ended and the output is a terminal, a line end,
  // so that the shell's prompt does not stick to the last question.
  void finish_session();

  // Input.
  void discard_pending();
  // Discards pending input, then reads one line: at most 63 bytes; a longer line leaves the
  // rest pending. At the end of input the text is empty.
  std::string read_symbol_line();
  // `%d` semantics: skips white space, reads an optionally signed decimal number and only
  // peeks at the byte after it. On kNoNumber and kEndOfInput `value` is left unchanged;
  // magnitudes beyond 32 bits saturate.
  ReadStatus read_int(int& value);
  // `%s` semantics: skips white space, reads one word of any length and only peeks at the
  // white space after it. Returns the word's first byte, or nothing at the end of input.
  std::optional<char> read_word();

 private:
  static constexpr int kEnd = -1;
  int peek(std::size_t ahead = 0);
  void consume();
  bool fill();

  InputSource& input_;
  OutputSink& output_;
  TerminalServices& terminal_;
  std::string out_;
  std::string in_;  // received input with CR LF already folded to LF
  std::size_t in_pos_ = 0;
  bool pending_cr_ = false;  // a CR at the end of a chunk, not yet known to precede a LF
  bool input_ended_ = false;
  bool line_open_ = false;  // the last touched line's line feed is not yet consumed
};

}  // namespace glassform
