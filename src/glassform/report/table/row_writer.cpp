#include "glassform/report/table/row_writer.hpp"

#include <array>

#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/number_format.hpp"
#include "glassform/report/table/tables.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

// The text table: the rank, the formula, the chosen integers (and a ternary's gamma sites),
// then the fields of the text view with their decimals, then the warnings.
struct TextFields {
  const Field* formula;
  std::vector<const Field*> numbers;
};

const TextFields& text_fields() {
  static const TextFields kFields{find_field("formula"), view_fields(kTextView)};
  return kFields;
}

// The columns before the numbers: rank, formula, Z and, for a ternary, gamma.
std::size_t first_number(const TextLayout& layout) {
  return layout.gamma_sites ? 4 : 3;
}

std::vector<std::string> text_header(const TextLayout& layout) {
  std::vector<std::string> header{"rank", "formula", "Z"};
  if (layout.gamma_sites) header.emplace_back("gamma");
  for (const Field* f : text_fields().numbers)
    header.emplace_back(f->short_header());
  header.emplace_back("warnings");
  return header;
}

// Column widths of the streamed table: enough for every row the element table can give.
std::vector<std::size_t> stream_widths(const TextLayout& layout) {
  std::vector<std::size_t> widths{8, 30, 8, 7, 12, 10, 9, 6, 7, 7, 5, 0};
  if (layout.gamma_sites) widths.insert(widths.begin() + 3, 5);
  return widths;
}

std::vector<std::string> text_cells(std::size_t rank, const AlloyResult& alloy,
                                    const Composition& c, const TextLayout& layout) {
  const Row row = Row::of(alloy, c);
  const TextFields& fields = text_fields();
  std::vector<std::string> cells{std::to_string(rank),
                                 std::string(*text_value(fields.formula->value(row)))};
  std::string z;
  for (const Cluster& k : alloy.clusters()) {
    if (!z.empty()) z.push_back(',');
    z.append(std::to_string(k.chosen));
  }
  cells.push_back(z);
  if (layout.gamma_sites) cells.push_back(c.gamma_sites ? std::to_string(*c.gamma_sites) : "-");
  for (const Field* f : fields.numbers) {
    const FieldValue value = f->value(row);
    const std::optional<double> v = numeric_value(value);
    std::string text = "-";
    if (const bool* flag = std::get_if<bool>(&value)) {
      text = *flag ? "yes" : "no";
    } else if (v) {
      text.clear();
      append_fixed(text, static_cast<float>(*v), f->decimals);
    }
    cells.push_back(text);
  }
  std::string warnings = row_warnings(alloy, c);
  cells.push_back(warnings.empty() ? "-" : warnings);
  return cells;
}

void append_padded(std::string& out, const std::vector<std::string>& cells,
                   const TextLayout& layout) {
  static const std::vector<std::size_t> kPlain = stream_widths(TextLayout{});
  static const std::vector<std::size_t> kTernary = stream_widths(TextLayout{true, {}});
  const std::vector<std::size_t>& widths = layout.gamma_sites ? kTernary : kPlain;
  const std::size_t first = first_number(layout);
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line.append("  ");
    const std::size_t width = i < widths.size() ? widths[i] : 0;
    // The rank, the gamma sites and the numbers are right-aligned, the texts left-aligned.
    const bool right = i == 0 || (layout.gamma_sites && i + 1 == first) ||
                       (i >= first && i < first + text_fields().numbers.size());
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

RowWriter::RowWriter(OutputSink& sink, Format format, bool streaming, std::vector<Column> columns,
                     TextLayout layout)
    : sink_(sink),
      format_(format),
      streaming_(streaming),
      layout_(std::move(layout)),
      table_(sink, format, std::move(columns)) {
  if (format_ != Format::kText) return;
  if (!layout_.first_line.empty()) buffer_.append(layout_.first_line).push_back('\n');
  if (streaming_) append_padded(buffer_, text_header(layout_), layout_);
}

void RowWriter::add(const AlloyResult& alloy, const Composition& composition) {
  ++rank_;
  if (format_ != Format::kText) {
    table_.add(Row::of(alloy, composition));
  } else if (streaming_) {
    append_padded(buffer_, text_cells(rank_, alloy, composition, layout_), layout_);
  } else {
    text_rows_.push_back(text_cells(rank_, alloy, composition, layout_));
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
  if (!streaming_) buffer_.append(aligned_table(text_header(layout_), text_rows_));
  if (!buffer_.empty()) write_or_stop(sink_, buffer_);
  buffer_.clear();
}

}  // namespace glassform
