// `screen --around FORMULA`: the compositions near a known one, ranked. Every composition of the
// formula's elements whose shares differ from the formula's (normalised to 100) by multiples of
// the step, none negative, within the radius in every element; the formula itself is a row.
#include <algorithm>
#include <cmath>

#include "glassform/cli/cli_internal.hpp"
#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/row_filter.hpp"
#include "glassform/report/screen_setup.hpp"

namespace glassform::cli {

namespace {

// The most compositions a neighbourhood may hold: they are assessed and ranked in memory.
constexpr std::uint64_t kMostAround = 1'000'000;

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
  const std::vector<FormulaPart>& base = parsed.parts;
  if (base.size() < 2) throw UsageError("--around takes a composition of two elements or more");
  const double step = positive_amount(request.step, "--step");
  const double radius = positive_amount(request.radius, "--radius");
  // Offsets in whole steps, from -m to m for each element but the last, which takes the rest.
  const auto m = static_cast<int>(std::floor(radius / step + 1e-9));
  const std::size_t free = base.size() - 1;
  std::uint64_t count = 1;
  for (std::size_t i = 0; i < free; ++i) {
    count *= static_cast<std::uint64_t>(2 * m + 1);
    if (count > kMostAround) {
      throw UsageError(fmt::format(
          "--around {} within {} at.% at step {} spans more than {} compositions: give a larger "
          "--step or a smaller --radius",
          quoted_text(request.formula), request.radius, request.step, kMostAround));
    }
  }
  std::vector<const Element*> elements;
  elements.reserve(base.size());
  for (const FormulaPart& p : base)
    elements.push_back(p.element);
  const std::vector<Column> columns = shares_and_assess_columns(elements);
  std::vector<RowCondition> conditions;
  for (const std::string& text : request.where) {
    auto condition = parse_condition(text, columns);
    if (const std::string* why = std::get_if<std::string>(&condition)) {
      throw UsageError("--where \"" + escaped(text) + "\": " + escaped(*why));
    }
    conditions.push_back(std::get<RowCondition>(std::move(condition)));
  }
  // The order: by default the rows inside the score's data first, each group by the trees'
  // probability descending, as every screen; otherwise a numeric column, -KEY descending.
  const std::string sort = request.sort.empty() ? std::string(kDefaultSort) : request.sort;
  const bool descending = sort == kDefaultSort || sort.front() == '-';
  const std::string key_name = sort.front() == '-' ? sort.substr(1) : sort;
  const Column* key = nullptr;
  if (sort != kDefaultSort) {
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const Column& c) {
      return c.name == key_name && (c.field == nullptr || c.field->kind != FieldKind::kText);
    });
    if (found == columns.end()) {
      throw UsageError("unknown sort key \"" + escaped(key_name) + "\"" +
                       did_you_mean(key_name, columns) +
                       "; the keys are the numeric fields (glassform fields) and the shares");
    }
    key = &*found;
  }
  const auto key_of = [&](const Row& row) -> std::optional<double> {
    if (key != nullptr) {
      if (key_name == "p_glass" && row.score()) return row.score()->uncalibrated;
      return numeric_value(key->value(row));
    }
    const std::optional<GlassScore>& score = row.score();
    if (!score) return std::nullopt;
    return score->extrapolated ? score->uncalibrated : 2 + score->uncalibrated;
  };

  BlackmanPlot plot = r.plot();
  struct Ranked {
    std::optional<double> key;
    std::size_t order;  // generation order, which breaks ties
    Assessment assessment;
  };
  std::vector<Ranked> ranked;
  const int status = with_output(r, [&](OutputSink& sink) {
    AssessmentWriter writer(sink, r.format(), AssessmentScope::kAll, columns);
    std::vector<int> offset(free, -m);
    std::size_t generated = 0;
    for (;;) {
      int sum = 0;
      for (const int d : offset)
        sum += d;
      std::vector<FormulaPart> parts;
      bool inside = -sum >= -m && -sum <= m;
      for (std::size_t i = 0; inside && i < base.size(); ++i) {
        const int d = i < free ? offset[i] : -sum;
        double amount = base[i].amount + d * step;
        if (std::abs(amount) < 1e-9) amount = 0;
        if (amount < 0) inside = false;
        if (amount > 0) parts.push_back({base[i].element, amount});
      }
      if (inside) {
        Assessment a = assess(parts, r.data_pointer());
        const Row row = Row::of(a);
        const bool kept = std::all_of(conditions.begin(), conditions.end(),
                                      [&row](const RowCondition& c) { return meets(c, row); });
        if (kept && request.all) {
          writer.add(a);
          if (!r.plot_path.empty()) plot.add_composition(formula_text(a.parts), a.parts, a.elastic);
        } else if (kept) {
          ranked.push_back({key_of(row), generated, std::move(a)});
        }
        ++generated;
      }
      // The next offsets, the first element's fastest.
      std::size_t i = 0;
      while (i < free && offset[i] == m) {
        offset[i] = -m;
        ++i;
      }
      if (i == free) break;
      ++offset[i];
    }
    if (!request.all) {
      const auto before = [descending](const Ranked& x, const Ranked& y) {
        if (x.key.has_value() != y.key.has_value()) return x.key.has_value();
        if (x.key && *x.key != *y.key) return descending ? *x.key > *y.key : *x.key < *y.key;
        return x.order < y.order;
      };
      const std::size_t keep = std::min(request.top, ranked.size());
      std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(keep),
                        ranked.end(), before);
      for (std::size_t k = 0; k < keep; ++k) {
        const Assessment& a = ranked[k].assessment;
        writer.add(a);
        if (!r.plot_path.empty()) plot.add_composition(formula_text(a.parts), a.parts, a.elastic);
      }
      if (keep == 0) r.warn("no composition passed the screen's filters");
    }
    writer.finish();
    return 0;
  });
  write_plot(r, plot);
  return status;
}

}  // namespace glassform::cli
