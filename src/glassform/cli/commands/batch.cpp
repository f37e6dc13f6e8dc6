#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/table/alloy_writer.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform::cli {

namespace {

bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

bool starts_number(std::string_view token) {
  const char c = token.front();
  return (c >= '0' && c <= '9') || c == '-' || c == '+';
}

// The elements of a batch file's good lines, in the order they first appear.
std::vector<const Element*> batch_elements(const std::string& path, const ElementData& data) {
  FileInput file(path);
  LineReader reader(file);
  std::vector<const Element*> out;
  std::string line;
  bool too_long = false;
  while (reader.next(line, too_long)) {
    const BatchLine parsed = parse_batch_line(line, data);
    for (std::size_t i = 0; i < parsed.element_count; ++i) {
      if (std::find(out.begin(), out.end(), parsed.elements[i]) == out.end())
        out.push_back(parsed.elements[i]);
    }
  }
  return out;
}

// Whether the path names a regular file (through links), which a first pass can read and leave
// for the second.
bool is_regular_file(const std::string& path) {
  std::error_code code;
  return std::filesystem::is_regular_file(path, code);
}

}  // namespace

bool LineReader::refill() {
  if (ended_) return false;
  pos_ = 0;
  end_ = in_.read(buffer_.data(), buffer_.size());
  if (end_ == 0) ended_ = true;
  return end_ > 0;
}

bool LineReader::skip_rest_of_line() {
  std::size_t skipped = 0;
  for (;;) {
    if (pos_ == end_ && !refill()) return true;
    const char* start = buffer_.data() + pos_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
    if (newline != nullptr) {
      pos_ += static_cast<std::size_t>(newline - start) + 1;
      return true;
    }
    skipped += end_ - pos_;
    pos_ = end_;
    if (skipped > kMostSkipped) return false;
  }
}

