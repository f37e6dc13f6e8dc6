#include "report/row_writer.hpp"

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "report/csv_report.hpp"
#include "report/number_format.hpp"
#include "report/tables.hpp"
#include "report/warnings.hpp"

namespace glassform {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

const std::vector<std::string> kTextHeader{"rank",  "formula", "Z",       "mismatch", "packing_%",
                                           "E_GPa", "C12/C11", "C44/C11", "m",        "warnings"};
// Column widths of the streamed table: enough for every row the element table can give.
const std::vector<std::size_t> kStreamWidths{8, 30, 8, 10, 9, 6, 7, 7, 5, 0};

bool is_text_column(std::string_view name) {
  return name == "kind" || name == "solvent" || name == "solute1" || name == "solute2" ||
         name == "solute3" || name == "formula" || name == "warnings";
}

std::vector<std::string> split_csv(std::string_view row) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quoted) {
      if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
        cells.back().push_back('"');
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cells.back().push_back(c);
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells.emplace_back();
    } else if (c != '\n') {
      cells.back().push_back(c);
    }
  }
  return cells;
}

std::string fixed_or_dash(const std::optional<float>& value, int decimals) {
  if (!value) return "-";
  std::string text;
  append_fixed(text, *value, decimals);
  return text;
}

std::vector<std::string> text_cells(std::size_t rank, const AlloyResult& alloy,
                                    const Composition& c) {
  std::string formula;
  append_formula(formula, alloy, c);
  std::string z;
  for (const Cluster& k : alloy.clusters()) {
    if (!z.empty()) z.push_back(',');
    z.append(std::to_string(k.chosen));
  }
  const std::optional<ElasticConstants>& e = c.elastic.constants;
  std::string warnings = row_warnings(alloy, c);
  return {std::to_string(rank),
          formula,
          z,
          fixed_or_dash(alloy.mismatch, 4),
          fixed_or_dash(c.packing, 2),
          fixed_or_dash(c.elastic.e.value, 1),
          fixed_or_dash(e ? std::optional(e->c12_over_c11) : std::nullopt, 4),
          fixed_or_dash(e ? std::optional(e->c44_over_c11) : std::nullopt, 4),
          fixed_or_dash(e ? std::optional(e->fragility) : std::nullopt, 1),
          warnings.empty() ? "-" : warnings};
}

void append_padded(std::string& out, const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line.append("  ");
    const std::size_t width = kStreamWidths[i];
    // The rank and the numbers are right-aligned, the texts left-aligned.
    const bool right = i == 0 || (i >= 3 && i <= 8);
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

std::string flat_row_json(const AlloyResult& alloy, const Composition& composition, int indent) {
  std::string row;
  append_csv_row(row, alloy, composition);
  const std::vector<std::string> cells = split_csv(row);
  nlohmann::ordered_json j;
  for (std::size_t i = 0; i < kCsvColumns.size() && i < cells.size(); ++i) {
    const std::string key(kCsvColumns[i]);
    if (cells[i].empty()) {
      j[key] = nullptr;
    } else if (is_text_column(kCsvColumns[i])) {
      j[key] = cells[i];
    } else if (cells[i].find_first_not_of("-0123456789") == std::string::npos) {
      j[key] = std::stoll(cells[i]);  // the integers: Z1..Z3, gamma_sites
    } else {
      j[key] = std::strtod(cells[i].c_str(), nullptr);
    }
  }
  return j.dump(indent);
}

RowWriter::RowWriter(OutputSink& sink, Format format, bool streaming)
    : sink_(sink), format_(format), streaming_(streaming), json_(sink, format == Format::kJsonl) {
  if (format_ == Format::kCsv) append_csv_header(buffer_);
  if (format_ == Format::kText && streaming_) append_padded(buffer_, kTextHeader);
}

void RowWriter::add(const AlloyResult& alloy, const Composition& composition) {
  ++rank_;
  switch (format_) {
    case Format::kText:
      if (streaming_) {
        append_padded(buffer_, text_cells(rank_, alloy, composition));
      } else {
        text_rows_.push_back(text_cells(rank_, alloy, composition));
      }
      break;
    case Format::kCsv:
      append_csv_row(buffer_, alloy, composition);
      break;
    case Format::kJson:
    case Format::kJsonl:
      json_.add_object(flat_row_json(alloy, composition, format_ == Format::kJson ? 2 : -1));
      break;
  }
  flush_if_full();
}

void RowWriter::flush_if_full() {
  if (buffer_.size() < kFlushSize) return;
  sink_.write(buffer_);
  buffer_.clear();
}

void RowWriter::finish() {
  if (format_ == Format::kText && !streaming_)
    buffer_.append(aligned_table(kTextHeader, text_rows_));
  if (!buffer_.empty()) sink_.write(buffer_);
  buffer_.clear();
  if (format_ == Format::kJson || format_ == Format::kJsonl) json_.finish();
}

}  // namespace glassform
