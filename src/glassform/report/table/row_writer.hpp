// Result rows, one per composition, as a screen writes them: the rows of the single-alloy
// commands in CSV, JSON or JSON lines, or a ranked text table of a few of the fields.
#pragma once

#include <string>
#include <vector>

#include "glassform/io/streams.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/report/table/formats.hpp"
#include "glassform/report/table/table_writer.hpp"

namespace glassform {

// What the text table shows beyond its usual columns.
struct TextLayout {
  bool gamma_sites = false;  // a column of the ternary's gamma sites
  std::string first_line;    // a line above the table (none where empty)
};

class RowWriter {
 public:
  // `streaming`: rows are written as they come, so the text table cannot be as narrow as its
  // rows and uses fixed widths; otherwise the text table is aligned when finished.
  // `columns` are those of the CSV and JSON rows.
  RowWriter(OutputSink& sink, Format format, bool streaming,
            std::vector<Column> columns = positional_columns(alloy_fields()),
            TextLayout layout = {});
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  void add(const AlloyResult& alloy, const Composition& composition);
  void finish();
  // How many rows were added.
  [[nodiscard]] std::size_t rows() const { return rank_; }

 private:
  void flush_if_full();

  OutputSink& sink_;
  Format format_;
  bool streaming_;
  TextLayout layout_;
  TableWriter table_;
  std::string buffer_;
  std::size_t rank_ = 0;
  std::vector<std::vector<std::string>> text_rows_;
};

}  // namespace glassform
