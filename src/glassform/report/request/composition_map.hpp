// A composition map as every front end asks for it: the grid of three elements, each
// composition assessed, its rows' columns, and the ternary heat map of one field.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "glassform/model/assessment.hpp"
#include "glassform/report/plot/ternary_map.hpp"
#include "glassform/report/request/alloy_request.hpp"
#include "glassform/report/table/fields.hpp"

namespace glassform {

struct MapRequest {
  std::array<const Element*, 3> elements{};  // distinct, of `data`
  std::string step = "1";                    // at.%, as the user wrote it
  std::string field = "p_glass";             // the field the plot draws
  bool known = true;                         // draw the labelled data's compositions
  const ElementData* data = nullptr;         // null for the built-in tables
  // The user's own known compositions instead: a CSV with a formula column and optionally a
  // label column (glass or crystalline, any case; AM, BMG and Ribbon are glasses, AC and CR
  // not); without a label column they are drawn unlabelled.
  std::optional<std::string> known_file;  // its text
  std::string known_name;                 // its name in messages
  // A part of the triangle: "Cu=40..60,Zr=20..50", bounds in at.% of the alloy, inclusive,
  // multiples of the step; an element not named spans 0 to 100. Empty: the whole triangle.
  std::string range;
  // Slices at shares of a fourth element: "Ni=0,5,10", each a multiple of the step below 100;
  // each slice holds the compositions of A, B and C that make up the rest. Empty: none.
  std::string with;
};

// The checked request: the grid's divisions (100 / step) and the plotted field; or why it is
// none (a step that does not divide 100, a field that is no number, an element named twice, a
// known-compositions file with a fault, named by its line).
struct MapPlan {
  int units = 0;
  const Field* field = nullptr;
  std::vector<KnownMarker> user_known;  // the user's file's compositions on the map
  std::array<int, 3> lo{};              // the range of A, B and C, in grid units
  std::array<int, 3> hi{};
  const Element* fourth = nullptr;  // the element of the slices, or none
  std::vector<int> slices{0};       // its shares, in grid units
};
Answer<MapPlan> answer(const MapRequest& request);

// The three elements of a map's symbols, each of `data` (null: the built-in tables).
Answer<std::array<const Element*, 3>> map_elements(std::span<const std::string> symbols,
                                                   const ElementData* data);

// The number of grid compositions: (units + 1) (units + 2) / 2 for the whole triangle.
std::size_t map_size(const MapPlan& plan);

// The columns of a map's rows: the shares x_A_at%, x_B_at%, x_C_at% (and the fourth element's
// with slices), then the fields of assess (without the input's line and label).
std::vector<Column> map_columns(const MapRequest& request, const MapPlan& plan);

// Each grid composition's assessment, in row order: slice by slice, A's share descending, then
// B's; an amount of 0 left out of the composition.
void each_map_composition(const MapRequest& request, const MapPlan& plan,
                          const std::function<void(const Assessment&)>& visit);

// Builds the heat map as the compositions are visited, then draws it.
class MapDrawing {
 public:
  MapDrawing(const MapRequest& request, const MapPlan& plan);
  void add(const Assessment& assessment);
  [[nodiscard]] std::string svg() const;

 private:
  MapRequest request_;
  MapPlan plan_;
  TernaryMap map_;
  std::vector<std::size_t> sizes_;  // the compositions of each panel
  std::size_t panel_ = 0;           // the panel being filled
};

}  // namespace glassform
