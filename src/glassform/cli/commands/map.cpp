// `glassform map A B C`: every composition of three elements on a grid, each assessed as
// `assess` does it, and a ternary heat map of one field.
#include <cmath>
#include <memory>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/cli/output.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/report/number_format.hpp"
#include "glassform/report/ternary_map.hpp"
#include "glassform/report/version.hpp"

namespace glassform::cli {

namespace {

struct Arguments {
  std::vector<std::string> symbols;
  std::string step = "1";
  std::string field = "p_glass";
  std::string known = "data";
};

// The grid's divisions of each side: 100 / step, which must be a whole number.
int grid_units(const std::string& text) {
  char* end = nullptr;
  const double step = std::strtod(text.c_str(), &end);
  const double units = 100 / step;
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(step) || !(step > 0) ||
      units > 1000 || std::abs(units - std::round(units)) > 1e-9 * units) {
    throw UsageError(
        "--step takes an amount in at.% that divides 100 (10, 5, 2.5, 1, 0.5, 0.2, "
        "0.1 ...), not " +
        quoted_text(text));
  }
  return static_cast<int>(std::lround(units));
}

// The formula of a grid point, A, B and C in that order, amounts as the grid gives them (an
// amount of 0 left out).
std::string grid_formula(std::span<const Element* const> elements, std::array<int, 3> units,
                         int n) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) {
    if (units[i] == 0) continue;
    text.append(elements[i]->symbol);
    append_format(text, "{}", 100.0 * units[i] / n);
  }
  return text;
}

std::string known_title(std::span<const Element* const> elements, const LabelledComposition& k) {
  std::string text;
  for (std::size_t i = 0; i < 3; ++i) {
    if (k.percent[i] == 0) continue;
    text.append(elements[i]->symbol);
    append_format(text, "{}", k.percent[i]);
  }
  switch (k.kind) {
    case LabelledComposition::Kind::kGlass:
      return text + ": glass (melt-spun, Ward et al. 2016)";
    case LabelledComposition::Kind::kCrystalline:
      return text + ": not a glass (melt-spun, Ward et al. 2016)";
    case LabelledComposition::Kind::kBulkGlass:
      return text + fmt::format(": bulk glass, Dmax {} mm (Ward et al. 2018)", k.dmax_mm);
  }
  return text;
}

// Lines of at most `width` characters, broken at blanks.
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> out;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t next = text.find(' ', at);
    if (next == std::string::npos) next = text.size();
    const std::string word = text.substr(at, next - at);
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      out.push_back(line);
      line.clear();
    }
    line.append(line.empty() ? "" : " ").append(word);
    at = next + 1;
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

}  // namespace

