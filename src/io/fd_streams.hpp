// The standard streams (or any file descriptor) as byte streams, on POSIX systems and on
// Windows.
#pragma once

#include "io/streams.hpp"

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

// Whether a file descriptor is a terminal.
bool is_terminal(int fd);

}  // namespace glassform
