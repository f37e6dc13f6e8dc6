// A field over the compositions of three elements, drawn as a ternary heat map (SVG): an
// equilateral triangle tiled by one cell per grid composition, coloured in viridis, with axes in
// at.%, dashed gridlines every 10 %, a colour bar, the best cell marked and known compositions on
// top.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "glassform/report/fields.hpp"

namespace glassform {

// The colour of t in [0, 1] on the viridis scale (purple to yellow), as "#rrggbb".
std::string viridis(double t);

// A composition of the map's elements known from data, drawn on top of the cells.
struct KnownMarker {
  enum class Kind : std::uint8_t { kGlass, kCrystalline, kUnlabelled };
  std::array<double, 3> percent{};  // at.% of the three elements
  Kind kind = Kind::kUnlabelled;
  std::string title;  // shown on hover: formula, label, source
};

struct TernaryMap {
  std::array<std::string, 3> corners;  // the symbols: top, bottom left, bottom right
  int units = 100;                     // grid divisions of each side (100 / step)
  // One value per grid composition, in row order: the first element's share descending, then
  // the second's; nothing where the row has no value.
  std::vector<std::optional<double>> values;
  std::vector<std::string> titles;  // one per grid composition: its formula
  std::string field;                // the field's name
  std::string unit;
  Better better = Better::kNone;
  bool probability = false;  // a value in [0, 1]: the colour bar spans 0 to 1
  std::vector<KnownMarker> known;
  std::vector<std::string> caption;  // lines under the drawing
};

// The drawing. Beyond 100 divisions the cells are drawn at the coarsest grid point spacing that
// keeps at most 101 per side (the caption says so), so that the file stays small.
std::string ternary_map_svg(const TernaryMap& map);

}  // namespace glassform
