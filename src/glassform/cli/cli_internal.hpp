// What the subcommands of the command line share.
#pragma once

#include <CLI/CLI.hpp>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "glassform/cli/command_line.hpp"
#include "glassform/io/element_file.hpp"
#include "glassform/io/formula.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/weighing.hpp"
#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/request/screen_request.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/formats.hpp"

namespace glassform::cli {

// A mistake in the arguments: reported as "glassform: error: ...", exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure while running (a file that cannot be read or written): exit status 1.
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Standard output is a pipe whose reader has gone (`glassform screen ... | head`): the run ends
// at once, quietly, with status 1.
class BrokenPipe : public std::exception {};

class OutputFile;

inline constexpr int kUsageStatus = 2;

// State of one run: the streams, the options every subcommand has, and the action of the
// subcommand that was given.
struct Run {
  explicit Run(CliStreams& streams) : io(streams) {}
  CliStreams& io;
  std::string format_name = "text";
  std::string output_path;
  std::string mass_text;                    // --mass as given
  std::string plot_path;                    // --plot FILE.svg
  std::string placement = "model";          // --placement
  std::string measured_path;                // --measured FILE
  std::vector<MeasuredGlass> measured;      // its glasses, once read
  std::string columns_text = "positional";  // --columns as given
  std::string fields_text;                  // --fields as given: the columns to write
  std::string input_path;                   // the input file of batch, which no output may replace
  std::string elements_path;                // --elements FILE
  std::string mixing_path;                  // --mixing-enthalpy FILE
  std::shared_ptr<const UserElementData> user_data;  // their data, once read
  // The -o and --plot files, prepared before the work and committed when it succeeded.
  std::shared_ptr<OutputFile> output_file;
  std::shared_ptr<OutputFile> plot_file;
  std::vector<std::pair<CLI::App*, std::function<int(Run&)>>> commands;

