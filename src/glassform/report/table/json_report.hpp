// JSON output of the tables that are not result rows (elements, cluster geometry): `json`
// writes one array of objects, `jsonl` one object per line.
#pragma once

#include <optional>
#include <string>

#include "glassform/io/streams.hpp"
#include "glassform/model/alloys.hpp"

namespace glassform {

// Writes a sequence of objects as a JSON array, or as JSON lines, as they come: constant
// memory however many there are.
class JsonStream {
 public:
  JsonStream(OutputSink& sink, bool lines) : sink_(sink), lines_(lines) {}
  JsonStream(const JsonStream&) = delete;
  JsonStream& operator=(const JsonStream&) = delete;

  // An object already serialised: compact for JSON lines, either for an array.
  void add_object(std::string_view text);
  // Closes the array (an empty array when nothing was added); nothing for JSON lines.
  void finish();

 private:
  OutputSink& sink_;
  bool lines_;
  bool first_ = true;
  std::string buffer_;
};

// A float as the JSON number whose shortest text is the float's shortest text.
double json_number(float value);

}  // namespace glassform
