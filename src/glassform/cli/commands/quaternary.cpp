#include "glassform/cli/cli_internal.hpp"

namespace glassform::cli {

void register_quaternary(CLI::App& app, Run& run) {
  register_alloy_command(app, run, AlloyKind::kQuaternary,
                         "A quaternary glass: a solvent and three solutes, largest first",
                         "glassform quaternary Zr Al Cu Ni");
}

}  // namespace glassform::cli
