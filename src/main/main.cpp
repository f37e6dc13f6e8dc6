// glassform: predicts the best glass-forming composition of binary, ternary and quaternary
// alloys from a cluster-packing model, with an estimate of their elastic properties. Without
// arguments it is the interactive calculator; with arguments, the command line.
#include <string>
#include <vector>

#include "cli/command_line.hpp"
#include "dialogue/dialogue.hpp"
#include "dialogue/system_console.hpp"

int main(int argc, char** argv) {
  glassform::ignore_broken_pipes();
  glassform::FdInput input(0);
  glassform::FdOutput output(1);
  if (argc <= 1) {
    glassform::SystemTerminal terminal(0, 1);
    glassform::Console console(input, output, terminal);
    return glassform::run_session(console);
  }
  glassform::FdOutput error(2);
  const std::vector<std::string> args(argv + 1, argv + argc);
  glassform::CliStreams streams{input, output, error, glassform::is_terminal(2)};
  return glassform::run_command_line(args, streams);
}
