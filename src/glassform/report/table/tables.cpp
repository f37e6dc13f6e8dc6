#include "glassform/report/table/tables.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "glassform/io/format.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/element_sets.hpp"
#include "glassform/model/elements.hpp"
#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/json_report.hpp"
#include "glassform/report/table/number_format.hpp"

namespace glassform {

namespace {

using Json = nlohmann::ordered_json;
using LD = long double;

// A table as cells, with what each column holds; an empty number cell is null in JSON.
struct Table {
  explicit Table(std::span<const TableColumn> columns) {
    for (const TableColumn& c : columns) {
      header.emplace_back(c.name);
      kinds.push_back(c.kind);
    }
  }
  Table(std::vector<std::string> names, std::vector<FieldKind> cell_kinds)
      : header(std::move(names)), kinds(std::move(cell_kinds)) {}

  std::vector<std::string> header;
  std::vector<FieldKind> kinds;
  std::vector<std::vector<std::string>> rows;
};

using K = FieldKind;

// clang-format off
constexpr std::array kElementColumns{
    TableColumn{"index", "", K::kInteger, "the element's place in the table, from 1 (a user's added elements follow the built-in ones)"},
    TableColumn{"symbol", "", K::kText, "the chemical symbol"},
    TableColumn{"radius_nm", "nm", K::kNumber, "the atomic radius of the cluster model"},
    TableColumn{"E_GPa", "GPa", K::kNumber, "Young's modulus; empty where the table has none"},
    TableColumn{"G_GPa", "GPa", K::kNumber, "shear modulus; empty where the table has none"},
    TableColumn{"B_GPa", "GPa", K::kNumber, "bulk modulus; empty where the table has none"},
    TableColumn{"atomic_weight_u", "u", K::kNumber, "standard atomic weight, or a mass number (in brackets in text)"},
    TableColumn{"melting_point_K", "K", K::kNumber, "melting point (Magpie), an input of the composition criteria"},
    TableColumn{"electronegativity_pauling", "", K::kNumber, "Pauling electronegativity (Magpie)"},
    TableColumn{"valence_electrons", "", K::kInteger, "number of valence electrons (Magpie NValence)"},
    TableColumn{"weight_note", "", K::kText, "\"mass number\" where the weight is a mass number"},
    TableColumn{"sets", "", K::kText, "the named sets of screen --exclude that hold the element"},
};
constexpr std::array kClusterColumns{
    TableColumn{"ratio", "", K::kNumber, "the radius ratio of solute to solvent, as given"},
    TableColumn{"face_parameter", "", K::kInteger, "3, 4 or 5"},
    TableColumn{"coordination_number", "", K::kNumber, "the computed coordination number"},
    TableColumn{"nearest_integer", "", K::kInteger, "the integer nearest to it"},
    TableColumn{"ideal_ratio", "", K::kNumber, "the ideal radius ratio of that integer (empty outside 4..24)"},
    TableColumn{"relative_difference", "", K::kNumber, "ratio / ideal_ratio - 1"},
};
constexpr std::array kWeighColumns{
    TableColumn{"element", "", K::kText, "the symbol (JSON: symbol, in the list elements)"},
    TableColumn{"at%", "at.%", K::kNumber, "atomic percent, normalised to 100 (JSON: at_percent)"},
    TableColumn{"wt%", "wt.%", K::kNumber, "weight percent (JSON: wt_percent)"},
    TableColumn{"mass_g", "g", K::kNumber, "grams to weigh for --mass; empty without it (JSON: grams, and total_grams)"},
};
constexpr std::array kFieldColumns{
    TableColumn{"name", "", K::kText, "the CSV column and JSON key"},
    TableColumn{"unit", "", K::kText, "empty for a pure number or a text"},
    TableColumn{"kind", "", K::kText, "text, integer, number or flag"},
    TableColumn{"per", "", K::kText, "alloy, or element (one column per position: solvent, solute 1..3)"},
    TableColumn{"meaning", "", K::kText, "what the value is and where it comes from"},
};
// clang-format on

// The tables beside the rows, each with the command that writes it.
struct DescribedTable {
  std::string_view command;
  std::span<const TableColumn> columns;
};
constexpr std::array<DescribedTable, 4> kOtherTables{{{"elements", kElementColumns},
                                                      {"cluster", kClusterColumns},
                                                      {"weigh", kWeighColumns},
                                                      {"fields", kFieldColumns}}};

void write_table(OutputSink& sink, Format format, const Table& table) {
  std::string out;
  switch (format) {
    case Format::kText: {
      std::vector<std::vector<std::string>> rows = table.rows;
      for (auto& row : rows) {
        for (std::string& cell : row) {
          if (cell.empty()) cell.assign(1, '-');
        }
      }
      sink.write(aligned_table(table.header, rows));
      return;
    }
    case Format::kCsv:
      for (std::size_t c = 0; c < table.header.size(); ++c) {
        if (c > 0) out.push_back(',');
        append_csv_cell(out, table.header[c]);
      }
      out.push_back('\n');
      for (const auto& row : table.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
          if (c > 0) out.push_back(',');
          append_csv_cell(out, row[c]);
        }
        out.push_back('\n');
      }
      sink.write(out);
      return;
    case Format::kJson:
    case Format::kJsonl: {
      JsonStream stream(sink, format == Format::kJsonl);
      // Numbers in the CSV's digits, as every row of the field table writes them (33, not the
      // 33.0 that a double through the JSON library would give).
      const bool indent = format == Format::kJson;
      for (const auto& row : table.rows) {
        std::string object = indent ? "{\n" : "{";
        for (std::size_t c = 0; c < row.size(); ++c) {
          if (c > 0) object.append(indent ? ",\n" : ",");
          if (indent) object.append("  ");
          object.append(Json(table.header[c]).dump()).append(indent ? ": " : ":");
          if (table.kinds[c] == FieldKind::kText) {
            object.append(Json(row[c]).dump());
          } else if (row[c].empty()) {
            object.append("null");
          } else {
            object.append(row[c]);
          }
        }
        object.append(indent ? "\n}" : "}");
        stream.add_object(object);
      }
      stream.finish();
      return;
    }
  }
}

std::string shortest_or_empty(float value) {
  return value == 0.0F ? std::string() : format_shortest(value);
}

bool is_number_cell(const std::string& cell) {
  return !cell.empty() &&
         (cell[0] == '-' || cell[0] == '+' || cell[0] == '[' || (cell[0] >= '0' && cell[0] <= '9'));
}

}  // namespace

