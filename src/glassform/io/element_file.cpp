#include "glassform/io/element_file.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"

namespace glassform {

namespace {

struct Cell {
  std::string text;
  std::size_t column = 0;
};

struct Record {
  std::size_t line = 0;
  std::vector<Cell> cells;
};

// The records of a table: the header first. Blank lines and lines starting with # are skipped;
// the separator is a tab where the first record holds one, otherwise a comma; a cell may be
// quoted (a quote doubled inside it), on one line.
std::variant<std::vector<Record>, FileFault> split_records(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<Record> out;
  char separator = 0;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    if (separator == 0) separator = line.find('\t') != std::string_view::npos ? '\t' : ',';
    Record record{number, {}};
    std::size_t at = 0;
    std::size_t column = 1;  // a column a character
    const auto step = [&] {
      if ((static_cast<unsigned char>(line[at]) & 0xC0U) != 0x80) ++column;
      ++at;
    };
    for (;;) {
      while (at < line.size() && line[at] == ' ')
        step();
      Cell cell{{}, column};
      if (at < line.size() && line[at] == '"') {
        step();
        for (;;) {
          if (at >= line.size())
            return FileFault{number, cell.column, "a quoted cell is not closed"};
          if (line[at] == '"' && at + 1 < line.size() && line[at + 1] == '"') {
            cell.text.push_back('"');
            step();
            step();
          } else if (line[at] == '"') {
            step();
            break;
          } else {
            cell.text.push_back(line[at]);
            step();
          }
        }
        while (at < line.size() && line[at] == ' ')
          step();
        if (at < line.size() && line[at] != separator)
          return FileFault{number, column, "text after the closing quote of a cell"};
      } else {
        while (at < line.size() && line[at] != separator) {
          cell.text.push_back(line[at]);
          step();
        }
        while (!cell.text.empty() && (cell.text.back() == ' ' || cell.text.back() == '\t'))
          cell.text.pop_back();
      }
      record.cells.push_back(std::move(cell));
      if (at >= line.size()) break;
      step();  // the separator
    }
    out.push_back(std::move(record));
  }
  if (out.empty()) return FileFault{0, 0, "no header line"};
  return out;
}

std::string quoted(std::string_view text) {
  std::string out(1, '"');
  out.append(escaped_text(text, 40)).push_back('"');
  return out;
}

bool is_symbol(std::string_view text) {
  return (text.size() == 1 || text.size() == 2) && text[0] >= 'A' && text[0] <= 'Z' &&
         (text.size() == 1 || (text[1] >= 'a' && text[1] <= 'z'));
}

// A finite decimal number filling the whole text, or why it is none.
std::variant<double, std::string> parse_number(std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || end != copy.c_str() + copy.size()) return quoted(text) + " is not a number";
  if (!std::isfinite(value)) return quoted(text) + " is not a finite number";
  return value;
}

// The columns of a header, each by its index; an unknown or repeated one is an error.
std::variant<std::vector<int>, FileFault> header_columns(
    const Record& header, std::span<const std::string_view> names,
    std::span<const std::string_view> ignored) {
  std::vector<int> at(names.size(), -1);
  for (std::size_t i = 0; i < header.cells.size(); ++i) {
    const Cell& cell = header.cells[i];
    const auto known = std::find(names.begin(), names.end(), cell.text);
    if (known != names.end()) {
      int& slot = at[static_cast<std::size_t>(known - names.begin())];
      if (slot >= 0) {
        return FileFault{header.line, cell.column, "column " + quoted(cell.text) + " is repeated"};
      }
      slot = static_cast<int>(i);
      continue;
    }
    if (std::find(ignored.begin(), ignored.end(), cell.text) != ignored.end()) continue;
    std::string list;
    for (const std::string_view name : names)
      list.append(list.empty() ? "" : ", ").append(name);
    return FileFault{header.line, cell.column,
                     "unknown column " + quoted(cell.text) + ": the columns are " + list};
  }
  return at;
}

constexpr std::array<std::string_view, 2 + kElementQuantityCount> kElementColumns{
    "symbol",
    "radius_nm",
    "E_GPa",
    "G_GPa",
    "B_GPa",
    "atomic_weight_u",
    "melting_point_K",
    "electronegativity_pauling",
    "valence_electrons",
    "source"};
