#include <cstring>
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/report/plot/xy_chart.hpp"

namespace glassform::cli {

namespace {

// A chart's description is small; a larger input is a mistake, not a chart.
constexpr std::size_t kMostChartBytes = std::size_t{16} << 20;

}  // namespace

// Not listed in --help: the tools that write the validation page draw their charts with it.
void register_chart(CLI::App& app, Run& run) {
  CLI::App* command = app.add_subcommand("chart", "An x-y chart as SVG, from a JSON description");
  command->group("");
  auto path = std::make_shared<std::string>();
  command->add_option("file", *path, "The chart's JSON description (- or absent: standard input)");
  command->add_option("-o,--output", run.output_path, "Write the SVG to FILE");
  run.commands.emplace_back(command, [path](Run& r) {
    std::unique_ptr<FileInput> file;
    const bool from_stdin = path->empty() || *path == "-";
    if (!from_stdin) file = std::make_unique<FileInput>(*path);
    InputSource& input = from_stdin ? r.io.in : *file;
    const std::string name = from_stdin ? "<stdin>" : escaped(*path);
    std::string text;
    std::array<char, 65536> buffer{};
    while (const std::size_t n = input.read(buffer.data(), buffer.size())) {
      text.append(buffer.data(), n);
      if (text.size() > kMostChartBytes) throw RunError(name + ": larger than a chart can be");
    }
    if (input.error() != 0) throw RunError(name + ": " + std::strerror(input.error()));
    std::variant<XyChart, std::string> chart = chart_from_json(text);
    if (const auto* message = std::get_if<std::string>(&chart)) {
      throw RunError(name + ": " + *message);
    }
    return with_output(r, [&chart](OutputSink& sink) {
      sink.write(chart_svg(std::get<XyChart>(chart)));
      return 0;
    });
  });
}

}  // namespace glassform::cli
