// Names of parameterised test cases: stable from build to build and readable in ctest's list
// (gtest's default is the parameter's bytes).
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace glassform::testing {

// Letters, digits and underscores only: every other byte becomes an underscore.
inline std::string identifier(std::string_view text) {
  std::string name;
  for (const char c : text)
    name.push_back(std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_');
  return name;
}

// The case's position and a text that says what it is: "3_Cu64Zr36".
inline std::string case_name(std::size_t index, std::string_view text) {
  return text.empty() ? std::to_string(index) : std::to_string(index) + "_" + identifier(text);
}

}  // namespace glassform::testing