void register_map(CLI::App& app, Run& run) {
  auto args = std::make_shared<Arguments>();
  args->symbols.resize(3);
  CLI::App* command = app.add_subcommand(
      "map", "Every composition of three elements on a grid, assessed, and its ternary heat map");
  for (std::size_t i = 0; i < 3; ++i) {
    command
        ->add_option(std::string(1, static_cast<char>('A' + i)), args->symbols[i],
                     "An element symbol")
        ->required()
        ->type_name("SYMBOL");
  }
  command->add_option("--step", args->step, "The grid step in at.%, dividing 100 (default 1)")
      ->type_name("S");
  command
      ->add_option("--field", args->field,
                   "The numeric field the plot draws (default p_glass; glassform fields)")
      ->type_name("NAME");
  command
      ->add_option("--known", args->known,
                   "none: draw no known compositions (default: the labelled data's glasses and "
                   "non-glasses of these elements)")
      ->type_name("none");
  command->add_option("--plot", run.plot_path, "The heat map as SVG (- for standard output)")
      ->type_name("FILE.svg");
  add_output_options(*command, run);
  add_element_data_options(*command, run);
  command->footer(
      "Rows run A's share descending, then B's descending (the first row is pure A): 5,151 "
      "compositions at step 1, 231 at step 5. Each row holds every field of assess, with the "
      "shares x_A_at%, x_B_at%, x_C_at% first. The plot colours the field in viridis, yellow "
      "where it is better (for p_glass, dmax_mm and delta_pct higher, for dH_mix_kJ/mol, "
      "mismatch, p_glass_sd and the distances lower) and marks the best cell; glasses of the "
      "labelled data are white circles, non-glasses crosses.\n\nExamples:\n"
      "  glassform map Cu Zr Al --plot cu-zr-al.svg --format csv -o cu-zr-al.csv\n"
      "  glassform map Cu Zr Al --step 5 --field dH_mix_kJ/mol --plot h.svg");
  run.commands.emplace_back(command, [args](Run& r) {
    std::vector<const Element*> elements = resolve_symbols(r, args->symbols);
    for (std::size_t i = 0; i < 3; ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (elements[i] == elements[j]) {
          throw UsageError("map takes three different elements, not " +
                           std::string(elements[i]->symbol) + " twice");
        }
      }
    }
    const int n = grid_units(args->step);
    const Field* field = find_field(args->field);
    if (field == nullptr ||
        (field->kind != FieldKind::kNumber && field->kind != FieldKind::kInteger)) {
      throw UsageError("--field takes a numeric field of glassform fields, not " +
                       quoted_text(args->field));
    }
    if (args->known != "data" && args->known != "none") {
      throw UsageError("--known takes none, not " + quoted_text(args->known));
    }
    // The columns: the three shares, then what assess writes (no input line or label).
    std::vector<Column> columns;
    columns.reserve(3 + assess_fields().size());
    std::array<const Field*, 4> positions{};
    for (std::size_t p = 0; p < 4; ++p) {
      positions[p] = find_field(
          std::array{"x_solvent_at%", "x_solute1_at%", "x_solute2_at%", "x_solute3_at%"}[p]);
    }
    for (const Element* e : elements)
      columns.emplace_back(e, "x_" + std::string(e->symbol) + "_at%", positions);
    for (const Field* f : assess_fields()) {
      if (f->name != "line" && f->name != "label") columns.emplace_back(f);
    }
    TernaryMap map;
    for (std::size_t i = 0; i < 3; ++i)
      map.corners[i] = std::string(elements[i]->symbol);
    map.units = n;
    map.field = std::string(field->name);
    map.unit = std::string(field->unit);
    map.better = field->better;
    map.probability = field->name == "p_glass" || field->name == "p_glass_sd";
    const std::size_t count = static_cast<std::size_t>(n + 1) * static_cast<std::size_t>(n + 2) / 2;
    if (!r.plot_path.empty()) {
      map.values.reserve(count);
      map.titles.reserve(count);
    }
    const int status = with_output(r, [&](OutputSink& sink) {
      AssessmentWriter writer(sink, r.format(), AssessmentScope::kAll, columns);
      for (int a = n; a >= 0; --a) {
        for (int b = n - a; b >= 0; --b) {
          const std::string text = grid_formula(elements, {a, b, n - a - b}, n);
          const ParsedFormula parsed = parse_composition(text, r.data());
          const Assessment assessment = assess(parsed.parts, r.data_pointer());
          writer.add(assessment);
          if (r.plot_path.empty()) continue;
          map.values.push_back(numeric_value(field->value(Row::of(assessment))));
          map.titles.push_back(formula_text(assessment.parts));
        }
      }
      writer.finish();
      return 0;
    });
    if (r.plot_path.empty()) return status;
    std::array<std::size_t, 3> places{};
    bool builtin = true;
    for (std::size_t i = 0; i < 3; ++i) {
      places[i] = r.data().position(*elements[i]);
      builtin = builtin && places[i] < kElementCount;
    }
    std::size_t known = 0;
    if (args->known == "data" && builtin) {
      for (const LabelledComposition& k : labelled_within(places)) {
        KnownMarker marker;
        marker.percent = {k.percent[0], k.percent[1], k.percent[2]};
        marker.kind = k.kind == LabelledComposition::Kind::kCrystalline
                          ? KnownMarker::Kind::kCrystalline
                          : KnownMarker::Kind::kGlass;
        marker.title = known_title(elements, k);
        map.known.push_back(std::move(marker));
        ++known;
      }
    }
    map.caption.push_back(fmt::format(
        "Every composition of {}, {} and {} at step {} at.% ({} compositions), as glassform {} "
        "assess gives it; element data {}.",
        elements[0]->symbol, elements[1]->symbol, elements[2]->symbol, args->step, count, version(),
        r.data().name()));
    for (std::string& line : wrapped("score p_glass: " + std::string(score_model_name()), 120))
      map.caption.push_back(std::move(line));
    map.caption.push_back(
        args->known == "none"
            ? std::string("Known compositions not drawn (--known none).")
            : fmt::format("{} known compositions of these elements: melt-spun glasses and "
                          "non-glasses (Ward et al. 2016), bulk glasses (Ward et al. 2018).",
                          known));
    const std::string svg = ternary_map_svg(map);
    if (r.plot_file) {
      r.plot_file->write(svg);
    } else {
      r.io.out.write(svg);
      check_standard_output(r);
    }
    return status;
  });
}

}  // namespace glassform::cli
