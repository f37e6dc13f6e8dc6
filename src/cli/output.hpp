// Files of the command line: an output file written atomically, and an input file read as a
// byte stream.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "io/streams.hpp"

namespace glassform::cli {

// Writes a temporary file beside `path` and renames it to `path` on `commit`, so the file
// appears complete or not at all: a run that fails never leaves a partial file and never
// replaces an existing one. Without `commit` the temporary file is removed.
class AtomicFile final : public OutputSink {
 public:
  explicit AtomicFile(std::filesystem::path path);  // RunError when it cannot be created
  ~AtomicFile() override;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void write(std::string_view bytes) override;
  [[nodiscard]] bool failed() const override { return failed_; }
  // Completes the file and puts it in place; RunError when that fails.
  void commit();

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// Reads a file; RunError when it cannot be opened, and a read error ends the input.
class FileInput final : public InputSource {
 public:
  explicit FileInput(const std::string& path);
  ~FileInput() override;
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;
  std::size_t read(char* buffer, std::size_t capacity) override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace glassform::cli
