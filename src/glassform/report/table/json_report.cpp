#include "glassform/report/table/json_report.hpp"

#include <cstdlib>

#include "glassform/report/table/number_format.hpp"

namespace glassform {

double json_number(float value) {
  return std::strtod(format_shortest(value).c_str(), nullptr);
}

void JsonStream::add_object(std::string_view text) {
  buffer_.clear();
  if (!lines_) buffer_.append(first_ ? "[\n" : ",\n");
  buffer_.append(text);
  if (lines_) buffer_.push_back('\n');
  first_ = false;
  sink_.write(buffer_);
}

void JsonStream::finish() {
  if (lines_) return;
  sink_.write(first_ ? "[]\n" : "\n]\n");
}

}  // namespace glassform