std::optional<Format> parse_format(std::string_view name) {
  if (name == "text") return Format::kText;
  if (name == "csv") return Format::kCsv;
  if (name == "json") return Format::kJson;
  if (name == "jsonl") return Format::kJsonl;
  return std::nullopt;
}

std::span<const TableColumn> weigh_columns() {
  return kWeighColumns;
}

std::string other_tables_markdown() {
  std::string text;
  for (const DescribedTable& t : kOtherTables) {
    append_format(text, "{}The columns of `glassform {}`:\n\n", text.empty() ? "" : "\n",
                  t.command);
    text.append("| name | unit | kind | meaning |\n|---|---|---|---|\n");
    for (const TableColumn& c : t.columns) {
      append_format(text, "| `{}` | {} | {} | {} |\n", c.name, c.unit, kind_name(c.kind),
                    c.meaning);
    }
  }
  return text;
}

void write_field_table(OutputSink& sink, Format format, bool all) {
  if (format == Format::kText) {
    sink.write(all ? fields_markdown() + "\n" + other_tables_markdown() : fields_markdown());
    return;
  }
  // With every table, a first column names the command whose output has the column.
  std::vector<std::string> header{"name", "unit", "kind", "per", "meaning"};
  if (all) header.insert(header.begin(), "table");
  Table table(header, std::vector(header.size(), FieldKind::kText));
  for (const Field& f : all_fields()) {
    table.rows.push_back({std::string(f.name), std::string(f.unit), std::string(kind_name(f.kind)),
                          std::string(scope_name(f.scope)), std::string(f.meaning)});
    if (all) table.rows.back().insert(table.rows.back().begin(), "rows");
  }
  if (all) {
    for (const DescribedTable& t : kOtherTables) {
      for (const TableColumn& c : t.columns) {
        table.rows.push_back({std::string(t.command), std::string(c.name), std::string(c.unit),
                              std::string(kind_name(c.kind)), "", std::string(c.meaning)});
      }
    }
  }
  write_table(sink, format, table);
}

