#include "glassform/io/measured_file.hpp"

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include <fmt/format.h>

#include "glassform/io/formula.hpp"
#include "glassform/io/text.hpp"

namespace glassform {

namespace {

// The most a measurement file may hold: it is read whole.
constexpr std::size_t kMostBytes = std::size_t{64} << 20;

struct CsvCell {
  std::string text;
  std::size_t line = 0;
  std::size_t column = 0;  // of the cell's first character after leading blanks
};

// Splits the text into records of cells as RFC 4180 writes them, with the place of each cell.
// Empty lines and lines starting with # are skipped.
class Records {
 public:
  explicit Records(std::string_view text) : text_(text) {}

  // The next record; false at the end, or with `error` set for a quoted cell left open or text
  // after a closing quote.
  bool next(std::vector<CsvCell>& cells, std::optional<FileFault>& error) {
    cells.clear();
    for (;;) {
      if (at_ >= text_.size()) return false;
      const char c = text_[at_];
      if (c == '\n' || (c == '\r' && peek(1) == '\n') || c == '#') {
        skip_line();
        continue;
      }
      break;
    }
    for (;;) {
      cells.push_back(cell(error));
      if (error) return false;
      if (at_ < text_.size() && text_[at_] == ',') {
        advance();
        continue;
      }
      skip_line();  // at a line end or at the end of the text
      return true;
    }
  }

 private:
  [[nodiscard]] char peek(std::size_t ahead) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
  }

  void advance() {
    if (text_[at_] == '\n') {
      ++line_;
      column_ = 1;
    } else if ((static_cast<unsigned char>(text_[at_]) & 0xC0U) != 0x80) {
      ++column_;  // a column a character
    }
    ++at_;
  }

  void skip_line() {
    while (at_ < text_.size() && text_[at_] != '\n')
      advance();
    if (at_ < text_.size()) advance();
  }

  [[nodiscard]] bool at_line_end() const {
    return at_ >= text_.size() || text_[at_] == '\n' || (text_[at_] == '\r' && peek(1) == '\n') ||
           (text_[at_] == '\r' && at_ + 1 == text_.size());
  }

  void skip_blanks() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
      advance();
  }

  CsvCell cell(std::optional<FileFault>& error) {
    skip_blanks();
    CsvCell out{{}, line_, column_};
    if (at_ < text_.size() && text_[at_] == '"') {
      advance();
      for (;;) {
        if (at_ >= text_.size()) {
          error = FileFault{out.line, out.column, "a quoted cell is not closed"};
          return out;
        }
        if (text_[at_] == '"' && peek(1) == '"') {
          out.text.push_back('"');
          advance();
          advance();
        } else if (text_[at_] == '"') {
          advance();
          break;
        } else {
          out.text.push_back(text_[at_]);
          advance();
        }
      }
      skip_blanks();
      if (!at_line_end() && text_[at_] != ',') {
        error = FileFault{line_, column_, "text after the closing quote of a cell"};
      }
      if (at_ < text_.size() && text_[at_] == '\r' && at_line_end()) advance();
      return out;
    }
    while (!at_line_end() && text_[at_] != ',') {
      out.text.push_back(text_[at_]);
      advance();
    }
    if (at_ < text_.size() && text_[at_] == '\r') advance();
    while (!out.text.empty() && (out.text.back() == ' ' || out.text.back() == '\t'))
      out.text.pop_back();
    return out;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::size_t column_ = 1;
};

// The columns the file may have, with the names each goes by.
enum Quantity : std::size_t { kE, kG, kB, kNu, kQuantities };
constexpr std::array<std::array<std::string_view, 4>, kQuantities> kNames{{
    {"E_GPa", "E", "", ""},
    {"G_GPa", "G", "", ""},
    {"B_GPa", "B", "K_GPa", "K"},
    {"nu", "", "", ""},
}};
constexpr std::array<std::string_view, 3> kFormulaNames{"formula", "composition", "glass"};

// A value of a cell; nothing for an empty cell; an error for anything else or out of range.
std::variant<std::optional<double>, FileFault> value_of(const CsvCell& cell, Quantity q) {
  if (cell.text.empty()) return std::optional<double>();
  char* end = nullptr;
  const double value = std::strtod(cell.text.c_str(), &end);
  const auto fault = [&cell](std::string message) {
    return FileFault{cell.line, cell.column, std::move(message)};
  };
  if (end != cell.text.c_str() + cell.text.size() || !std::isfinite(value) ||
      cell.text.find_first_not_of("+-.0123456789eE") != std::string::npos) {
    return fault(quoted_text(cell.text) + " is not a number");
  }
  if (q == kNu) {
    if (!(value > -1 && value < 0.5)) {
      return fault("Poisson's ratio " + quoted_text(cell.text) +
                   " is outside the range of a stable solid, -1 < nu < 0.5");
    }
  } else if (!(value >= kLeastModulus && value <= kMostModulus)) {
    return fault(std::string(kNames[q][0]) + " " + quoted_text(cell.text) +
                 " is not a modulus: give a number of GPa from 0.001 to 10000");
  }
  return std::optional<double>(value);
}

// Whether the given values contradict one another beyond the tolerances; the text says which.
std::optional<std::string> contradiction(const std::array<std::optional<double>, kQuantities>& v) {
  const auto relative = [](double a, double b) { return std::abs(a - b) / std::max(a, b); };
  const auto& [e, g, b, nu] = v;
  const auto text = [](double given, double implied, std::string_view what) {
    return std::string(what) + " given as " + fmt::format("{}", given) +
           ", but the other values give " + fmt::format("{:.4g}", implied);
  };
  if (e && g && nu && relative(*e, 2 * *g * (1 + *nu)) > kModulusTolerance) {
    return text(*e, 2 * *g * (1 + *nu), "E_GPa") + " (E = 2G(1 + nu))";
  }
  if (e && b && nu && relative(*e, 3 * *b * (1 - 2 * *nu)) > kModulusTolerance) {
    return text(*e, 3 * *b * (1 - 2 * *nu), "E_GPa") + " (E = 3B(1 - 2nu))";
  }
  if (g && b && nu) {
    const double implied = (3 * *b - 2 * *g) / (2 * (3 * *b + *g));
    if (std::abs(*nu - implied) > kPoissonTolerance) {
      return text(*nu, implied, "nu") + " (nu = (3B - 2G) / (2(3B + G)))";
    }
  }
  if (e && g && b && relative(*e, 9 * *b * *g / (3 * *b + *g)) > kModulusTolerance) {
    return text(*e, 9 * *b * *g / (3 * *b + *g), "E_GPa") + " (E = 9BG / (3B + G))";
  }
  return std::nullopt;
}

}  // namespace

