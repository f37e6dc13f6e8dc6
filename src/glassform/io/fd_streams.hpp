// The standard streams (or any file descriptor) as byte streams, on POSIX systems and on
// Windows.
#pragma once

#include <cerrno>

#include "glassform/io/streams.hpp"

namespace glassform {

// Reads a file descriptor. A read error (a closed descriptor, a directory) ends the input, and
// the end is final; `error` tells which. `closed` marks a descriptor that was closed when the
// program started (and has since been opened on the null device): reading it fails with EBADF.
class FdInput final : public InputSource {
 public:
  explicit FdInput(int fd, bool closed = false) : fd_(fd), error_(closed ? EBADF : 0) {
    ended_ = closed;
  }
  std::size_t read(char* buffer, std::size_t capacity) override;
  [[nodiscard]] int error() const override { return error_; }

 private:
  int fd_;
  int error_;
  bool ended_ = false;
};

// Writes a file descriptor. After the first write error (closed output, full disk) further
// output is dropped, so the dialogue can still end normally; `error` tells which.
class FdOutput final : public OutputSink {
 public:
  // `closed`: the descriptor was closed when the program started, and every write fails.
  explicit FdOutput(int fd, bool closed = false) : fd_(fd), error_(closed ? EBADF : 0) {}
  void write(std::string_view bytes) override;
  [[nodiscard]] bool failed() const override { return error_ != 0; }
  [[nodiscard]] int error() const override { return error_; }

 private:
  int fd_;
  int error_;
};

// Whether a file descriptor is a terminal.
bool is_terminal(int fd);

// Opens the null device on each of the standard descriptors 0, 1 and 2 that is closed, so that
// no file opened later takes its number; returns which were closed (bit n for descriptor n).
unsigned open_closed_standard_descriptors();

}  // namespace glassform
