#include "report/row_filter.hpp"

#include <array>
#include <cmath>
#include <cstdlib>

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

}  // namespace

std::variant<RowCondition, std::string> parse_condition(std::string_view text) {
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
  condition.field = find_field(name);
  if (condition.field == nullptr) {
    return "unknown field \"" + std::string(name) + "\" (glassform fields lists them)";
  }
  if (value.empty()) return "no value after the operator";
  if (condition.field->kind == FieldKind::kText) {
    if (condition.op != Op::kEqual && condition.op != Op::kNotEqual) {
      return std::string(name) + " is a text: it takes = or != only";
    }
    condition.value = std::string(value);
    return condition;
  }
  if (condition.field->kind == FieldKind::kFlag && (value == "true" || value == "false")) {
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
  const FieldValue value = condition.field->value(row);
  if (const auto* text = std::get_if<std::string>(&condition.value)) {
    const std::optional<std::string_view> v = text_value(value);
    return v && compare(condition.op, *v, std::string_view(*text));
  }
  const std::optional<double> v = numeric_value(value);
  return v && compare(condition.op, *v, std::get<double>(condition.value));
}

}  // namespace glassform