constexpr std::array<std::string_view, 3> kIgnoredElementColumns{"index", "weight_note", "sets"};
constexpr std::array<std::string_view, 5> kPairColumns{"element_a", "element_b",
                                                       "dH_mix_kJ_per_mol", "note", "source"};

// A row's cell in a column, or an empty cell where the column is absent.
const Cell* cell_at(const Record& record, int index) {
  static const Cell kEmpty;
  return index < 0 ? &kEmpty : &record.cells[static_cast<std::size_t>(index)];
}

std::optional<FileFault> check_width(const Record& record, std::size_t width) {
  if (record.cells.size() == width) return std::nullopt;
  return FileFault{record.line, 1,
                   fmt::format("{} cells where the header has {}", record.cells.size(), width)};
}

}  // namespace

std::variant<std::vector<ElementChange>, FileFault> read_element_changes(std::string_view text) {
  auto records = split_records(text);
  if (auto* e = std::get_if<FileFault>(&records)) return *e;
  const std::vector<Record>& rows = std::get<std::vector<Record>>(records);
  auto columns = header_columns(rows[0], kElementColumns, kIgnoredElementColumns);
  if (auto* e = std::get_if<FileFault>(&columns)) return *e;
  const std::vector<int>& at = std::get<std::vector<int>>(columns);
  if (at[0] < 0) return FileFault{rows[0].line, 1, "the header has no symbol column"};
  std::vector<ElementChange> out;
  std::vector<std::size_t> lines;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const Record& row = rows[r];
    if (auto e = check_width(row, rows[0].cells.size())) return *e;
    const Cell& symbol = *cell_at(row, at[0]);
    if (!is_symbol(symbol.text)) {
      return FileFault{
          row.line, symbol.column,
          "symbol " + quoted(symbol.text) + " is not a capital letter and an optional small one"};
    }
    for (std::size_t k = 0; k < out.size(); ++k) {
      if (out[k].symbol == symbol.text) {
        return FileFault{row.line, symbol.column,
                         fmt::format("symbol {} is given twice (first on line {})",
                                     quoted(symbol.text), lines[k])};
      }
    }
    ElementChange change;
    change.symbol = symbol.text;
    for (std::size_t q = 0; q < kElementQuantityCount; ++q) {
      const Cell& cell = *cell_at(row, at[q + 1]);
      if (cell.text.empty()) continue;
      if (cell.text == "none") {
        change.cells[q].kind = ElementCell::Kind::kNone;
        continue;
      }
      const auto number = parse_number(cell.text);
      if (const auto* why = std::get_if<std::string>(&number))
        return FileFault{row.line, cell.column, *why};
      const double value = std::get<double>(number);
      const auto quantity = static_cast<ElementQuantity>(q);
      if (quantity == ElementQuantity::kValenceElectrons) {
        if (value < 0 || value != std::floor(value) || value > 1000) {
          return FileFault{
              row.line, cell.column,
              "valence_electrons must be a whole number of 0 or more, not " + quoted(cell.text)};
        }
      } else if (!(value > 0)) {
        return FileFault{
            row.line, cell.column,
            std::string(quantity_column(quantity)) + " must be positive, not " + quoted(cell.text)};
      }
      change.cells[q] = {ElementCell::Kind::kValue, value};
    }
    change.source = cell_at(row, at[kElementColumns.size() - 1])->text;
    out.push_back(std::move(change));
    lines.push_back(row.line);
  }
  std::size_t added = 0;
  for (const ElementChange& c : out)
    added += find_element(c.symbol) == nullptr ? 1 : 0;
  if (kElementCount + added > kMostElements) {
    return FileFault{
        0, 0,
        fmt::format("{} elements added: at most {} may be", added, kMostElements - kElementCount)};
  }
  return out;
}

