#include "glassform/io/fd_streams.hpp"

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace glassform {

#if defined(_WIN32)

std::size_t FdInput::read(char* buffer, std::size_t capacity) {
  if (ended_) return 0;
  const int count = ::_read(fd_, buffer, static_cast<unsigned>(capacity));
  if (count <= 0) {
    if (count < 0) error_ = errno;
    ended_ = true;
    return 0;
  }
  return static_cast<std::size_t>(count);
}

void FdOutput::write(std::string_view bytes) {
  while (error_ == 0 && !bytes.empty()) {
    const int count = ::_write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (count <= 0) {
      error_ = count < 0 ? errno : EIO;
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

bool is_terminal(int fd) {
  return ::_isatty(fd) != 0;
}

unsigned open_closed_standard_descriptors() {
  return 0;  // the C runtime gives every console program its standard descriptors
}

#else

std::size_t FdInput::read(char* buffer, std::size_t capacity) {
  while (!ended_) {
    const ssize_t count = ::read(fd_, buffer, capacity);
    if (count > 0) return static_cast<std::size_t>(count);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error_ = errno;
    ended_ = true;
  }
  return 0;
}

void FdOutput::write(std::string_view bytes) {
  while (error_ == 0 && !bytes.empty()) {
    const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      error_ = count < 0 ? errno : EIO;
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

bool is_terminal(int fd) {
  return ::isatty(fd) != 0;
}

unsigned open_closed_standard_descriptors() {
  unsigned closed = 0;
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is this one.
    if (::open("/dev/null", O_RDWR) == fd) closed |= 1U << static_cast<unsigned>(fd);
  }
  return closed;
}

#endif

}  // namespace glassform
