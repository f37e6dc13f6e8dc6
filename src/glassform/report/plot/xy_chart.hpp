// A small x-y chart as an SVG image: points with optional vertical error bars, lines through
// them, a y = x diagonal, linear or logarithmic axes. The validation page draws its reliability
// diagram and measured-against-estimated plots with it, through `glassform chart`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace glassform {

struct ChartPoint {
  double x = 0;
  double y = 0;
  // A vertical error bar from low to high, where one is given.
  std::optional<double> low;
  std::optional<double> high;
};

struct ChartSeries {
  std::string name;
  std::vector<ChartPoint> points;
  bool joined = false;  // a line through the points, in order
};

struct ChartAxis {
  std::string label;
  bool log = false;
  // The range drawn; without it, the range of the values with a margin (on a logarithmic axis,
  // whole decades).
  std::optional<double> min;
  std::optional<double> max;
};

struct XyChart {
  std::string title;
  ChartAxis x;
  ChartAxis y;
  bool diagonal = false;  // the line y = x, where a perfect estimate or calibration lies
  std::vector<ChartSeries> series;
  std::vector<std::string> notes;  // lines under the chart
};

// The chart described by a JSON object:
//   {"title": "...", "x": {"label": "...", "log": false, "min": 0, "max": 1}, "y": {...},
//    "diagonal": true, "notes": ["..."],
//    "series": [{"name": "...", "joined": false, "points": [[x, y], [x, y, low, high]]}]}
// or a message saying what is wrong with it.
std::variant<XyChart, std::string> chart_from_json(std::string_view text);

// The SVG document. Points that a logarithmic axis cannot place (zero or negative) are left
// out and counted in a note.
std::string chart_svg(const XyChart& chart);

}  // namespace glassform