  [[nodiscard]] Format format() const;
  // The element data of the run: the built-in tables, or those with the user's files.
  [[nodiscard]] const ElementData& data() const {
    return user_data ? user_data->data : ElementData::builtin();
  }
  // The same, null for the built-in tables (as results hold it).
  [[nodiscard]] const ElementData* data_pointer() const {
    return user_data ? &user_data->data : nullptr;
  }
  // The ingot mass of --mass in grams, or nothing without it; UsageError unless it is a
  // positive number.
  [[nodiscard]] std::optional<double> grams() const;
  // An empty plot in the placement of --placement.
  [[nodiscard]] BlackmanPlot plot() const;
  // Writes "glassform: warning: TEXT" and a line end to standard error.
  void warn(std::string_view text) const;
  // Writes "glassform: TEXT" and a line end to standard error: what the run was made with.
  void note(std::string_view text) const;
  void error(std::string_view text) const;
};

// The bytes of a small input file (an element table, a list of known compositions); a usage
// error naming it where it cannot be read or holds more than kMostElementFileBytes.
NamedText read_whole(const std::string& path);

// Adds --elements FILE and --mixing-enthalpy FILE: the user's element data.
void add_element_data_options(CLI::App& command, Run& run);

// Reads the files of --elements and --mixing-enthalpy, if given (a UsageError naming the file,
// line and column of a fault), and says on standard error what they change.
void load_user_element_data(Run& run);

// The first line of a text output made with a user's element data, or nothing.
std::string element_data_line(const Run& run);

// Adds --format and -o/--output to a subcommand.
void add_output_options(CLI::App& command, Run& run);

// A message that holds text the user gave: control bytes and invalid UTF-8 escaped (\t, \x1B),
// whole UTF-8 characters as themselves, never written raw (io/text.hpp's escaped_text, uncut).
std::string escaped(std::string_view text);

// Adds --columns positional|wide|wide=LIST: the layout of the element shares in CSV and JSON.
void add_columns_option(CLI::App& command, Run& run);

// Adds --fields NAME[,NAME...]: only these CSV and JSON columns, in this order.
void add_fields_option(CLI::App& command, Run& run);

// The columns of --fields out of `columns`, in its order (all of them without it); a UsageError
// for a name that no column has, or for the text format.
std::vector<Column> selected_columns(const Run& run, std::vector<Column> columns);

// The elements that --columns wide=LIST names, or nothing for positional or plain wide; a
// UsageError for another value.
std::optional<std::vector<const Element*>> wide_list(const Run& run);

// Whether --columns asks for the wide layout.
bool wide_layout(const Run& run);

// The CSV and JSON columns of these fields in the layout of --columns, with one share column
// per element of `known` in the wide layout (unless the option names its own list).
std::vector<Column> output_columns(const Run& run, const std::vector<const Field*>& fields,
                                   std::span<const Element* const> known);

// Adds --plot FILE.svg (the Blackman diagram of what is written) and --placement.
void add_plot_option(CLI::App& command, Run& run);

// Writes the plot to the --plot file (or standard output for "-"), if one was asked for; notes
// on standard error when compositions were left out of a full plot.
void write_plot(const Run& run, const BlackmanPlot& plot);

// Writes a drawing to the --plot file, or to standard output for "-".
void write_svg(const Run& run, const std::string& svg);

// Adds --measured FILE: measured moduli beside the estimates.
void add_measured_option(CLI::App& command, Run& run);

// Reads the --measured file, if one was given (a RunError when it cannot be read), and returns
// the fields with the measured ones added where it was.
std::vector<const Field*> read_measured_file(Run& run, std::vector<const Field*> fields);

// Adds --mass GRAMS: the masses of each element for an ingot of that mass.
void add_mass_option(CLI::App& command, Run& run);

// The usage error for a formula that cannot be read, pointing at the position of the fault.
[[noreturn]] void throw_formula_error(std::string_view formula, const FormulaError& error);

// The option of a request's member ("per_system" is --per-system, "solvents" --solvent).
std::string spelled_option(std::string_view member);

// The usage error for a request that cannot be answered, its option named as the command line
// spells it (--per-system); a formula's with the position of the fault.
[[noreturn]] void throw_request_error(const RequestError& error);

// The answer to a request, or its usage error thrown.
template <typename T>
T answered(Answer<T> answer) {
  if (const auto* why = std::get_if<RequestError>(&answer)) throw_request_error(*why);
  return std::get<T>(std::move(answer));
}

// Checks and prepares the -o and --plot files before any work (a usage error when they or the
// input name the same file; a RunError when one cannot be written), then runs `write` over the
// output: standard output, or the -o file. A write error is a RunError (BrokenPipe for a
// closed pipe on standard output). The files are committed when the command has finished
// (`commit_outputs`), so a failed run replaces nothing.
int with_output(Run& run, const std::function<int(OutputSink&)>& write);

// Puts the prepared -o and --plot files in place.
void commit_outputs(Run& run);

// Throws BrokenPipe or a RunError when standard output has failed.
void check_standard_output(const Run& run);

void register_binary(CLI::App& app, Run& run);
void register_ternary(CLI::App& app, Run& run);
void register_quaternary(CLI::App& app, Run& run);
void register_batch(CLI::App& app, Run& run);
void register_elements(CLI::App& app, Run& run);
void register_cluster(CLI::App& app, Run& run);
void register_weigh(CLI::App& app, Run& run);
void register_screen(CLI::App& app, Run& run);
void register_elastic(CLI::App& app, Run& run);
void register_fields(CLI::App& app, Run& run);
void register_chart(CLI::App& app, Run& run);
void register_assess(CLI::App& app, Run& run);
void register_map(CLI::App& app, Run& run);

// One line on standard error, redrawn in place, for screens that take more than about half a
// second; erased at the end. Only on a terminal.
class ProgressLine {
 public:
  // `things` names what is counted: alloys, systems, compositions.
  explicit ProgressLine(const Run& run, std::string_view things = "alloys");
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine();
  void update(std::uint64_t done, std::uint64_t total);