std::variant<std::vector<PairChange>, FileFault> read_pair_changes(
    std::string_view text, const std::vector<ElementChange>& elements) {
  auto records = split_records(text);
  if (auto* e = std::get_if<FileFault>(&records)) return *e;
  const std::vector<Record>& rows = std::get<std::vector<Record>>(records);
  auto columns = header_columns(rows[0], kPairColumns, {});
  if (auto* e = std::get_if<FileFault>(&columns)) return *e;
  const std::vector<int>& at = std::get<std::vector<int>>(columns);
  for (std::size_t i = 0; i < 3; ++i) {
    if (at[i] < 0) {
      return FileFault{rows[0].line, 1,
                       "the header has no " + std::string(kPairColumns[i]) + " column"};
    }
  }
  const auto known = [&elements](std::string_view s) {
    return find_element(s) != nullptr ||
           std::any_of(elements.begin(), elements.end(),
                       [s](const ElementChange& c) { return c.symbol == s; });
  };
  std::vector<PairChange> out;
  std::vector<std::size_t> lines;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const Record& row = rows[r];
    if (auto e = check_width(row, rows[0].cells.size())) return *e;
    const Cell& a = *cell_at(row, at[0]);
    const Cell& b = *cell_at(row, at[1]);
    for (const Cell* c : {&a, &b}) {
      if (!is_symbol(c->text)) {
        return FileFault{
            row.line, c->column,
            "symbol " + quoted(c->text) + " is not a capital letter and an optional small one"};
      }
      if (!known(c->text)) {
        return FileFault{
            row.line, c->column,
            "symbol " + quoted(c->text) + " is neither built in nor in the element file"};
      }
    }
    if (a.text == b.text)
      return FileFault{row.line, b.column, "a pair of " + quoted(a.text) + " with itself"};
    for (std::size_t k = 0; k < out.size(); ++k) {
      if ((out[k].a == a.text && out[k].b == b.text) ||
          (out[k].a == b.text && out[k].b == a.text)) {
        return FileFault{row.line, a.column,
                         fmt::format("the pair {}-{} is given twice (first on line {})", a.text,
                                     b.text, lines[k])};
      }
    }
    const Cell& value = *cell_at(row, at[2]);
    const auto number = parse_number(value.text);
    if (const auto* why = std::get_if<std::string>(&number))
      return FileFault{row.line, value.column, *why};
    const std::string& source = cell_at(row, at[4])->text;
    out.push_back({a.text, b.text, std::get<double>(number),
                   source.empty() ? cell_at(row, at[3])->text : source});
    lines.push_back(row.line);
  }
  return out;
}

namespace {

std::string with_source(std::string text, std::string_view source) {
  if (!source.empty()) text.append(" (").append(escaped_text(source, 80)).append(")");
  return text;
}

// A value of the built-in data as the element table prints it.
std::string builtin_value(const Element& e, const ElementProperties& p, ElementQuantity q) {
  const auto shortest = [](float v) { return v > 0 ? fmt::format("{}", v) : std::string("none"); };
  switch (q) {
    case ElementQuantity::kRadius:
      return shortest(e.radius);
    case ElementQuantity::kYoungsModulus:
      return shortest(e.e);
    case ElementQuantity::kShearModulus:
      return shortest(e.g);
    case ElementQuantity::kBulkModulus:
      return shortest(e.b);
    case ElementQuantity::kAtomicWeight:
      return fmt::format("{}", e.atomic_weight);
    case ElementQuantity::kMeltingPoint:
      return shortest(p.melting_point);
    case ElementQuantity::kElectronegativity:
      return shortest(p.electronegativity);
    case ElementQuantity::kValenceElectrons:
      return fmt::format("{}", p.valence_electrons);
  }
  return {};
}

std::string cell_text(const ElementCell& cell) {
  return cell.kind == ElementCell::Kind::kNone ? std::string("none")
                                               : fmt::format("{}", cell.value);
}

}  // namespace

