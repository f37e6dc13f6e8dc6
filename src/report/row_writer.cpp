#include "report/row_writer.hpp"

#include <array>

#include "report/csv_report.hpp"
#include "report/number_format.hpp"
#include "report/tables.hpp"
#include "report/warnings.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

// The text table: the rank, the formula, the chosen integers, then fields with a number of
// decimals, then the warnings.
struct TextColumn {
  std::string_view header;
  std::string_view field;
  int decimals;
};
constexpr std::array<TextColumn, 6> kTextNumbers{{{"mismatch", "mismatch", 4},
                                                  {"packing_%", "packing_%", 2},
                                                  {"E_GPa", "E_GPa", 1},
                                                  {"C12/C11", "C12/C11", 4},
                                                  {"C44/C11", "C44/C11", 4},
                                                  {"m", "m_fragility", 1}}};
constexpr std::size_t kFirstNumber = 3;

std::vector<std::string> text_header() {
  std::vector<std::string> header{"rank", "formula", "Z"};
  for (const TextColumn& c : kTextNumbers)
    header.emplace_back(c.header);
  header.emplace_back("warnings");
  return header;
}

// Column widths of the streamed table: enough for every row the element table can give.
const std::vector<std::size_t> kStreamWidths{8, 30, 8, 10, 9, 6, 7, 7, 5, 0};

std::vector<std::string> text_cells(std::size_t rank, const AlloyResult& alloy,
                                    const Composition& c) {
  const Row row = Row::of(alloy, c);
  std::vector<std::string> cells{std::to_string(rank),
                                 std::string(*text_value(find_field("formula")->value(row)))};
  std::string z;
  for (const Cluster& k : alloy.clusters()) {
    if (!z.empty()) z.push_back(',');
    z.append(std::to_string(k.chosen));
  }
  cells.push_back(z);
  for (const TextColumn& column : kTextNumbers) {
    const std::optional<double> v = numeric_value(find_field(column.field)->value(row));
    std::string text = "-";
    if (v) {
      text.clear();
      append_fixed(text, static_cast<float>(*v), column.decimals);
    }
    cells.push_back(text);
  }
  std::string warnings = row_warnings(alloy, c);
  cells.push_back(warnings.empty() ? "-" : warnings);
  return cells;
}

void append_padded(std::string& out, const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line.append("  ");
    const std::size_t width = kStreamWidths[i];
    // The rank and the numbers are right-aligned, the texts left-aligned.
    const bool right = i == 0 || (i >= kFirstNumber && i < kFirstNumber + kTextNumbers.size());
    const std::size_t pad = cells[i].size() < width ? width - cells[i].size() : 0;
    if (right) line.append(pad, ' ');
    line.append(cells[i]);
    if (!right && i + 1 < cells.size()) line.append(pad, ' ');
  }
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  out.append(line);
  out.push_back('\n');
}

}  // namespace

RowWriter::RowWriter(OutputSink& sink, Format format, bool streaming, std::vector<Column> columns)
    : sink_(sink),
      format_(format),
      streaming_(streaming),
      table_(sink, format, std::move(columns)) {
  if (format_ == Format::kText && streaming_) append_padded(buffer_, text_header());
}

void RowWriter::add(const AlloyResult& alloy, const Composition& composition) {
  ++rank_;
  if (format_ != Format::kText) {
    table_.add(Row::of(alloy, composition));
  } else if (streaming_) {
    append_padded(buffer_, text_cells(rank_, alloy, composition));
  } else {
    text_rows_.push_back(text_cells(rank_, alloy, composition));
  }
  flush_if_full();
}

void RowWriter::flush_if_full() {
  if (buffer_.size() < kFlushSize) return;
  write_or_stop(sink_, buffer_);
  buffer_.clear();
}

void RowWriter::finish() {
  if (format_ != Format::kText) {
    table_.finish();
    return;
  }
  if (!streaming_) buffer_.append(aligned_table(text_header(), text_rows_));
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

}  // namespace glassform
