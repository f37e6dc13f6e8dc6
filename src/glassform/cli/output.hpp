// Files of the command line: the output files the user names (-o, --plot), prepared before the
// work starts and committed only when it succeeded, and an input file read as a byte stream.
#pragma once

#include <cstdio>
#include <string>

#include "glassform/io/streams.hpp"

namespace glassform::cli {

// An output file named by the user. What the path names decides how it is written:
// - absent, or a regular file with one name: a temporary file beside it (beside a symbolic
//   link's final target), created with the old file's permission bits (and owner where
//   allowed), renamed over it on `commit`; a run that fails leaves the target untouched;
// - a regular file with more than one name: the temporary file, copied into the file itself
//   on `commit`, so its other names see the new content;
// - a character device, a FIFO, or a descriptor named through /dev/fd, /dev/std* or
//   /proc/*/fd: written in place as the work goes (`-o /dev/null`, `-o >(gzip > x.gz)`);
// - a directory, a socket or a block device: refused.
// The constructor checks the path (RunError with a one-line reason: a folder that is missing
// or not writable, a target the user may not write, a name too long).
class OutputFile final : public OutputSink {
 public:
  explicit OutputFile(const std::string& path);
  ~OutputFile() override;  // without `commit`: the temporary file is removed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(std::string_view bytes) override;
  [[nodiscard]] bool failed() const override { return error_ != 0; }
  [[nodiscard]] int error() const override { return error_; }
  // Completes the file and puts it in place; RunError when that fails.
  void commit();

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  enum class Mode { kReplace, kCopyIn, kInPlace };
  void close_descriptor();

  std::string path_;       // as the user named it
  std::string target_;     // the file finally written: a symbolic link's final target
  std::string temporary_;  // empty when written in place
  Mode mode_ = Mode::kReplace;
  int fd_ = -1;
  int error_ = 0;  // errno of the first failed write
  bool committed_ = false;
  std::size_t slot_ = static_cast<std::size_t>(-1);  // the signal handler's note of temporary_
};

// Whether two paths name the same file: the same device and inode where both exist, else the
// same absolute path with links resolved.
bool same_file(const std::string& a, const std::string& b);

// Reads a file; RunError when it cannot be opened or is a directory; a read error is kept in
// `error`.
class FileInput final : public InputSource {
 public:
  explicit FileInput(const std::string& path);
  ~FileInput() override;
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;
  std::size_t read(char* buffer, std::size_t capacity) override;
  [[nodiscard]] int error() const override { return error_; }

 private:
  std::FILE* file_ = nullptr;
  int error_ = 0;
};

}  // namespace glassform::cli
