// `screen --around FORMULA`: the compositions near a known one, ranked. Every composition of the
// formula's elements whose shares differ from the formula's (normalised to 100) by multiples of
// the step, none negative, within the radius in every element; the formula itself is a row.
#include <cmath>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/request/composition_search.hpp"

namespace glassform::cli {

namespace {

double positive_amount(const std::string& text, const char* option) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || !(value > 0) ||
      value > 100) {
    throw UsageError(std::string(option) +
                     " takes an amount in at.% above 0 and at most 100, not " + quoted_text(text));
  }
  return value;
}

}  // namespace

int screen_around(Run& r, const AroundRequest& request) {
  const ParsedFormula parsed = parse_composition(request.formula, r.data());
  if (parsed.error) throw_formula_error(request.formula, *parsed.error);
  if (parsed.parts.size() < 2) {
    throw UsageError("--around takes a composition of two elements or more");
  }
  NeighbourhoodRequest search;
  search.base = parsed.parts;
  search.step = positive_amount(request.step, "--step");
  search.radius = positive_amount(request.radius, "--radius");
  search.top = request.top;
  search.data = r.data_pointer();
  if (neighbourhood_span(search) > kMostNeighbours) {
    throw UsageError(fmt::format(
        "--around {} within {} at.% at step {} spans more than {} compositions: give a larger "
        "--step or a smaller --radius",
        quoted_text(request.formula), request.radius, request.step, kMostNeighbours));
  }
  std::vector<const Element*> elements;
  elements.reserve(search.base.size());
  for (const FormulaPart& p : search.base)
    elements.push_back(p.element);
  const std::vector<Column> columns = shares_and_assess_columns(elements);
  auto conditions = parse_conditions(request.where, columns);
  if (const std::string* why = std::get_if<std::string>(&conditions)) {
    throw UsageError("--where " + escaped(*why));
  }
  search.conditions = std::get<std::vector<RowCondition>>(std::move(conditions));
  auto order = parse_search_order(request.sort, columns);
  if (const std::string* why = std::get_if<std::string>(&order)) throw UsageError(*why);
  search.order = std::get<SearchOrder>(std::move(order));

  BlackmanPlot plot = r.plot();
  const int status = with_output(r, [&](OutputSink& sink) {
    ProgressLine line(r, "grid points");
    const SearchProgress progress = [&line](std::uint64_t done, std::uint64_t total) {
      line.update(done, total);
    };
    AssessmentWriter writer(sink, r.format(), AssessmentScope::kAll, selected_columns(r, columns));
    std::size_t rows = 0;
    const auto add = [&](const Assessment& a) {
      writer.add(a);
      if (!r.plot_path.empty()) plot.add_composition(formula_text(a.parts), a.parts, a.elastic);
      ++rows;
    };
    if (request.all) {
      neighbourhood_each(search, add, progress);
    } else {
      for (const Assessment& a : neighbourhood_top(search, progress))
        add(a);
      if (rows == 0) r.warn("no composition passed the screen's filters");
    }
    writer.finish();
    return 0;
  });
  write_plot(r, plot);
  return status;
}

}  // namespace glassform::cli