 private:
  const Run& run_;
  std::string_view things_;
  std::chrono::steady_clock::time_point start_;
  double last_draw_ = 0;
  bool shown_ = false;
};

// Ranks the compositions near a formula and writes them, or with `all` every one as it comes
// (screen_around.cpp).
int screen_around(Run& run, const AroundRequest& request, bool all);

// --- Given compositions -----------------------------------------------------------------------

// Adds `assess` (everything) or `elastic` (the elastic block): formulas as arguments or one a
// line from --file, --wt, the output options and --plot.
void register_assessment_command(CLI::App& app, Run& run, AssessmentScope scope);

// --- Alloys from arguments or batch lines ----------------------------------------------------

// The element of each symbol, solvent first, from the run's data; an unknown symbol is a
// UsageError naming it with the model's suggestion ("unknown symbol "cu": did you mean Cu?").
std::vector<const Element*> resolve_symbols(const Run& run, std::span<const std::string> symbols);

// A decimal whole number (an optional sign, then digits only: "017" is 17, "0x10" nothing);
// nothing for any other text or one of more than 19 characters.
std::optional<long long> parse_decimal(std::string_view text);

// Warns once for each element that the alloy names twice (the numbers are still computed, as
// the dialogue does); `where` goes before the text (a batch line's place).
void warn_repeated_elements(const Run& run, std::span<const Element* const> elements,
                            std::string_view where);

// The alloy of these elements (the run's) with these integers, or with the integers nearest
// the computed coordination numbers when `chosen` is empty; a UsageError with the request
// layer's message otherwise (an element without a radius, a bad integer).
AlloyResult evaluate_alloy(const Run& run, std::span<const Element* const> elements,
                           std::span<const int> chosen);

// Adds the alloy subcommand for `kind`: positional symbols, --cn, the output options.
void register_alloy_command(CLI::App& app, Run& run, AlloyKind kind, const std::string& summary,
                            const std::string& example);

// --- Batch input --------------------------------------------------------------------------

// Splits an input stream into lines (LF or CR LF), in bounded memory: a line longer than
// kMaxLine bytes is cut there and flagged as soon as the limit is passed, and the rest of it
// skipped; where no line end comes within kMostSkipped more bytes (a device of zeros, a binary
// file) the input is abandoned.
class LineReader {
 public:
  static constexpr std::size_t kMaxLine = 4096;
  static constexpr std::size_t kMostSkipped = std::size_t{1} << 20;
  explicit LineReader(InputSource& in) : in_(in), buffer_(1 << 16) {}
  // The next line without its line end (LF or CR LF) and, on the first line, without a UTF-8
  // byte-order mark; false at the end of input. A line longer than kMaxLine (counted without
  // its line end, the last line too) is cut there and flagged.
  bool next(std::string& line, bool& too_long);
  // The errno of a failed read that ended the input, or 0.
  [[nodiscard]] int error() const { return in_.error(); }
  // Whether the reading stopped at a line without an end within kMostSkipped bytes.
  [[nodiscard]] bool abandoned() const { return abandoned_; }

 private:
  bool refill();
  // Skips to the next line end; false where none comes within kMostSkipped bytes.
  bool skip_rest_of_line();
  InputSource& in_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  bool first_line_ = true;
  bool skipping_ = false;  // the last line was cut: its rest comes first
  bool abandoned_ = false;
};

// Calls `handle(line, number, where)` for each line of `input` (named `name` in messages, `where`
// being "NAME:LINE: "), which returns false for a bad line it has reported. A line longer than
// LineReader::kMaxLine and a read error that ends the input are reported here; a line that is
// not valid UTF-8 is warned of and handed on with its invalid bytes replaced by U+FFFD. Returns
// whether every line was good.
bool each_line(const Run& run, InputSource& input, const std::string& name,
               const std::function<bool(std::string_view line, std::size_t number,
                                        const std::string& where)>& handle);

// One line of a batch file: optionally a label ending in a colon, then the symbols, solvent
// first (2, 3 or 4 give the kind), optionally one chosen integer per solute, separated by
// blanks, tabs or commas. Blank lines and lines starting with # are skipped.
struct BatchLine {
  bool skip = false;
  std::optional<std::string_view> label;  // the text before the first colon, blanks trimmed
  std::string error;                      // why the line is bad; empty for a good line
  std::array<const Element*, 4> elements{};
  std::size_t element_count = 0;
  std::array<int, 3> chosen{};
  std::size_t chosen_count = 0;
};

BatchLine parse_batch_line(std::string_view line, const ElementData& data = ElementData::builtin());

}  // namespace glassform::cli
