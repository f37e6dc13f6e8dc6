#include "glassform/report/version.hpp"

namespace glassform {

std::string_view version() {
  return GLASSFORM_VERSION;
}

}  // namespace glassform
