#include "glassform/cli/output.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/format.hpp"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace glassform::cli {

namespace {

namespace fs = std::filesystem;

std::string reason(const std::string& path, int error) {
  return path + ": " + std::strerror(error);
}

// --- The temporary files in progress, for the signal handler ---------------------------------
// The one piece of global state: a handler can reach nothing else. Fixed slots, filled before
// a temporary file exists and emptied after it is gone, so the handler never allocates.

constexpr std::size_t kSlots = 4;
constexpr std::size_t kSlotPath = 4096;
struct TemporarySlot {
  volatile std::sig_atomic_t used;
  std::array<char, kSlotPath> path;
};
std::array<TemporarySlot, kSlots> g_temporaries{};  // NOLINT(*-avoid-non-const-global-variables)

std::size_t claim_slot(const std::string& path) {
  if (path.size() >= kSlotPath) return kSlots;
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (g_temporaries[i].used != 0) continue;
    std::memcpy(g_temporaries[i].path.data(), path.c_str(), path.size() + 1);
    g_temporaries[i].used = 1;
    return i;
  }
  return kSlots;
}

void release_slot(std::size_t slot) {
  if (slot < kSlots) g_temporaries[slot].used = 0;
}

extern "C" void remove_temporaries_and_reraise(int signal_number) {
  for (TemporarySlot& slot : g_temporaries) {
#if defined(_WIN32)
    if (slot.used != 0) ::_unlink(slot.path.data());
#else
    if (slot.used != 0) ::unlink(slot.path.data());
#endif
  }
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

// --- Descriptors --------------------------------------------------------------------------

#if defined(_WIN32)
int open_new(const std::string& path, int mode) {
  return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, mode);
}
int open_existing(const std::string& path, bool truncate) {
  return ::_open(path.c_str(), _O_WRONLY | _O_BINARY | (truncate ? _O_TRUNC : 0));
}
long write_some(int fd, const char* data, std::size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(size));
}
int close_fd(int fd) {
  return ::_close(fd);
}
int remove_file(const std::string& path) {
  return ::_unlink(path.c_str());
}
#else
int open_new(const std::string& path, mode_t mode) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}
int open_existing(const std::string& path, bool truncate) {
  return ::open(path.c_str(), O_WRONLY | O_CLOEXEC | (truncate ? O_TRUNC : 0));
}
long write_some(int fd, const char* data, std::size_t size) {
  return ::write(fd, data, size);
}
int close_fd(int fd) {
  return ::close(fd);
}
int remove_file(const std::string& path) {
  return ::unlink(path.c_str());
}
#endif

// Writes all of `bytes`; the errno of a failure, or 0.
int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const long count = write_some(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return count < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return 0;
}

// The folder of a path ("." for a bare name).
std::string folder_of(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

#if !defined(_WIN32)
// The descriptor that a path through /dev/fd, /dev/std* or /proc/<this process>/fd names, or
// -1. Written through a duplicate, so that `-o /dev/stdout >> log` appends to the log.
int named_descriptor(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  std::string number;
  if (path.rfind("/dev/fd/", 0) == 0) {
    number = path.substr(8);
  } else if (path.rfind("/proc/self/fd/", 0) == 0) {
    number = path.substr(14);
  } else {
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    if (path.rfind(own, 0) != 0) return -1;
    number = path.substr(own.size());
  }
  if (number.empty() || number.size() > 6 ||
      number.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  return std::stoi(number);
}

// Where a dangling symbolic link points in the end (its chain followed), or the path itself.
std::string final_target(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::array<char, 4096> link{};
    const ssize_t n = ::readlink(current.c_str(), link.data(), link.size() - 1);
    if (n < 0) return current;
    const std::string next(link.data(), static_cast<std::size_t>(n));
    if (next.front() == '/') {
      current = next;
    } else {
      current = folder_of(current);
      current += '/';
      current += next;
    }
  }
  return current;
}
#endif

// A writable, searchable folder for the temporary file of `path`, or a RunError.
void check_folder(const std::string& path, const std::string& folder) {
  std::error_code code;
  const fs::file_status status = fs::status(folder, code);
  if (code) throw RunError(path + ": " + code.message());
  if (!fs::is_directory(status)) throw RunError(reason(path, ENOTDIR));
#if !defined(_WIN32)
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    throw RunError(path + ": cannot create a file in " + folder + ": " + std::strerror(errno));
  }
#endif
}

