// The platform layer: the standard streams as byte streams, and the services of the
// controlling terminal, on POSIX systems and on Windows.
#pragma once

#include "dialogue/console.hpp"

namespace glassform {

// Reads a file descriptor. Any read error, a closed descriptor or a directory counts as the
// end of input, and the end is final.
class FdInput final : public InputSource {
 public:
  explicit FdInput(int fd) : fd_(fd) {}
  std::size_t read(char* buffer, std::size_t capacity) override;

 private:
  int fd_;
  bool ended_ = false;
};

// Writes a file descriptor. After the first write error (closed output, full disk) further
// output is dropped, so the dialogue can still end normally.
class FdOutput final : public OutputSink {
 public:
  explicit FdOutput(int fd) : fd_(fd) {}
  void write(std::string_view bytes) override;
  [[nodiscard]] bool failed() const override { return failed_; }

 private:
  int fd_;
  bool failed_ = false;
};

// Terminal services over the standard input and output descriptors.
class SystemTerminal final : public TerminalServices {
 public:
  SystemTerminal(int input_fd, int output_fd);
  [[nodiscard]] bool output_is_terminal() const override { return output_is_terminal_; }
  void wait_for_key() override;
  bool clears_with_escapes() override;
  void clear_console() override;

 private:
  int input_fd_;
  bool input_is_terminal_;
  bool output_is_terminal_;
#if defined(_WIN32)
  // Whether the console has been asked to process escape sequences, and agreed.
  bool escapes_checked_ = false;
  bool escapes_ = true;
#endif
};

// Whether a file descriptor is a terminal.
bool is_terminal(int fd);

// Makes writes to a closed pipe fail with an error instead of ending the process.
void ignore_broken_pipes();

}  // namespace glassform
