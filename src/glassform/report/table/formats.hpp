// The output formats of the command line.
#pragma once

#include <optional>
#include <string_view>

namespace glassform {

enum class Format { kText, kCsv, kJson, kJsonl };

// "text", "csv", "json" or "jsonl"; nothing for another name.
std::optional<Format> parse_format(std::string_view name);

}  // namespace glassform