// The temporary file's name beside `target`: ".NAME.NNNNNNNNN.tmp", NAME shortened so that the
// whole name stays within the file system's 255 bytes.
std::string temporary_name(const std::string& target, unsigned number) {
  constexpr std::size_t kNameMax = 255;
  constexpr std::size_t kAdded = 1 + 1 + 9 + 4;  // ".", ".", the number, ".tmp"
  std::string base = fs::path(target).filename().string();
  if (base.size() > kNameMax - kAdded) base.resize(kNameMax - kAdded);
  std::string digits = std::to_string(number % 1000000000U);
  digits.insert(0, 9 - digits.size(), '0');
  return folder_of(target) + "/." + base + "." + digits + ".tmp";
}

}  // namespace

OutputFile::OutputFile(const std::string& path) : path_(path), target_(path) {
#if defined(_WIN32)
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (code && code != std::errc::no_such_file_or_directory)
    throw RunError(path + ": " + code.message());
  if (fs::is_directory(status)) throw RunError(reason(path, EISDIR));
  const bool exists = fs::exists(status);
  if (exists && !fs::is_regular_file(status)) {
    // A reserved name such as NUL: written in place.
    mode_ = Mode::kInPlace;
    fd_ = open_existing(path, false);
    if (fd_ < 0) throw RunError(reason(path, errno));
    return;
  }
  const int mode = _S_IREAD | _S_IWRITE;
#else
  if (const int named = named_descriptor(path); named >= 0) {
    mode_ = Mode::kInPlace;
    fd_ = ::fcntl(named, F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0) throw RunError(reason(path, errno));
    return;
  }
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) throw RunError(reason(path, errno));
  if (exists) {
    if (S_ISDIR(info.st_mode)) throw RunError(reason(path, EISDIR));
    if (S_ISSOCK(info.st_mode)) throw RunError(path + ": is a socket, not a file to write");
    if (S_ISBLK(info.st_mode)) throw RunError(path + ": is a block device, not a file to write");
    if (!S_ISREG(info.st_mode)) {
      // A character device or a FIFO: written in place, as the work goes.
      mode_ = Mode::kInPlace;
      fd_ = open_existing(path, false);
      if (fd_ < 0) throw RunError(reason(path, errno));
      return;
    }
    std::array<char, PATH_MAX> resolved{};
    if (::realpath(path.c_str(), resolved.data()) == nullptr) throw RunError(reason(path, errno));
    target_ = resolved.data();
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
      throw RunError(reason(path, errno));
    }
    if (info.st_nlink > 1) mode_ = Mode::kCopyIn;
  } else {
    target_ = final_target(path);
  }
  const mode_t mode = exists ? (info.st_mode & 07777) : 0666;
#endif
  check_folder(path, folder_of(target_));
  std::random_device random;
  for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
    temporary_ = temporary_name(target_, random());
    // The slot first: a signal between creating the file and claiming it would leave it.
    slot_ = claim_slot(temporary_);
    fd_ = open_new(temporary_, mode);
    if (fd_ < 0) {
      const int error = errno;
      release_slot(slot_);
      if (error != EEXIST) {
        temporary_.clear();
        throw RunError(reason(path, error));
      }
    }
  }
  if (fd_ < 0) {
    temporary_.clear();
    throw RunError(reason(path, EEXIST));
  }
#if !defined(_WIN32)
  // The umask may have narrowed the mode; the new file keeps the old one's bits and owner.
  if (exists) {
    static_cast<void>(::fchmod(fd_, mode));
    static_cast<void>(::fchown(fd_, info.st_uid, info.st_gid));
  }
#endif
}

OutputFile::~OutputFile() {
  close_descriptor();
  if (!committed_ && !temporary_.empty()) {
    remove_file(temporary_);
    release_slot(slot_);
  }
}

