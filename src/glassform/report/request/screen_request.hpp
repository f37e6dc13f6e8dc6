// The screens and the weighing as every front end asks for them, checked and made ready to run
// in one place. A request's members are named as the command line's options and Python's
// arguments name them; an error about one names it in `RequestError::option`.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/model/screening.hpp"
#include "glassform/model/weighing.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/request/composition_search.hpp"
#include "glassform/report/request/screen_setup.hpp"

namespace glassform {

// A named element kept among the candidates though the exclusion leaves it out of all: the
// front end may warn.
struct KeptExclusion {
  const Element* element = nullptr;
  std::string_view option;  // "solvents" or "solutes"
};

// `screen KIND`: every alloy of the candidates, its cluster model's compositions ranked.
struct ScreenRequest {
  std::string kind{};                       // binary, ternary or quaternary
  std::vector<std::string> solvents{};      // symbols, or all
  std::vector<std::string> solutes{"all"};  // symbols, or all
  std::vector<std::string> exclude{};       // sets and symbols; none given: kDefaultExcluded
  std::string sort{};                       // a key of parse_sort; empty: the default order
  long long top = 100;                      // 1 to kMostScreenTop
  std::vector<std::string> where{};         // conditions NAME OP VALUE that every row meets
  bool any_order = false;
  bool require_elastic = false;
  bool keep_unphysical = false;
  bool best_variant = false;
  const ElementData* data = nullptr;  // null for the built-in tables
};

// A screen ready to run (screen_top, screen_each) and what its output says of it.
struct PlannedScreen {
  ScreenOptions options;
  SortOrder order;
  std::size_t top = 0;
  std::vector<const Element*> candidates;  // solvents and solutes, each once, in table order
  std::string first_line;                  // the text output's first line
  std::vector<KeptExclusion> kept;
  std::string excluded;  // what the exclusion leaves out: "radioactive,gases", or "none"
};

Answer<PlannedScreen> answer(const ScreenRequest& request);

// `screen ternary|quaternary --grid STEP`: every grid composition of each candidate system.
struct GridScreenRequest {
  std::string kind{};  // ternary or quaternary
  std::vector<std::string> solvents{};
  std::vector<std::string> solutes{"all"};
  std::vector<std::string> exclude{};
  std::string grid{};  // the step in at.%, as given: it must divide 100
  long long per_system = 1;
  std::string sort{};  // a key of parse_search_order
  long long top = 100;
  std::vector<std::string> where{};
  const ElementData* data = nullptr;
};

struct PlannedGrid {
  GridRequest search;
  std::vector<const Element*> candidates;
  std::vector<KeptExclusion> kept;
  std::string excluded;
};

Answer<PlannedGrid> answer(const GridScreenRequest& request);

// `screen --around FORMULA`: the compositions near a known one.
struct AroundRequest {
  std::string around{};  // the formula
  double radius = 5;     // at.%, above 0 and at most 100
  double step = 1;       // at.%, the same
  std::string sort{};
  long long top = 100;
  std::vector<std::string> where{};
  const ElementData* data = nullptr;
};

struct PlannedAround {
  NeighbourhoodRequest search;
  std::vector<Column> columns;  // the formula's elements' shares, then the assessment's fields
};

Answer<PlannedAround> answer(const AroundRequest& request);

// `weigh FORMULA`: its atomic and weight percent and, given a mass, the grams.
struct WeighRequest {
  std::string formula{};
  bool weight_percent = false;   // the amounts are weight percent
  std::optional<double> mass{};  // grams, above 0
  const ElementData* data = nullptr;
};

Answer<Weighing> answer(const WeighRequest& request);

}  // namespace glassform
