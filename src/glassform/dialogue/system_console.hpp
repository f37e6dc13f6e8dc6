// The platform layer: the services of the controlling terminal, on POSIX systems and on
// Windows.
#pragma once

#include "glassform/dialogue/console.hpp"
#include "glassform/io/fd_streams.hpp"

namespace glassform {

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

// Makes writes to a closed pipe, and past a file-size limit, fail with an error instead of
// ending the process.
void ignore_broken_pipes();

}  // namespace glassform
