// Rows of fields as CSV (RFC 4180 quoting, LF line ends, empty cells for absent values), as a
// JSON array or as JSON lines (one flat object per row, keyed by the same names, numbers as
// numbers in the CSV's digits, null for absent values). One shape for every command, so one
// parser reads every output. Output is buffered and written in pieces: constant memory.
#pragma once

#include <string>
#include <vector>

#include "glassform/io/streams.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/formats.hpp"

namespace glassform {

// The CSV header of these columns, line end included.
void append_csv_header(std::string& out, const std::vector<Column>& columns);
// One CSV row, line end included.
void append_csv_row(std::string& out, const std::vector<Column>& columns, const Row& row);
// One JSON object, compact (`indent` false) or with one field a line.
void append_json_object(std::string& out, const std::vector<Column>& columns, const Row& row,
                        bool indent);

// A value as its CSV cell and its JSON value.
void append_csv_value(std::string& out, const FieldValue& value);
void append_json_value(std::string& out, const FieldValue& value);

// Writes the rows of some columns as CSV rows or JSON objects: each column's JSON key text is
// made once, and the last number each column wrote is kept with its digits (a screen's rows
// repeat their clusters' values from row to row, so their digits are worked out once).
class RowFormatter {
 public:
  // `json`: objects, with one field a line when `indent`; otherwise CSV rows.
  RowFormatter(std::vector<Column> columns, bool json, bool indent);
  // One CSV row with its line end, or one JSON object without one.
  void append(std::string& out, const Row& row);
  [[nodiscard]] const std::vector<Column>& columns() const { return columns_; }

 private:
  struct Memo {
    FieldValue value;
    std::string text;
  };
  void append_value(std::string& out, std::size_t column, const FieldValue& value);

  std::vector<Column> columns_;
  bool json_;
  bool indent_;
  std::vector<std::string> keys_;  // each column's JSON key with its separators
  std::vector<Memo> memo_;
};

// Text blocks one after another, separated by a blank line, buffered and written in pieces of
// about 64 KB: memory stays bounded however many blocks there are.
class TextBlocks {
 public:
  explicit TextBlocks(OutputSink& sink) : sink_(sink) {}
  // The buffer to append the next block to, the separating blank line already in it.
  std::string& start();
  // Ends a block: writes the buffer once it is large enough.
  void end();
  // Writes what is still buffered.
  void finish();

 private:
  OutputSink& sink_;
  std::string buffer_;
  bool first_ = true;
};

// Writes rows in CSV, JSON or JSON lines (not text).
class TableWriter {
 public:
  TableWriter(OutputSink& sink, Format format, std::vector<Column> columns);
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  void add(const Row& row);
  // Writes what is still buffered: the CSV header even without rows, "[]" for an empty array.
  void finish();

 private:
  OutputSink& sink_;
  Format format_;
  RowFormatter rows_;
  std::string buffer_;
  bool first_ = true;
};

}  // namespace glassform
