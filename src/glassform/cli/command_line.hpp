// The non-interactive command line: evaluate alloys, a batch file, the element table and the
// cluster geometry of radius ratios, as text, CSV or JSON.
#pragma once

#include <span>
#include <string>

#include "glassform/io/streams.hpp"

namespace glassform {

// The streams of one run: standard input (read by `batch`), standard output and error.
struct CliStreams {
  InputSource& in;
  OutputSink& out;
  OutputSink& err;
  bool err_is_terminal = false;  // progress lines are drawn only on a terminal
};

// Runs the command line with `args`, the arguments after the program name (at least one).
// Returns the exit status: 0 success, 1 a failed run or a batch with bad lines, 2 a usage
// error.
int run_command_line(std::span<const std::string> args, CliStreams& io);

// Makes SIGINT, SIGTERM and SIGHUP (on Windows SIGINT and SIGBREAK) remove the temporary files
// of the output files in progress, then take their usual effect (the exit status still says
// which signal ended the run).
void remove_temporary_files_on_signals();

}  // namespace glassform
