#include "report/table_writer.hpp"

#include <charconv>

#include "report/csv_report.hpp"
#include "report/number_format.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

void append_integer(std::string& out, long long value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), result.ptr);
}

// A number in the CSV's digits; text and flags as the format writes them.
template <typename Text>
void append_value(std::string& out, const FieldValue& value, Text text, std::string_view absent) {
  if (const auto* s = std::get_if<std::string>(&value)) {
    text(*s);
  } else if (const auto* i = std::get_if<long long>(&value)) {
    append_integer(out, *i);
  } else if (const auto* f = std::get_if<float>(&value)) {
    append_shortest(out, *f);
  } else if (const auto* d = std::get_if<double>(&value)) {
    append_shortest_double(out, *d);
  } else if (const auto* b = std::get_if<bool>(&value)) {
    out.append(*b ? "true" : "false");
  } else {
    out.append(absent);
  }
}

void append_json_string(std::string& out, std::string_view text) {
  out.push_back('"');
  for (const char c : text) {
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          constexpr std::string_view kHex = "0123456789abcdef";
          out.append("\\u00");
          out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
          out.push_back(kHex[static_cast<unsigned char>(c) & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
}

}  // namespace

void append_csv_value(std::string& out, const FieldValue& value) {
  append_value(
      out, value, [&out](std::string_view s) { append_csv_cell(out, s); }, "");
}

void append_json_value(std::string& out, const FieldValue& value) {
  append_value(
      out, value, [&out](std::string_view s) { append_json_string(out, s); }, "null");
}

void append_csv_header(std::string& out, const std::vector<const Field*>& columns) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out.push_back(',');
    append_csv_cell(out, columns[i]->name);
  }
  out.push_back('\n');
}

void append_csv_row(std::string& out, const std::vector<const Field*>& columns, const Row& row) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out.push_back(',');
    append_csv_value(out, columns[i]->value(row));
  }
  out.push_back('\n');
}

void append_json_object(std::string& out, const std::vector<const Field*>& columns, const Row& row,
                        bool indent) {
  out.push_back('{');
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out.push_back(',');
    if (indent) out.append("\n  ");
    append_json_string(out, columns[i]->name);
    out.append(indent ? ": " : ":");
    append_json_value(out, columns[i]->value(row));
  }
  if (indent) out.push_back('\n');
  out.push_back('}');
}

TableWriter::TableWriter(OutputSink& sink, Format format, std::vector<const Field*> columns)
    : sink_(sink), format_(format), columns_(std::move(columns)) {
  if (format_ == Format::kCsv) append_csv_header(buffer_, columns_);
}

void TableWriter::add(const Row& row) {
  switch (format_) {
    case Format::kCsv:
      append_csv_row(buffer_, columns_, row);
      break;
    case Format::kJson:
      buffer_.append(first_ ? "[\n" : ",\n");
      append_json_object(buffer_, columns_, row, true);
      break;
    case Format::kJsonl:
      append_json_object(buffer_, columns_, row, false);
      buffer_.push_back('\n');
      break;
    case Format::kText:
      break;
  }
  first_ = false;
  if (buffer_.size() >= kFlushSize) {
    sink_.write(buffer_);
    buffer_.clear();
  }
}

void TableWriter::finish() {
  if (format_ == Format::kJson) buffer_.append(first_ ? "[]\n" : "\n]\n");
  if (!buffer_.empty()) sink_.write(buffer_);
  buffer_.clear();
}

}  // namespace glassform