std::string aligned_table(const std::vector<std::string>& header,
                          const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> width(header.size());
  // A column is right-aligned when it holds numbers, and no other text than "-".
  std::vector<bool> right(header.size(), true);
  std::vector<bool> any_number(header.size(), false);
  for (std::size_t c = 0; c < header.size(); ++c)
    width[c] = header[c].size();
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size() && c < width.size(); ++c) {
      width[c] = std::max(width[c], row[c].size());
      if (row[c] != "-" && !is_number_cell(row[c])) right[c] = false;
      if (row[c] != "-" && is_number_cell(row[c])) any_number[c] = true;
    }
  }
  for (std::size_t c = 0; c < header.size(); ++c)
    right[c] = right[c] && any_number[c];
  std::string out;
  auto line = [&](const std::vector<std::string>& cells) {
    std::string text;
    for (std::size_t c = 0; c < cells.size() && c < width.size(); ++c) {
      if (c > 0) text.append("  ");
      const std::size_t pad = width[c] - cells[c].size();
      if (right[c]) text.append(pad, ' ');
      text.append(cells[c]);
      if (!right[c]) text.append(pad, ' ');
    }
    while (!text.empty() && text.back() == ' ')
      text.pop_back();
    out.append(text);
    out.push_back('\n');
  };
  line(header);
  for (const auto& row : rows)
    line(row);
  return out;
}

std::vector<std::vector<std::string>> element_table_cells(Format format, const ElementData& data) {
  std::vector<std::vector<std::string>> rows;
  for (const Element& e : data.elements()) {
    const ElementProperties& p = data.properties(e);
    std::string sets;  // the named sets of screen --exclude
    for (const std::string_view name : sets_of(e))
      sets.append(sets.empty() ? "" : ",").append(name);
    std::string weight;
    if (e.atomic_weight > 0) append_shortest_double(weight, e.atomic_weight);
    // The periodic table brackets a mass number that stands in for a standard atomic weight.
    if (format == Format::kText && e.weight_is_mass_number) {
      weight.insert(weight.begin(), '[');
      weight.push_back(']');
    }
    const auto known = [](float v) { return std::isnan(v) ? std::string() : format_shortest(v); };
    rows.push_back({std::to_string(data.position(e) + 1), std::string(e.symbol),
                    shortest_or_empty(e.radius), shortest_or_empty(e.e), shortest_or_empty(e.g),
                    shortest_or_empty(e.b), weight, known(p.melting_point),
                    known(p.electronegativity),
                    p.valence_electrons >= 0 ? std::to_string(p.valence_electrons) : std::string(),
                    e.weight_is_mass_number ? "mass number" : "", sets});
  }
  return rows;
}

std::span<const TableColumn> element_columns() {
  return kElementColumns;
}

void write_element_table(OutputSink& sink, Format format, const ElementData& data) {
  Table table(kElementColumns);
  table.rows = element_table_cells(format, data);
  write_table(sink, format, table);
}

void write_cluster_table(OutputSink& sink, Format format, std::span<const float> ratios) {
  Table table(kClusterColumns);
  for (const float ratio : ratios) {
    const float n = coordination_number(ratio);
    const int nearest = nearest_integer(n);
    const std::optional<float> ideal = ideal_radius_ratio(nearest);
    std::string difference;
    if (ideal)
      difference = format_shortest(static_cast<float>(static_cast<LD>(ratio) / *ideal - 1));
    table.rows.push_back({format_shortest(ratio), std::to_string(face_parameter(ratio)),
                          format_shortest(n), std::to_string(nearest),
                          ideal ? format_shortest(*ideal) : std::string(), difference});
  }
  write_table(sink, format, table);
}

}  // namespace glassform
