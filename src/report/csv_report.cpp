#include "report/csv_report.hpp"

#include <charconv>

#include "report/number_format.hpp"
#include "report/warnings.hpp"
#include "report/weighing_report.hpp"

namespace glassform {

namespace {

void append_int(std::string& out, int value) {
  std::array<char, 16> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), result.ptr);
}

void number(std::string& out, float value) {
  append_shortest(out, value);
  out.push_back(',');
}

void optional_number(std::string& out, const std::optional<float>& value) {
  if (value) append_shortest(out, *value);
  out.push_back(',');
}

// One cell for each of the three solute positions, empty past the alloy's own.
template <typename Cell>
void per_solute(std::string& out, std::size_t solutes, Cell cell) {
  for (std::size_t i = 0; i < 3; ++i) {
    if (i < solutes) cell(i);
    out.push_back(',');
  }
}

}  // namespace

void append_csv_header(std::string& out) {
  for (std::size_t i = 0; i < kCsvColumns.size(); ++i) {
    if (i > 0) out.push_back(',');
    append_csv_cell(out, kCsvColumns[i]);
  }
  out.push_back('\n');
}

void append_csv_cell(std::string& out, std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(cell);
    return;
  }
  out.push_back('"');
  for (const char c : cell) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void append_formula(std::string& out, const AlloyResult& alloy, const Composition& composition) {
  const std::span<const Element* const> elements = alloy.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    out.append(elements[i]->symbol);
    append_fixed(out, composition.percent[i], 2);
  }
}

void append_csv_row(std::string& out, const AlloyResult& alloy, const Composition& composition,
                    std::optional<double> grams) {
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> k = alloy.clusters();
  const std::size_t solutes = k.size();
  out.append(kind_name(alloy.kind));
  out.push_back(',');
  out.append(e[0]->symbol);
  out.push_back(',');
  per_solute(out, solutes, [&](std::size_t i) { out.append(e[i + 1]->symbol); });
  if (composition.gamma_sites) append_int(out, *composition.gamma_sites);
  out.push_back(',');
  per_solute(out, solutes, [&](std::size_t i) { append_shortest(out, k[i].measure.coordination); });
  per_solute(out, solutes, [&](std::size_t i) { append_int(out, k[i].chosen); });
  per_solute(out, solutes, [&](std::size_t i) { append_shortest(out, k[i].measure.ratio); });
  per_solute(out, solutes, [&](std::size_t i) { append_shortest(out, k[i].ratio_used); });
  optional_number(out, alloy.mismatch);
  number(out, composition.solvent_atoms);
  number(out, composition.total_atoms);
  for (std::size_t i = 0; i < 4; ++i) {
    if (i < e.size()) append_shortest(out, composition.percent[i]);
    out.push_back(',');
  }
  append_formula(out, alloy, composition);
  out.push_back(',');
  number(out, composition.packing);
  const ElasticResult& elastic = composition.elastic;
  optional_number(out, elastic.e.value);
  optional_number(out, elastic.g.value);
  optional_number(out, elastic.b.value);
  if (elastic.constants) {
    const ElasticConstants& c = *elastic.constants;
    for (const float v : {c.c11, c.c12, c.c44, c.fragility, c.c12_over_c11, c.c44_over_c11})
      number(out, v);
  } else {
    out.append(",,,,,,");
  }
  append_csv_cell(out, row_warnings(alloy, composition));
  const std::array<float, 4> weight = composition_weight_percent(alloy, composition);
  for (std::size_t i = 0; i < 4; ++i) {
    out.push_back(',');
    if (i < e.size()) append_shortest(out, weight[i]);
  }
  const std::array<double, 4> mass =
      grams ? composition_masses(alloy, composition, *grams) : std::array<double, 4>{};
  for (std::size_t i = 0; i < 4; ++i) {
    out.push_back(',');
    if (grams && i < e.size()) append_shortest_double(out, mass[i]);
  }
  out.push_back('\n');
}

void append_csv_rows(std::string& out, const AlloyResult& alloy, std::optional<double> grams) {
  for (const Composition& c : alloy.compositions())
    append_csv_row(out, alloy, c, grams);
}

}  // namespace glassform