void OutputFile::close_descriptor() {
  if (fd_ < 0) return;
  if (close_fd(fd_) != 0 && error_ == 0) error_ = errno;
  fd_ = -1;
}

void OutputFile::write(std::string_view bytes) {
  if (error_ != 0 || bytes.empty() || fd_ < 0) return;
  error_ = write_all(fd_, bytes);
}

void OutputFile::commit() {
  close_descriptor();
  if (error_ != 0) throw RunError(reason(path_, error_));
  committed_ = true;
  if (mode_ == Mode::kInPlace) return;
  const auto release = [this] { release_slot(slot_); };
  int error = 0;
  if (mode_ == Mode::kReplace) {
    std::error_code code;
    fs::rename(temporary_, target_, code);
    if (!code) {
      release();
      return;
    }
    error = code.value();
  } else {
    // Copied into the file itself, so that its other names see the new content.
    std::FILE* from = std::fopen(temporary_.c_str(), "rb");
    const int to = open_existing(target_, true);
    if (from == nullptr || to < 0) error = errno;
    std::array<char, 1 << 16> buffer{};
    while (error == 0 && from != nullptr) {
      const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), from);
      if (n == 0) break;
      error = write_all(to, std::string_view(buffer.data(), n));
    }
    if (from != nullptr) std::fclose(from);
    if (to >= 0 && close_fd(to) != 0 && error == 0) error = errno;
  }
  remove_file(temporary_);
  release();
  if (error != 0) throw RunError(reason(path_, error));
}

bool same_file(const std::string& a, const std::string& b) {
  std::error_code code_a;
  std::error_code code_b;
  if (fs::exists(a, code_a) && fs::exists(b, code_b)) {
    std::error_code code;
    return fs::equivalent(a, b, code) && !code;
  }
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, code_a), code_a);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, code_b), code_b);
  return !code_a && !code_b && pa == pb;
}

FileInput::FileInput(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  std::error_code code;
  if (file_ == nullptr || fs::is_directory(path, code)) {
    const int error = file_ == nullptr ? errno : EISDIR;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    throw RunError(reason(path, error));
  }
}

FileInput::~FileInput() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t FileInput::read(char* buffer, std::size_t capacity) {
  if (error_ != 0) return 0;
  const std::size_t n = std::fread(buffer, 1, capacity, file_);
  if (n == 0 && std::ferror(file_) != 0) error_ = errno != 0 ? errno : EIO;
  return n;
}

ProgressLine::ProgressLine(const Run& run, std::string_view things)
    : run_(run), things_(things), start_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() {
  if (shown_) run_.io.err.write("\r\x1b[K");
}

void ProgressLine::update(std::uint64_t done, std::uint64_t total) {
  if (!run_.io.err_is_terminal || done == total) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  // Nothing for a screen of half a second or less, and at most ten redraws a second.
  if (seconds < 0.5 || done == 0 || seconds < last_draw_ + 0.1) return;
  last_draw_ = seconds;
  const double rate = static_cast<double>(done) / seconds;
  run_.io.err.write(fmt::format("\rscreened {} of {} {}, {:.0f} {}/s, {:.1f} s left\x1b[K", done,
                                total, things_, rate, things_,
                                static_cast<double>(total - done) / rate));
  shown_ = true;
}

}  // namespace glassform::cli

namespace glassform {

void remove_temporary_files_on_signals() {
#if defined(_WIN32)
  for (const int s : {SIGINT, SIGBREAK})
    std::signal(s, cli::remove_temporaries_and_reraise);
#else
  // Every signal whose default ends the process, but for the faults of the program itself
  // (SIGSEGV and its kind, which the sanitizers report) and SIGPIPE, which is ignored so that a
  // closed pipe is a write error.
  for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                      SIGPROF, SIGXCPU, SIGPOLL}) {
    struct sigaction action {};
    action.sa_handler = cli::remove_temporaries_and_reraise;
    sigemptyset(&action.sa_mask);
    ::sigaction(s, &action, nullptr);
  }
  // SIGXFSZ is ignored (ignore_broken_pipes): a file-size limit makes the write fail with
  // EFBIG, reported as any write error, instead of ending the process and leaving the
  // temporary file.
#endif
}

}  // namespace glassform