bool LineReader::next(std::string& line, bool& too_long) {
  line.clear();
  too_long = false;
  if (abandoned_) return false;
  if (skipping_) {
    skipping_ = false;
    if (!skip_rest_of_line()) {
      abandoned_ = true;
      return false;
    }
  }
  bool any = false;
  // Two bytes past the limit: enough to tell a line of the limit plus its CR from a longer one.
  constexpr std::size_t kKept = kMaxLine + 2;
  for (;;) {
    const bool ended = pos_ == end_ && !refill();
    const char* start = buffer_.data() + pos_;
    const auto* newline =
        ended ? nullptr : static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
    if (!ended) {
      any = true;
      const std::size_t length =
          newline != nullptr ? static_cast<std::size_t>(newline - start) : end_ - pos_;
      const std::size_t taken = std::min(length, kKept - line.size());
      line.append(start, taken);
      if (newline == nullptr && line.size() == kKept) {
        // Past the limit with no line end yet: said at once, the rest skipped on the next call.
        pos_ += taken;
        skipping_ = true;
      } else {
        pos_ += length + (newline != nullptr ? 1 : 0);
      }
    }
    if (newline == nullptr && !ended && !skipping_) continue;
    if (!any) return false;
    // The line without its line end; a spreadsheet's byte-order mark before the first line.
    if (!line.empty() && line.back() == '\r' && !skipping_) line.pop_back();
    if (first_line_ && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    first_line_ = false;
    if (line.size() > kMaxLine) {
      too_long = true;
      line.resize(kMaxLine);
    }
    return true;
  }
}

bool each_line(const Run& run, InputSource& input, const std::string& name,
               const std::function<bool(std::string_view line, std::size_t number,
                                        const std::string& where)>& handle) {
  LineReader reader(input);
  std::string line;
  bool too_long = false;
  bool good = true;
  std::size_t number = 1;
  for (; reader.next(line, too_long); ++number) {
    const std::string where = fault_text(name, {number, 0, {}});
    if (too_long) {
      run.error(where + "line longer than " + std::to_string(LineReader::kMaxLine) + " bytes");
      good = false;
      continue;
    }
    if (!valid_utf8(line)) {
      // Kept, so that its label reaches the output, but never as bytes a JSON reader refuses.
      run.warn(where + "not valid UTF-8: the invalid bytes are replaced with U+FFFD");
      line = repaired_utf8(line);
    }
    good = handle(line, number, where) && good;
  }
  if (reader.abandoned()) {
    run.error(name + ": no line end within " + std::to_string(LineReader::kMostSkipped >> 20) +
              " MB after line " + std::to_string(number - 1) +
              ": not a text file of lines; the rest is not read");
    good = false;
  }
  if (input.error() != 0) {
    // Every good line before it is written; the run has failed.
    run.error(name + ": " + std::strerror(input.error()));
    good = false;
  }
  return good;
}

BatchLine parse_batch_line(std::string_view line, const ElementData& data) {
  BatchLine out;
  std::size_t i = 0;
  while (i < line.size() && is_separator(line[i]))
    ++i;
  if (i == line.size() || line[i] == '#') {
    out.skip = true;
    return out;
  }
  if (const std::size_t colon = line.find(':', i); colon != std::string_view::npos) {
    std::string_view label = line.substr(i, colon - i);
    while (!label.empty() && is_separator(label.back()))
      label.remove_suffix(1);
    out.label = label;
    i = colon + 1;
    while (i < line.size() && is_separator(line[i]))
      ++i;
  }
  std::size_t symbols = 0;
  std::size_t integers = 0;
  std::array<std::string_view, 4> texts{};
  while (i < line.size()) {
    std::size_t j = i;
    while (j < line.size() && !is_separator(line[j]))
      ++j;
    const std::string_view token = line.substr(i, j - i);
    i = j;
    while (i < line.size() && is_separator(line[i]))
      ++i;
    if (!starts_number(token)) {
      if (integers > 0) {
        out.error = "expected an integer, found " + quoted_text(token);
        return out;
      }
      if (symbols < texts.size()) texts[symbols] = token;
      ++symbols;
      continue;
    }
    int value = 0;
    const char* first = token.data() + (token.front() == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, token.data() + token.size(), value);
    if (ec != std::errc() || end != token.data() + token.size()) {
      out.error = "bad integer " + quoted_text(token);
      return out;
    }
    if (integers < out.chosen.size()) out.chosen[integers] = value;
    ++integers;
  }
  if (symbols < 2 || symbols > 4) {
    out.error = "expected 2, 3 or 4 element symbols, found " + std::to_string(symbols);
    return out;
  }
  for (std::size_t k = 0; k < symbols; ++k) {
    out.elements[k] = data.find(texts[k]);
    if (out.elements[k] == nullptr) {
      out.error = unknown_symbol_text(texts[k]);
      return out;
    }
    if (auto why = missing_value(std::span(out.elements).subspan(k, 1), ElementQuantity::kRadius,
                                 "the cluster model")) {
      out.error = std::move(*why);
      return out;
    }
  }
  out.element_count = symbols;
  if (integers != 0) {
    // More integers than solutes are counted but not kept.
    if (auto why = chosen_problem(std::span(out.chosen).first(std::min<std::size_t>(integers, 3)),
                                  integers, symbols - 1)) {
      out.error = std::move(*why);
      return out;
    }
  }
  out.chosen_count = integers;
  return out;
}

void register_batch(CLI::App& app, Run& run) {
  auto path = std::make_shared<std::string>();
  CLI::App* command =
      app.add_subcommand("batch", "Many alloys, one per line, from a file or standard input");
  command->add_option("file", *path, "The batch file (default: standard input)")->type_name("FILE");
  add_output_options(*command, run);
  add_fields_option(*command, run);
  add_columns_option(*command, run);
  add_mass_option(*command, run);
  add_plot_option(*command, run);
  add_element_data_options(*command, run);
  command->footer(
      "Each line: optionally a label and a colon, then the symbols, solvent first (2, 3 or 4 of "
      "them give the kind), optionally one integer coordination number per solute; separated by "
      "blanks, tabs or commas. Blank lines and lines starting with # are skipped. CSV and JSON "
      "rows carry the line number (line) and the label (label). Standard input is read when FILE is absent or -.\n\n"
      "Example:\n  printf 'Zr Cu\\nCu Zr Al 17 15\\n' | glassform batch --format csv\n\n"
      "A bad line is reported on standard error with its file name and line number and "
      "skipped; every good line is still written, and the exit status is then 1.");
  run.commands.emplace_back(command, [path](Run& r) {
    const std::optional<double> grams = r.grams();
    std::unique_ptr<FileInput> file;
    const bool from_stdin = path->empty() || *path == "-";
    if (!from_stdin) {
      file = std::make_unique<FileInput>(*path);
      r.input_path = *path;
    }
    InputSource& input = from_stdin ? r.io.in : *file;
    const std::string name = from_stdin ? "<stdin>" : *path;
    // The wide layout needs the elements before the first row: named with the option, or read
    // from the file in a first pass.
    std::optional<std::vector<const Element*>> allowed;
    std::vector<const Element*> known;
    if (wide_layout(r)) {
      allowed = wide_list(r);
      if (!allowed && from_stdin) {
        throw UsageError(
            "--columns wide needs the elements before the first row: name them for standard "
            "input, e.g. --columns wide=Cu,Zr,Al");
      }
      if (!allowed && !is_regular_file(*path)) {
        // A pipe or a FIFO can be read once only: the first pass would leave nothing to write.
        throw UsageError("--columns wide needs the elements before the first row, and " + *path +
                         " is not a regular file that can be read twice: name them, e.g. --columns "
                         "wide=Cu,Zr,Al");
      }
      if (!allowed) known = batch_elements(*path, r.data());
    }
    std::vector<Column> columns = selected_columns(r, output_columns(r, batch_fields(), known));
    BlackmanPlot plot = r.plot();
    const int status = with_output(r, [&](OutputSink& sink) {
      AlloyWriter writer(sink, r.format(), grams, std::move(columns));
      const bool good = each_line(
          r, input, name, [&](std::string_view line, std::size_t number, const std::string& where) {
            const BatchLine parsed = parse_batch_line(line, r.data());
            if (parsed.skip) return true;
            if (!parsed.error.empty()) {
              r.error(where + parsed.error);
              return false;
            }
            const std::span<const Element* const> elements =
                std::span(parsed.elements).first(parsed.element_count);
            if (allowed) {
              const auto outside =
                  std::find_if(elements.begin(), elements.end(), [&](const Element* e) {
                    return std::find(allowed->begin(), allowed->end(), e) == allowed->end();
                  });
              if (outside != elements.end()) {
                r.error(where + std::string((*outside)->symbol) + " is not in --columns " +
                        r.columns_text);
                return false;
              }
            }
            warn_repeated_elements(r, elements, where);
            const AlloyResult alloy =
                evaluate_alloy(r, elements, std::span(parsed.chosen).first(parsed.chosen_count));
            for (const std::string& w : command_line_warnings(alloy))
              r.warn(where + w);
            writer.add(alloy, Origin{number, parsed.label});
            if (!r.plot_path.empty()) plot.add_alloy(alloy);
            return true;
          });
      writer.finish();
      return good ? 0 : 1;
    });
    write_plot(r, plot);
    return status;
  });
}

}  // namespace glassform::cli
