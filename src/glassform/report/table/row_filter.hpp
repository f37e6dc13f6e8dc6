// Conditions on the columns of a row, as `--where` gives them: NAME OP VALUE, with OP one of
// < <= > >= = != (blanks allowed around it) and NAME a column that the command's rows carry.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "glassform/report/table/fields.hpp"

namespace glassform {

struct RowCondition {
  enum class Op : std::uint8_t { kLess, kLessEqual, kGreater, kGreaterEqual, kEqual, kNotEqual };
  std::optional<Column> column;
  Op op = Op::kEqual;
  std::variant<double, std::string> value;  // a number, or the text of a text field
};

// The condition of a text on one of `columns`, or why it is none (a name no column has, with
// the nearest names; a missing operator; a value that is no number for a numeric column; an
// order on a text column).
std::variant<RowCondition, std::string> parse_condition(std::string_view text,
                                                        std::span<const Column> columns);

// Whether the row meets the condition; a row without the column's value never does. A stored
// single-precision value is compared as the number its printed digits read back to, so that a
// condition agrees with the same filter on the written CSV.
bool meets(const RowCondition& condition, const Row& row);

// Whether the row meets every condition (true for none).
bool meets_all(std::span<const RowCondition> conditions, const Row& row);

// The conditions of `texts` on `columns`, or why one cannot be read: "CONDITION": why.
std::variant<std::vector<RowCondition>, std::string> parse_conditions(
    const std::vector<std::string>& texts, std::span<const Column> columns);

// The number a value's written digits stand for: a float as its shortest printed digits read
// back as a double, every other number as it is; nothing for text and absent values.
std::optional<double> written_number(const FieldValue& value);

// " (did you mean NAME?)" for the names of `columns` within a small edit of `name` (case
// ignored), or an empty text.
std::string did_you_mean(std::string_view name, std::span<const Column> columns);

}  // namespace glassform
