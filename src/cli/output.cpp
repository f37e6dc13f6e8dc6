#include "cli/output.hpp"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

#include "cli/cli_internal.hpp"

namespace glassform::cli {

namespace {

std::string describe(const std::filesystem::path& path, int error) {
  return path.string() + ": " + std::strerror(error);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path path) : path_(std::move(path)) {
  if (std::filesystem::is_directory(path_)) throw RunError(describe(path_, EISDIR));
  std::random_device random;
  const std::filesystem::path folder = path_.parent_path();
  for (int attempt = 0; attempt < 16 && file_ == nullptr; ++attempt) {
    const std::string name =
        "." + path_.filename().string() + "." + std::to_string(random() % 1000000000U) + ".tmp";
    temporary_ = folder / name;
    // "x": never open a file that exists already.
    file_ = std::fopen(temporary_.string().c_str(), "wbx");
    if (file_ == nullptr && errno != EEXIST) break;
  }
  if (file_ == nullptr) throw RunError(describe(path_, errno));
}

AtomicFile::~AtomicFile() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

void AtomicFile::write(std::string_view bytes) {
  if (failed_ || bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

void AtomicFile::commit() {
  const bool flushed = !failed_ && std::fflush(file_) == 0;
  const int error = flushed ? 0 : (errno != 0 ? errno : EIO);
  std::FILE* file = file_;
  file_ = nullptr;
  const bool closed = std::fclose(file) == 0;
  std::error_code code;
  if (flushed && closed) {
    std::filesystem::rename(temporary_, path_, code);
    if (!code) return;
  }
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
  if (code) throw RunError(path_.string() + ": " + code.message());
  throw RunError(describe(path_, error != 0 ? error : EIO));
}

FileInput::FileInput(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (file_ == nullptr || std::filesystem::is_directory(path)) {
    const int error = file_ == nullptr ? errno : EISDIR;
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    throw RunError(describe(path, error));
  }
}

FileInput::~FileInput() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t FileInput::read(char* buffer, std::size_t capacity) {
  return std::fread(buffer, 1, capacity, file_);
}

}  // namespace glassform::cli
