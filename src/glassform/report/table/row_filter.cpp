#include "glassform/report/table/row_filter.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "glassform/io/format.hpp"
#include "glassform/report/table/number_format.hpp"

namespace glassform {

namespace {

using Op = RowCondition::Op;

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

template <typename T>
bool compare(Op op, const T& a, const T& b) {
  switch (op) {
    case Op::kLess:
      return a < b;
    case Op::kLessEqual:
      return a <= b;
    case Op::kGreater:
      return a > b;
    case Op::kGreaterEqual:
      return a >= b;
    case Op::kEqual:
      return a == b;
    case Op::kNotEqual:
      return a != b;
  }
  return false;
}

// The edits (insertions, deletions, substitutions) between two names, case ignored.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j)
    row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

FieldKind kind_of(const Column& column) {
  return column.field != nullptr ? column.field->kind : FieldKind::kNumber;
}

}  // namespace

std::string did_you_mean(std::string_view name, std::span<const Column> columns) {
  // Near enough: at most a third of the name's letters changed, and at least one edit allowed.
  const std::size_t most = std::max<std::size_t>(1, name.size() / 3);
  std::size_t best = most + 1;
  std::vector<std::string_view> names;
  for (const Column& c : columns) {
    const std::size_t d = edit_distance(name, c.name);
    if (d > best) continue;
    if (d < best) names.clear();
    best = d;
    if (std::find(names.begin(), names.end(), c.name) == names.end()) names.push_back(c.name);
  }
  if (names.empty() && name.size() >= 3) {
    // A name cut short: the columns that begin with it ("dH_mix" for dH_mix_kJ/mol).
    for (const Column& c : columns) {
      const bool starts =
          c.name.size() > name.size() && edit_distance(name, c.name.substr(0, name.size())) == 0;
      if (starts && std::find(names.begin(), names.end(), c.name) == names.end())
        names.push_back(c.name);
    }
  }
  if (names.empty() || names.size() > 3) return {};
  std::string out = " (did you mean ";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out.append(i + 1 == names.size() ? " or " : ", ");
    out.append(names[i]);
  }
  return out + "?)";
}

std::optional<double> written_number(const FieldValue& value) {
  if (const auto* f = std::get_if<float>(&value)) {
    return std::strtod(format_shortest(*f).c_str(), nullptr);
  }
  return numeric_value(value);
}

std::variant<RowCondition, std::string> parse_condition(std::string_view text,
                                                        std::span<const Column> columns) {
  const std::size_t at = text.find_first_of("<>=!");
  if (at == std::string_view::npos) {
    return "expected NAME OP VALUE with OP one of < <= > >= = !=, e.g. 'delta_pct>12'";
  }
  struct Spelling {
    std::string_view text;
    Op op;
  };
  constexpr std::array<Spelling, 6> kOps{{{"<=", Op::kLessEqual},
                                          {">=", Op::kGreaterEqual},
                                          {"!=", Op::kNotEqual},
                                          {"<", Op::kLess},
                                          {">", Op::kGreater},
                                          {"=", Op::kEqual}}};
  const std::string_view rest = text.substr(at);
  const Spelling* spelling = nullptr;
  for (const Spelling& s : kOps) {
    if (rest.starts_with(s.text)) {
      spelling = &s;
      break;
    }
  }
  if (spelling == nullptr) return "expected < <= > >= = or != after the name";
  RowCondition condition;
  condition.op = spelling->op;
  const std::string_view name = trimmed(text.substr(0, at));
  const std::string_view value = trimmed(rest.substr(spelling->text.size()));
  const auto column = std::find_if(columns.begin(), columns.end(),
                                   [&name](const Column& c) { return c.name == name; });
  if (column == columns.end()) {
    return "no column \"" + std::string(name) + "\" in these rows" + did_you_mean(name, columns) +
           " (glassform fields lists the fields)";
  }
  condition.column = *column;
  const FieldKind kind = kind_of(*column);
  if (value.empty()) return "no value after the operator";
  if (kind == FieldKind::kText) {
    if (condition.op != Op::kEqual && condition.op != Op::kNotEqual) {
      return std::string(name) + " is a text: it takes = or != only";
    }
    condition.value = std::string(value);
    return condition;
  }
  if (kind == FieldKind::kFlag && (value == "true" || value == "false")) {
    condition.value = value == "true" ? 1.0 : 0.0;
    return condition;
  }
  // A decimal number: strtod also reads hexadecimal, inf and nan, which are no values here.
  const std::string digits(value);
  char* end = nullptr;
  const double number = std::strtod(digits.c_str(), &end);
  if (end != digits.c_str() + digits.size() || !std::isfinite(number) ||
      digits.find_first_not_of("+-.0123456789eE") != std::string::npos) {
    return "\"" + digits + "\" is not a number";
  }
  condition.value = number;
  return condition;
}

bool meets(const RowCondition& condition, const Row& row) {
  const FieldValue value = condition.column->value(row);
  if (const auto* text = std::get_if<std::string>(&condition.value)) {
    const std::optional<std::string_view> v = text_value(value);
    return v && compare(condition.op, *v, std::string_view(*text));
  }
  const std::optional<double> v = written_number(value);
  return v && compare(condition.op, *v, std::get<double>(condition.value));
}

bool meets_all(std::span<const RowCondition> conditions, const Row& row) {
  return std::all_of(conditions.begin(), conditions.end(),
                     [&row](const RowCondition& c) { return meets(c, row); });
}

std::variant<std::vector<RowCondition>, std::string> parse_conditions(
    const std::vector<std::string>& texts, std::span<const Column> columns) {
  std::vector<RowCondition> out;
  out.reserve(texts.size());
  for (const std::string& text : texts) {
    auto condition = parse_condition(text, columns);
    if (const std::string* why = std::get_if<std::string>(&condition)) {
      return fmt::format("\"{}\": {}", text, *why);
    }
    out.push_back(std::get<RowCondition>(std::move(condition)));
  }
  return out;
}

}  // namespace glassform
