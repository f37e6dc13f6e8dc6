// Tables that are not alloy reports: the built-in element table and the cluster geometry of
// given radius ratios, in every output format.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/io/streams.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/formats.hpp"

namespace glassform {

// Index, symbol, radius and moduli of the 73 elements; missing moduli are "-" in text, empty
// in CSV and null in JSON, never 0.
void write_element_table(OutputSink& sink, Format format,
                         const ElementData& data = ElementData::builtin());

// For each radius ratio: face parameter, coordination number, the nearest integer, its ideal
// radius ratio and the relative difference of the ratio from it.
void write_cluster_table(OutputSink& sink, Format format, std::span<const float> ratios);

// A column of a table that is not made of result rows (elements, cluster, weigh, fields).
struct TableColumn {
  std::string_view name;
  std::string_view unit;
  FieldKind kind;
  std::string_view meaning;
};

// The columns of the elements, cluster, weigh and fields tables as Markdown, each under a line
// naming its command: the rest of `glassform fields --all` and a section of docs/output.md.
std::string other_tables_markdown();

// The element table's columns, and its cells as `format` writes them (empty for no value).
std::span<const TableColumn> element_columns();
std::vector<std::vector<std::string>> element_table_cells(
    Format format, const ElementData& data = ElementData::builtin());

// The columns of weigh's CSV.
std::span<const TableColumn> weigh_columns();

// The table of output fields: name, unit, kind, per (alloy or element) and meaning; the text
// format is the Markdown table of docs/output.md. `all`: the columns of the other tables too,
// each named by its command.
void write_field_table(OutputSink& sink, Format format, bool all = false);

// Rows of cells as a text table: columns separated by two blanks, each as wide as its widest
// cell, numbers right-aligned.
std::string aligned_table(const std::vector<std::string>& header,
                          const std::vector<std::vector<std::string>>& rows);

}  // namespace glassform
