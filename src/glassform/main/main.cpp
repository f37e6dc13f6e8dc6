// glassform: predicts the best glass-forming composition of binary, ternary and quaternary
// alloys from a cluster-packing model, with an estimate of their elastic properties. Without
// arguments it is the interactive calculator; with arguments, the command line.
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "glassform/cli/command_line.hpp"
#include "glassform/dialogue/dialogue.hpp"
#include "glassform/dialogue/system_console.hpp"

namespace {

void report_failure(const char* what) {
  glassform::FdOutput error(2);
  error.write(std::string("glassform: error: ") + what + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  // A file opened later must never take the number of a closed standard descriptor.
  const unsigned closed = glassform::open_closed_standard_descriptors();
  glassform::ignore_broken_pipes();
  glassform::FdInput input(0, (closed & 1U) != 0);
  glassform::FdOutput output(1, (closed & 2U) != 0);
  try {
    if (argc <= 1) {
      int status = 0;
      {
        glassform::SystemTerminal terminal(0, 1);
        glassform::Console console(input, output, terminal);
        status = glassform::run_session(console);
      }
      // Output that never arrived is a failure, not a success; said as every command says it
      // (quietly for a pipe whose reader has gone).
      if (output.failed() && output.error() != EPIPE) {
        report_failure(("cannot write to standard output" +
                        (output.error() != 0 ? std::string(": ") + std::strerror(output.error())
                                             : std::string()))
                           .c_str());
      }
      return output.failed() && status == 0 ? 1 : status;
    }
    glassform::remove_temporary_files_on_signals();
    glassform::FdOutput error(2, (closed & 4U) != 0);
    const std::vector<std::string> args(argv + 1, argv + argc);
    glassform::CliStreams streams{input, output, error, glassform::is_terminal(2)};
    return glassform::run_command_line(args, streams);
  } catch (const std::bad_alloc&) {
    report_failure("out of memory");
  } catch (const std::exception& e) {
    report_failure(e.what());
  } catch (...) {
    report_failure("an unexpected failure");
  }
  return 1;
}
