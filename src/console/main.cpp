// glassform: predicts the best glass-forming composition of binary, ternary and quaternary
// alloys from a cluster-packing model, with an estimate of their elastic properties.
#include "console/dialogue.hpp"
#include "console/posix_console.hpp"

int main() {
  glassform::ignore_broken_pipes();
  glassform::FdInput input(0);
  glassform::FdOutput output(1);
  glassform::SystemTerminal terminal(0, 1);
  glassform::Console console(input, output, terminal);
  return glassform::run_session(console);
}
