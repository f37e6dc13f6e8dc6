// The program's version, as the build names it.
#pragma once

#include <string_view>

namespace glassform {

// "0.3.0".
std::string_view version();

}  // namespace glassform
