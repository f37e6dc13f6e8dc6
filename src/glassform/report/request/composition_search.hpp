// Searches over given compositions rather than the cluster model's: every composition of many
// element systems on a grid (each system's best ones), and the neighbourhood of a known
// composition. Both rank their rows as assess writes them, by one numeric column or by the
// score, and are shared by the command line and the Python module.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "glassform/model/alloy_kinds.hpp"
#include "glassform/model/assessment.hpp"
#include "glassform/report/table/fields.hpp"
#include "glassform/report/table/row_filter.hpp"

namespace glassform {

// The grid divisions of a step in at.% (100 / step), or why the text is none: a step must
// divide 100 into at most 1000 parts.
std::variant<int, std::string> grid_units(const std::string& step);

// The amounts of a grid composition (each element's share in units of 100 / n at.%, zeros left
// out), exactly as reading its formula gives them: the same numbers, bit for bit.
std::vector<FormulaPart> grid_parts(std::span<const Element* const> elements,
                                    std::span<const int> units, int n);

// The formula of the same composition, the amounts as the grid gives them: Cu45Zr47.5Al7.5.
std::string grid_formula(std::span<const Element* const> elements, std::span<const int> units,
                         int n);

// How rows of given compositions are ranked: by a numeric column, ascending or descending; or
// by default the rows inside the score's data first, each group by the score descending.
struct SearchOrder {
  std::optional<Column> key;  // nothing: the default order
  bool descending = true;
};

// The order of --sort (empty or "default" for the default; -KEY descending) over `columns`, or
// why it is none.
std::variant<SearchOrder, std::string> parse_search_order(const std::string& sort,
                                                          std::span<const Column> columns);

// A row's value to rank by; nothing where it has none (such rows go last). p_glass ranks by
// the trees' probability before calibration, which keeps the order where calibration ties.
std::optional<double> search_key(const SearchOrder& order, const Row& row);

// Whether a key goes before another (ties are the caller's).
bool key_before(const SearchOrder& order, const std::optional<double>& a,
                const std::optional<double>& b);

// --- The grid over element systems ------------------------------------------------------------

struct GridRequest {
  AlloyKind kind = AlloyKind::kTernary;  // ternary (3 elements) or quaternary (4)
  std::vector<const Element*> solvents;  // the candidate solvents
  std::vector<const Element*> solutes;   // the candidate solutes
  int units = 20;                        // grid divisions: 100 / step
  std::vector<RowCondition> conditions;  // a row must meet every one
  SearchOrder order;
  std::size_t per_system = 1;  // the best rows of each system
  std::size_t top = 100;       // the best rows of all
  unsigned threads = 1;
  const ElementData* data = nullptr;  // null for the built-in tables
};

// The columns of a grid screen's rows: system, each candidate's share where `wide` (the
// candidates in table order), then the fields of assess without the input's line and label.
std::vector<Column> grid_columns(std::span<const Element* const> candidates, bool wide);

// Told now and then how many systems are done, out of how many.
using SearchProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The number of candidate systems: sets of 3 (4) elements of which one is a candidate solvent
// and the others candidate solutes.
std::uint64_t grid_system_count(const GridRequest& request);

// The number of grid compositions of one system of m elements, each share at least one step,
// without the solvent condition: (units - 1) choose (m - 1).
std::uint64_t grid_compositions_per_system(int units, int m);

// Every grid composition of every system, in generation order, assessed: the systems as sets
// of positions in table order, and in each the compositions with the first element's share
// descending, then the second's. A composition is one of a system where an element with the
// largest share is a candidate solvent whose partners are candidate solutes; it is written with
// that solvent first (the first in table order on a tie), then the others by decreasing radius.
// The conditions apply; the order does not.
void grid_each(const GridRequest& request, const std::function<void(const Assessment&)>& visit,
               const SearchProgress& progress = {});

// The `top` best rows in the order, best first, where each system gives at most `per_system`
// rows: ties go by generation order, so the rows are the same whatever the number of threads.
// Memory is bounded by the number of rows kept, not of compositions.
std::vector<Assessment> grid_top(const GridRequest& request, const SearchProgress& progress = {});

// --- The neighbourhood of a composition ------------------------------------------------------

// The most compositions a neighbourhood may hold.
inline constexpr std::uint64_t kMostNeighbours = 1'000'000;

struct NeighbourhoodRequest {
  std::vector<FormulaPart> base;  // the composition, as reading its formula gives it
  double step = 1;                // at.%
  double radius = 5;              // at.% either side, in every element
  std::vector<RowCondition> conditions;
  SearchOrder order;
  std::size_t top = 100;
  const ElementData* data = nullptr;
};

// The number of offset combinations to try (at most kMostNeighbours is allowed): (2m + 1) to
// the power of one less than the elements, m the whole steps within the radius.
std::uint64_t neighbourhood_span(const NeighbourhoodRequest& request);

// Every composition of the base's elements whose shares differ from the base's by whole steps,
// none negative, within the radius in every element (the base among them), assessed, in
// generation order (the first element's offset changing fastest); the conditions apply.
void neighbourhood_each(const NeighbourhoodRequest& request,
                        const std::function<void(const Assessment&)>& visit,
                        const SearchProgress& progress = {});

// The `top` best of them in the order, ties in generation order. The progress counts the
// offset combinations tried, out of neighbourhood_span.
std::vector<Assessment> neighbourhood_top(const NeighbourhoodRequest& request,
                                          const SearchProgress& progress = {});

}  // namespace glassform
