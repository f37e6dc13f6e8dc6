// Writes alloy reports one after another in any output format: text reports separated by a
// blank line, or one row per composition in CSV, JSON or JSON lines (the field table's
// columns). Output is buffered and written in pieces, so memory stays bounded however many
// alloys there are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "glassform/io/streams.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/measured.hpp"
#include "glassform/report/table/formats.hpp"
#include "glassform/report/table/table_writer.hpp"

namespace glassform {

// Where an alloy came from in a batch input: its line and the line's optional label.
struct Origin {
  std::size_t line = 0;
  std::optional<std::string_view> label;
};

class AlloyWriter {
 public:
  // With `grams`, every composition also gets the masses to weigh for an ingot of that mass;
  // `columns` are those of the CSV and JSON rows.
  AlloyWriter(OutputSink& sink, Format format, std::optional<double> grams = std::nullopt,
              std::vector<Column> columns = positional_columns(alloy_fields()));
  AlloyWriter(const AlloyWriter&) = delete;
  AlloyWriter& operator=(const AlloyWriter&) = delete;

  void add(const AlloyResult& alloy, const std::optional<Origin>& origin = std::nullopt);
  // Sets each composition beside the first measurement of the same composition.
  void set_measured(std::span<const MeasuredGlass> measured) { measured_ = measured; }
  // Writes what is still buffered and closes a JSON array; the CSV header is written even
  // when no alloy came.
  void finish();

 private:
  Format format_;
  std::optional<double> grams_;
  std::span<const MeasuredGlass> measured_;
  TableWriter table_;
  TextBlocks text_;
};

}  // namespace glassform
