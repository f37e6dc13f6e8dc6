// Conditions on the fields of a row, as `--where` gives them: NAME OP VALUE, with OP one of
// < <= > >= = != (blanks allowed around it) and NAME any field of the table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "report/fields.hpp"

namespace glassform {

struct RowCondition {
  enum class Op : std::uint8_t { kLess, kLessEqual, kGreater, kGreaterEqual, kEqual, kNotEqual };
  const Field* field = nullptr;
  Op op = Op::kEqual;
  std::variant<double, std::string> value;  // a number, or the text of a text field
};

// The condition of a text, or why it is none (an unknown name, a missing operator, a value
// that is no number for a numeric field, an order on a text field).
std::variant<RowCondition, std::string> parse_condition(std::string_view text);

// Whether the row meets the condition; a row without the field's value never does.
bool meets(const RowCondition& condition, const Row& row);

}  // namespace glassform
