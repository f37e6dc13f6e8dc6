#include "glassform/cli/cli_internal.hpp"

namespace glassform::cli {

void register_ternary(CLI::App& app, Run& run) {
  register_alloy_command(app, run, AlloyKind::kTernary,
                         "A ternary glass: a solvent, its largest and its smallest solute (three "
                         "compositions: empty, half full and full gamma sites)",
                         "glassform ternary Cu Zr Al --cn 17,15");
}

}  // namespace glassform::cli