std::variant<UserElementData, std::string> load_element_data(
    const std::optional<NamedText>& elements, const std::optional<NamedText>& pairs) {
  if (!elements && !pairs) return UserElementData{ElementData::builtin(), "builtin", {}, {}};
  for (const std::optional<NamedText>* file : {&elements, &pairs}) {
    if (*file && (*file)->bytes.size() > kMostElementFileBytes) {
      return fault_text((*file)->name,
                        {0, 0, fmt::format("larger than {} bytes", kMostElementFileBytes)});
    }
  }
  std::vector<ElementChange> element_changes;
  if (elements) {
    auto read = read_element_changes(elements->bytes);
    if (auto* e = std::get_if<FileFault>(&read)) return fault_text(elements->name, *e);
    element_changes = std::move(std::get<std::vector<ElementChange>>(read));
  }
  std::vector<PairChange> pair_changes;
  if (pairs) {
    auto read = read_pair_changes(pairs->bytes, element_changes);
    if (auto* e = std::get_if<FileFault>(&read)) return fault_text(pairs->name, *e);
    pair_changes = std::move(std::get<std::vector<PairChange>>(read));
  }
  std::string bytes = elements ? elements->bytes : std::string();
  if (pairs) bytes += pairs->bytes;
  std::string digest = sha256_hex(bytes).substr(0, 12);
  UserElementData out{
      ElementData::with_changes(element_changes, pair_changes, digest), digest, {}, {}};
  for (const ElementChange& c : element_changes) {
    const Element* known = find_element(c.symbol);
    if (known == nullptr) {
      std::string text = c.symbol + " added:";
      bool any = false;
      for (std::size_t q = 0; q < kElementQuantityCount; ++q) {
        if (c.cells[q].kind != ElementCell::Kind::kValue) continue;
        text.append(any ? ", " : " ")
            .append(quantity_column(static_cast<ElementQuantity>(q)))
            .append(" ")
            .append(cell_text(c.cells[q]));
        any = true;
      }
      if (!any) text.append(" no values");
      out.changes.push_back(with_source(std::move(text), c.source));
      out.sources.emplace_back(c.symbol, with_source("added", c.source));
      continue;
    }
    std::string changed;
    const ElementProperties& p =
        kElementProperties[static_cast<std::size_t>(element_index(*known) - 1)];
    for (std::size_t q = 0; q < kElementQuantityCount; ++q) {
      if (c.cells[q].kind == ElementCell::Kind::kKeep) continue;
      const auto quantity = static_cast<ElementQuantity>(q);
      const std::string before = builtin_value(*known, p, quantity);
      const std::string after = cell_text(c.cells[q]);
      if (before == after) continue;
      out.changes.push_back(with_source(
          fmt::format("{} {} {} -> {}", c.symbol, quantity_column(quantity), before, after),
          c.source));
      changed.append(changed.empty() ? "changed: " : ", ").append(quantity_column(quantity));
    }
    if (!changed.empty()) out.sources.emplace_back(c.symbol, with_source(changed, c.source));
  }
  std::size_t added = 0;
  for (const PairChange& p : pair_changes) {
    const Element* a = find_element(p.a);
    const Element* b = find_element(p.b);
    const std::optional<float> before = a != nullptr && b != nullptr
                                            ? ElementData::builtin().mixing_enthalpy(*a, *b)
                                            : std::nullopt;
    if (!before) {
      ++added;
      continue;
    }
    const auto after = static_cast<float>(p.kj_per_mol);
    if (*before == after) continue;
    out.changes.push_back(with_source(
        fmt::format("{}-{} dH_mix_kJ_per_mol {} -> {}", p.a, p.b, *before, after), p.source));
  }
  if (added > 0) {
    out.changes.push_back(fmt::format("{} pair enthalp{} added", added, added == 1 ? "y" : "ies"));
  }
  return out;
}

// SHA-256 as FIPS 180-4 defines it.
std::string sha256_hex(std::string_view bytes) {
  static constexpr std::array<std::uint32_t, 64> kRound{
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::array<std::uint32_t, 8> h{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::string message(bytes);
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  message.push_back(static_cast<char>(0x80));
  while (message.size() % 64 != 56)
    message.push_back('\0');
  for (int shift = 56; shift >= 0; shift -= 8)
    message.push_back(static_cast<char>((bits >> shift) & 0xFFU));
  const auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (std::size_t block = 0; block < message.size(); block += 64) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i) {
      for (std::size_t k = 0; k < 4; ++k) {
        w[i] = (w[i] << 8) | static_cast<unsigned char>(message[block + 4 * i + k]);
      }
    }
    for (std::size_t i = 16; i < 64; ++i) {
      const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = h;
    for (std::size_t i = 0; i < 64; ++i) {
      const std::uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
      const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
      const std::uint32_t t1 = v[7] + s1 + choice + kRound[i] + w[i];
      const std::uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
      const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      const std::uint32_t t2 = s0 + majority;
      for (std::size_t k = 7; k > 0; --k)
        v[k] = v[k - 1];
      v[4] += t1;
      v[0] = t1 + t2;
    }
    for (std::size_t k = 0; k < 8; ++k)
      h[k] += v[k];
  }
  std::string out;
  for (const std::uint32_t x : h)
    out += fmt::format("{:08x}", x);
  return out;
}

}  // namespace glassform
