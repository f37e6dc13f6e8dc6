// The byte streams that the front ends read and write: an input source and an output sink,
// injected so that whole runs can happen in memory as well as on real files and terminals.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace glassform {

// Where input bytes come from. `read` blocks until at least one byte is available and
// returns how many it stored; 0 means the input has ended.
class InputSource {
 public:
  virtual ~InputSource() = default;
  virtual std::size_t read(char* buffer, std::size_t capacity) = 0;
  // The errno of a read that failed (the input then ends), or 0 when it ended normally.
  [[nodiscard]] virtual int error() const { return 0; }
};

// Where output bytes go. A sink that cannot write drops the bytes and says so in `failed`,
// so the dialogue can still end normally and the command line can report the error.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void write(std::string_view bytes) = 0;
  [[nodiscard]] virtual bool failed() const { return false; }
  // The errno of the failure, where the sink knows it (0 when it does not, or did not fail).
  [[nodiscard]] virtual int error() const { return 0; }
};

// Thrown by the writers of long outputs (a screen's millions of rows) when their sink has
// failed, so that the work stops at the first failed write instead of computing on.
class OutputFailed : public std::exception {
 public:
  [[nodiscard]] const char* what() const noexcept override { return "the output failed"; }
};

// Writes `bytes`, then throws OutputFailed if the sink has failed.
inline void write_or_stop(OutputSink& sink, std::string_view bytes) {
  sink.write(bytes);
  if (sink.failed()) throw OutputFailed();
}

// Collects everything written, in memory.
class StringSink final : public OutputSink {
 public:
  void write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

}  // namespace glassform
