// Formatting into a string with fmt (header-only, so every build of the program, the Windows
// and the browser ones included, formats the same digits without a library).
#pragma once

#include <fmt/format.h>

#include <iterator>
#include <string>
#include <utility>

namespace glassform {

// Appends fmt::format(format, args...) to `out`.
template <typename... T>
void append_format(std::string& out, fmt::format_string<T...> format, T&&... args) {
  fmt::format_to(std::back_inserter(out), format, std::forward<T>(args)...);
}

}  // namespace glassform
