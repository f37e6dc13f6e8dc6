#include "io/measured_file.hpp"

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "io/formula.hpp"

namespace glassform {

namespace {

// The most a measurement file may hold: it is read whole.
constexpr std::size_t kMostBytes = std::size_t{64} << 20;

// The cells of one CSV line, quotes removed ("" is a quote inside a quoted cell).
std::vector<std::string> cells_of(std::string_view line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back().push_back('"');
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back().push_back(c);
    }
  }
  for (std::string& cell : cells) {
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t'))
      cell.pop_back();
    cell.erase(0, cell.find_first_not_of(" \t"));
  }
  return cells;
}

// A number of a cell; nothing for an empty cell; an error text for anything else.
std::variant<std::optional<double>, std::string> number_of(const std::string& cell) {
  if (cell.empty()) return std::optional<double>();
  char* end = nullptr;
  const double value = std::strtod(cell.c_str(), &end);
  if (end != cell.c_str() + cell.size() || !std::isfinite(value) ||
      cell.find_first_not_of("+-.0123456789eE") != std::string::npos) {
    return "\"" + cell + "\" is not a number";
  }
  return std::optional<double>(value);
}

}  // namespace

std::variant<std::vector<MeasuredGlass>, std::string> read_measured(InputSource& in) {
  std::string text;
  std::string chunk(1 << 16, '\0');
  for (std::size_t n = 0; (n = in.read(chunk.data(), chunk.size())) > 0;) {
    text.append(chunk, 0, n);
    if (text.size() > kMostBytes) return std::string("larger than 64 MB");
  }
  if (in.error() != 0) return std::string("cannot be read");
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);

  std::vector<MeasuredGlass> glasses;
  std::optional<std::size_t> formula_column;
  std::vector<std::optional<std::size_t>> columns(4);  // E, G, B, nu
  bool header = false;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::vector<std::string> cells = cells_of(line);
    const std::string where = "line " + std::to_string(number) + ": ";
    if (!header) {
      header = true;
      for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string& c = cells[i];
        if (c == "formula" || c == "composition" || c == "glass") formula_column = i;
        if (c == "E_GPa" || c == "E") columns[0] = i;
        if (c == "G_GPa" || c == "G") columns[1] = i;
        if (c == "B_GPa" || c == "B" || c == "K_GPa" || c == "K") columns[2] = i;
        if (c == "nu") columns[3] = i;
      }
      if (!formula_column) return where + "no formula, composition or glass column";
      continue;
    }
    if (*formula_column >= cells.size()) return where + "no formula";
    MeasuredGlass glass;
    glass.name = cells[*formula_column];
    ParsedFormula parsed = parse_formula(glass.name);
    if (parsed.error) {
      return where + "formula \"" + glass.name + "\", position " +
             std::to_string(parsed.error->position + 1) + ": " + parsed.error->message;
    }
    for (const FormulaPart& p : parsed.parts) {
      if (p.amount > 0) glass.parts.push_back(p);
    }
    std::array<std::optional<double>, 4> values{};
    for (std::size_t k = 0; k < columns.size(); ++k) {
      if (!columns[k] || *columns[k] >= cells.size()) continue;
      auto v = number_of(cells[*columns[k]]);
      if (const std::string* why = std::get_if<std::string>(&v)) return where + *why;
      values[k] = std::get<std::optional<double>>(v);
    }
    glass.g = values[1];
    glass.b = values[2];
    glass.nu = values[3];
    complete_moduli(glass, values[0]);
    glasses.push_back(std::move(glass));
  }
  return glasses;
}

}  // namespace glassform
