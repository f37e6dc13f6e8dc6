// Result rows, one per composition, as a screen writes them: CSV rows exactly as the
// single-alloy commands print them, JSON objects keyed by the CSV column names, or a ranked
// text table.
#pragma once

#include <string>
#include <vector>

#include "io/streams.hpp"
#include "model/alloys.hpp"
#include "report/formats.hpp"
#include "report/json_report.hpp"

namespace glassform {

// The row of one composition as a flat JSON object: the CSV columns as keys, numbers as
// numbers, null where the CSV cell is empty.
std::string flat_row_json(const AlloyResult& alloy, const Composition& composition, int indent);

class RowWriter {
 public:
  // `streaming`: rows are written as they come, so the text table cannot be as narrow as its
  // rows and uses fixed widths; otherwise the text table is aligned when finished.
  RowWriter(OutputSink& sink, Format format, bool streaming);
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  void add(const AlloyResult& alloy, const Composition& composition);
  void finish();

 private:
  void flush_if_full();

  OutputSink& sink_;
  Format format_;
  bool streaming_;
  JsonStream json_;
  std::string buffer_;
  std::size_t rank_ = 0;
  std::vector<std::vector<std::string>> text_rows_;
};

}  // namespace glassform
