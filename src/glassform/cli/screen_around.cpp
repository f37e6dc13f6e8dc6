// `screen --around FORMULA`: the compositions near a known one, ranked. Every composition of the
// formula's elements whose shares differ from the formula's (normalised to 100) by multiples of
// the step, none negative, within the radius in every element; the formula itself is a row.
#include <cmath>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/request/composition_search.hpp"

namespace glassform::cli {

int screen_around(Run& r, const AroundRequest& request, bool all) {
  const PlannedAround planned = answered(answer(request));
  const NeighbourhoodRequest& search = planned.search;
  const std::vector<Column>& columns = planned.columns;
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
    if (all) {
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
