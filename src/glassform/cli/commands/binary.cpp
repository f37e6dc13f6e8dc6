#include "glassform/cli/cli_internal.hpp"

namespace glassform::cli {

void register_binary(CLI::App& app, Run& run) {
  register_alloy_command(app, run, AlloyKind::kBinary, "A binary glass: a solvent and one solute",
                         "glassform binary Zr Cu --cn 10");
}

}  // namespace glassform::cli
