// A field over the compositions of three elements, drawn as a ternary heat map (SVG): an
// equilateral triangle tiled by one cell per grid composition, coloured in viridis, with axes in
// at.%, dashed gridlines every 10 %, a colour bar, the best cell marked and known compositions on
// top.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "glassform/report/table/fields.hpp"

namespace glassform {

// The colour of t in [0, 1] on the viridis scale (purple to yellow), as "#rrggbb".
std::string viridis(double t);

// A composition of the map's elements known from data, drawn on top of the cells.
struct KnownMarker {
  enum class Kind : std::uint8_t { kGlass, kCrystalline, kUnlabelled };
  std::array<double, 3> percent{};  // at.% of the three elements
  double fourth = 0;                // at.% of a fourth element (that of a map's slices)
  Kind kind = Kind::kUnlabelled;
  std::string title;  // shown on hover: formula, label, source
};

// One triangle of a map: the compositions of the three elements with a share of a fourth held
// fixed (none for a plain ternary), optionally zoomed to a range of shares.
struct TernaryPanel {
  int units = 100;     // grid divisions of each side: the three elements' share in steps
  double total = 100;  // the three elements' share of the alloy, at.%: the axes read at.% of it
  // The range drawn, in grid units of each element: lo[i] <= share <= hi[i]; the whole
  // triangle is 0 to units.
  std::array<int, 3> lo{0, 0, 0};
  std::array<int, 3> hi{100, 100, 100};
  // One value per grid composition inside the range, in row order: the first element's share
  // descending, then the second's; nothing where the row has no value.
  std::vector<std::optional<double>> values;
  std::vector<std::string> titles;  // one per value: its formula
  // The known compositions inside the range (edges included), in at.% of the whole alloy.
  std::vector<KnownMarker> known;
  std::string heading;                 // above the triangle, for a slice: "Ni 10 at.%"
  std::array<std::string, 3> corners;  // the corners' names where not the map's: Cu90Ni10
};

struct TernaryMap {
  std::array<std::string, 3> corners;  // the symbols: top, bottom left, bottom right
  std::vector<TernaryPanel> panels;    // drawn in a row, sharing one colour scale
  std::string title;                   // above the drawing
  std::string field;                   // the field's name
  std::string unit;
  Better better = Better::kNone;
  bool probability = false;          // a value in [0, 1]: the colour bar spans 0 to 1
  std::vector<std::string> caption;  // lines under the drawing
};

// The drawing. Beyond 100 divisions across the drawn range the cells are drawn at the finest
// grid point spacing that keeps at most 101 per side (the caption says so), so that the file
// stays small. A zoomed range fills the triangle's place, with ticks every 10 at.% (every 5
// where the range spans less than 30).
std::string ternary_map_svg(const TernaryMap& map);

}  // namespace glassform
