// Runs the command line in memory: arguments and standard input in; standard output, standard
// error and the exit status out.
#pragma once

#include <string>
#include <vector>

#include "glassform/cli/command_line.hpp"
#include "session_harness.hpp"

namespace glassform::testing {

struct CliRun {
  std::string out;
  std::string err;
  int status;
};

inline CliRun run_cli(const std::vector<std::string>& args, std::string_view input = "") {
  ScriptInput in(input);
  StringSink out;
  StringSink err;
  CliStreams streams{in, out, err};
  const int status = run_command_line(args, streams);
  return {out.text, err.text, status};
}

}  // namespace glassform::testing
