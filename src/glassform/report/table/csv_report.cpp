#include "glassform/report/table/csv_report.hpp"

#include <algorithm>

#include "glassform/io/format.hpp"
#include "glassform/report/table/number_format.hpp"

namespace glassform {

void append_csv_cell(std::string& out, std::string_view cell) {
  // One pass over the cell (find_first_of searches the set once per byte).
  const bool plain = std::none_of(cell.begin(), cell.end(), [](char c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
  });
  if (plain) {
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

void append_formula(std::string& out, std::span<const FormulaPart> parts) {
  for (const FormulaPart& p : parts) {
    out.append(p.element->symbol);
    append_fixed(out, p.amount, 2);
  }
}

}  // namespace glassform