std::variant<std::vector<MeasuredGlass>, FileFault> read_measured(InputSource& in) {
  std::string text;
  std::string chunk(1 << 16, '\0');
  for (std::size_t n = 0; (n = in.read(chunk.data(), chunk.size())) > 0;) {
    text.append(chunk, 0, n);
    if (text.size() > kMostBytes) return FileFault{0, 0, "larger than 64 MB"};
  }
  if (in.error() != 0) return FileFault{0, 0, "cannot be read"};
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);

  Records records(text);
  std::vector<CsvCell> cells;
  std::optional<FileFault> error;
  if (!records.next(cells, error)) {
    if (error) return *error;
    return FileFault{0, 0, "no header line: the file is empty"};
  }
  // The header: one formula column, each quantity at most once.
  std::optional<std::size_t> formula_column;
  std::array<std::optional<std::size_t>, kQuantities> columns{};
  std::array<std::string_view, kQuantities> named{};
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const CsvCell& c = cells[i];
    const auto twice = [&c](std::string_view first) {
      return FileFault{c.line, c.column,
                       "column " + quoted_text(c.text) + " gives the same as " +
                           quoted_text(first) + " before it"};
    };
    for (const std::string_view name : kFormulaNames) {
      if (c.text != name) continue;
      if (formula_column) return twice(cells[*formula_column].text);
      formula_column = i;
    }
    for (std::size_t q = 0; q < kQuantities; ++q) {
      for (const std::string_view name : kNames[q]) {
        if (name.empty() || c.text != name) continue;
        if (columns[q]) return twice(named[q]);
        columns[q] = i;
        named[q] = name;
      }
    }
  }
  if (!formula_column) {
    return FileFault{cells.front().line, 1, "no formula, composition or glass column"};
  }

  std::vector<MeasuredGlass> glasses;
  while (records.next(cells, error)) {
    const std::size_t line = cells.front().line;
    if (*formula_column >= cells.size() || cells[*formula_column].text.empty()) {
      return FileFault{line, 1, "no formula"};
    }
    const CsvCell& formula = cells[*formula_column];
    MeasuredGlass glass;
    glass.name = formula.text;
    ParsedFormula parsed = parse_formula(glass.name);
    if (parsed.error) {
      return FileFault{formula.line, formula.column + parsed.error->position,
                       "formula " + quoted_text(glass.name) + ", position " +
                           std::to_string(parsed.error->position + 1) + ": " +
                           escaped_text(parsed.error->message, std::string::npos)};
    }
    for (const FormulaPart& p : parsed.parts) {
      if (p.amount > 0) glass.parts.push_back(p);
    }
    std::array<std::optional<double>, kQuantities> values{};
    for (std::size_t q = 0; q < kQuantities; ++q) {
      if (!columns[q] || *columns[q] >= cells.size()) continue;
      auto v = value_of(cells[*columns[q]], static_cast<Quantity>(q));
      if (auto* fault = std::get_if<FileFault>(&v)) return std::move(*fault);
      values[q] = std::get<std::optional<double>>(v);
    }
    if (std::optional<std::string> why = contradiction(values)) {
      return FileFault{line, 1, *why + ", beyond the tolerance of 5 % (0.02 for nu)"};
    }
    glass.g = values[kG];
    glass.b = values[kB];
    glass.nu = values[kNu];
    complete_moduli(glass, values[kE]);
    glasses.push_back(std::move(glass));
  }
  if (error) return *error;
  if (glasses.empty()) return FileFault{0, 0, "no measurements after the header"};
  return glasses;
}

}  // namespace glassform
