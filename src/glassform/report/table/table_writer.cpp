#include "glassform/report/table/table_writer.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/number_format.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

void append_integer(std::string& out, long long value) {
  std::array<char, 24> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), result.ptr);
}

// A number in the CSV's digits; text and flags as the format writes them. A number that is not
// finite is written as absent (no CSV or JSON reader takes "inf" or "nan" as a number), and a
// zero is written without its sign.
template <typename Text>
void append_value(std::string& out, const FieldValue& value, Text text, std::string_view absent) {
  if (const std::optional<std::string_view> s = text_value(value)) {
    text(*s);
  } else if (const auto* i = std::get_if<long long>(&value)) {
    append_integer(out, *i);
  } else if (const auto* f = std::get_if<float>(&value)) {
    if (!std::isfinite(*f)) {
      out.append(absent);
    } else {
      append_shortest(out, *f == 0 ? 0.0F : *f);
    }
  } else if (const auto* d = std::get_if<double>(&value)) {
    if (!std::isfinite(*d)) {
      out.append(absent);
    } else {
      append_shortest_double(out, *d == 0 ? 0.0 : *d);
    }
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
      out, value,
      [&out](std::string_view s) {
        // A text that a spreadsheet would run as a formula (a label "=HYPERLINK(...)") starts
        // with an apostrophe, as the OWASP guidance on CSV injection advises.
        if (!s.empty() && std::string_view("=+-@\t\r").find(s.front()) != std::string_view::npos) {
          std::string neutral(1, '\'');
          neutral.append(s);
          append_csv_cell(out, neutral);
        } else {
          append_csv_cell(out, s);
        }
      },
      "");
}

void append_json_value(std::string& out, const FieldValue& value) {
  append_value(
      out, value, [&out](std::string_view s) { append_json_string(out, s); }, "null");
}

void append_csv_header(std::string& out, const std::vector<Column>& columns) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out.push_back(',');
    append_csv_cell(out, columns[i].name);
  }
  out.push_back('\n');
}

void append_csv_row(std::string& out, const std::vector<Column>& columns, const Row& row) {
  RowFormatter(columns, false, false).append(out, row);
}

void append_json_object(std::string& out, const std::vector<Column>& columns, const Row& row,
                        bool indent) {
  RowFormatter(columns, true, indent).append(out, row);
}

RowFormatter::RowFormatter(std::vector<Column> columns, bool json, bool indent)
    : columns_(std::move(columns)), json_(json), indent_(indent), memo_(columns_.size()) {
  if (!json_) return;
  // The text before each value of an object: the separator, the key and the colon.
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    std::string key = i == 0 ? "{" : ",";
    if (indent_) key.append("\n  ");
    append_json_string(key, columns_[i].name);
    key.append(indent_ ? ": " : ":");
    keys_.push_back(std::move(key));
  }
}

void RowFormatter::append(std::string& out, const Row& row) {
  if (!json_) {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) out.push_back(',');
      append_value(out, i, columns_[i].value(row));
    }
    out.push_back('\n');
    return;
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    out.append(keys_[i]);
    append_value(out, i, columns_[i].value(row));
  }
  if (columns_.empty()) out.push_back('{');
  if (indent_) out.push_back('\n');
  out.push_back('}');
}

void RowFormatter::append_value(std::string& out, std::size_t column, const FieldValue& value) {
  if (!std::holds_alternative<float>(value)) {
    if (json_) {
      append_json_value(out, value);
    } else {
      append_csv_value(out, value);
    }
    return;
  }
  Memo& memo = memo_[column];
  const float number = std::get<float>(value);
  // The same bits, not merely equal values (a NaN is never equal to itself).
  const auto bits = [](float f) {
    std::uint32_t b = 0;
    std::memcpy(&b, &f, sizeof b);
    return b;
  };
  if (!std::holds_alternative<float>(memo.value) ||
      bits(std::get<float>(memo.value)) != bits(number)) {
    memo.value = value;
    memo.text.clear();
    if (json_) {
      append_json_value(memo.text, value);
    } else {
      append_csv_value(memo.text, value);
    }
  }
  out.append(memo.text);
}

TableWriter::TableWriter(OutputSink& sink, Format format, std::vector<Column> columns)
    : sink_(sink),
      format_(format),
      rows_(std::move(columns), format != Format::kCsv, format == Format::kJson) {
  if (format_ == Format::kCsv) append_csv_header(buffer_, rows_.columns());
}

void TableWriter::add(const Row& row) {
  if (format_ == Format::kText) return;
  if (format_ == Format::kJson) buffer_.append(first_ ? "[\n" : ",\n");
  rows_.append(buffer_, row);
  if (format_ == Format::kJsonl) buffer_.push_back('\n');
  first_ = false;
  if (buffer_.size() >= kFlushSize) {
    write_or_stop(sink_, buffer_);
    buffer_.clear();
  }
}

void TableWriter::finish() {
  if (format_ == Format::kJson) buffer_.append(first_ ? "[]\n" : "\n]\n");
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

std::string& TextBlocks::start() {
  if (!first_) buffer_.push_back('\n');
  first_ = false;
  return buffer_;
}

void TextBlocks::end() {
  if (buffer_.size() < kFlushSize) return;
  write_or_stop(sink_, buffer_);
  buffer_.clear();
}

void TextBlocks::finish() {
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

}  // namespace glassform
