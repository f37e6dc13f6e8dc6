#include "io/fd_streams.hpp"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>

#include <cerrno>
#endif

namespace glassform {

#if defined(_WIN32)

std::size_t FdInput::read(char* buffer, std::size_t capacity) {
  if (ended_) return 0;
  const int count = ::_read(fd_, buffer, static_cast<unsigned>(capacity));
  if (count <= 0) {
    ended_ = true;
    return 0;
  }
  return static_cast<std::size_t>(count);
}

void FdOutput::write(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const int count = ::_write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (count <= 0) {
      failed_ = true;
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

bool is_terminal(int fd) {
  return ::_isatty(fd) != 0;
}

#else

std::size_t FdInput::read(char* buffer, std::size_t capacity) {
  while (!ended_) {
    const ssize_t count = ::read(fd_, buffer, capacity);
    if (count > 0) return static_cast<std::size_t>(count);
    if (count < 0 && errno == EINTR) continue;
    ended_ = true;
  }
  return 0;
}

void FdOutput::write(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      failed_ = true;
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

bool is_terminal(int fd) {
  return ::isatty(fd) != 0;
}

#endif

}  // namespace glassform
