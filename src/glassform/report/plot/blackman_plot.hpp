// The Blackman diagram of the estimated elastic constants as an SVG image: x = C12/C11,
// y = C44/C11, with the isotropic-solid line, the line on which this model's estimates lie
// (with B/G marks) and the Cauchy line. A small writer of its own: no plotting library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/measured.hpp"

namespace glassform {

class BlackmanPlot {
 public:
  // Where a composition's point is drawn: with this program's constants (C11 = B + G,
  // C12 = B - G/2, C44 = G), or as the isotropic solid of the same B and G (C11 = B + 4G/3,
  // C12 = B - 2G/3, C44 = G). The printed numbers are the model's either way.
  enum class Placement : std::uint8_t { kModel, kIsotropic };

  explicit BlackmanPlot(Placement placement = Placement::kModel) : placement_(placement) {}

  static constexpr std::size_t kMaxPoints = 1000;
  // Points labelled, in order, where a free place within reach exists (kLabelReach px).
  static constexpr std::size_t kLabelledPoints = 30;
  static constexpr double kLabelReach = 200;
  // The compositions without elastic constants named under the plot, at most; more are counted.
  static constexpr std::size_t kNotDrawnNames = 40;

  // Adds the compositions of an alloy as points of one colour, joined in order (a ternary's
  // empty, half full and full gamma sites). Returns false when the plot is already full; the
  // compositions past the limit are not added.
  bool add_alloy(const AlloyResult& alloy);
  // Adds one composition as a point of its own colour.
  bool add_row(const AlloyResult& alloy, const Composition& composition);
  // Adds a given composition, named `name`, as a point of its own colour.
  bool add_composition(const std::string& name, std::span<const FormulaPart> parts,
                       const ElasticResult& elastic);
  // Draws beside each composition added later the first measurement of the same composition:
  // an open marker joined to the estimate by a thin line.
  void set_measured(std::span<const MeasuredGlass> measured) { measured_ = measured; }

  [[nodiscard]] std::size_t points() const { return point_count_; }
  // Whether compositions were left out because the plot was full.
  [[nodiscard]] bool truncated() const { return truncated_; }

  // The SVG document: the frame and axes, the reference lines, the points and their labels,
  // the legend and the notes.
  [[nodiscard]] std::string svg() const;

  struct Point {
    float x;
    float y;
    std::string label;    // what the point is called: its formula, or the user's label
    std::string formula;  // the formula, as data-formula (empty: the same as the label)
    std::string variant;  // a ternary's gamma sites, in its label
    std::optional<std::pair<float, float>> measured;  // the measured point, placed alike
  };
  struct Series {
    std::vector<Point> points;
    std::string name;
    bool joined = false;  // the compositions of one alloy, joined in order
  };

 private:
  bool add(const AlloyResult& alloy, std::span<const Composition> compositions, bool joined);

  // The point of an elastic estimate in the placement, if it has one.
  [[nodiscard]] std::optional<std::pair<float, float>> place(const ElasticResult& elastic) const;
  [[nodiscard]] std::optional<std::pair<float, float>> place(const MeasuredGlass* measured) const;

  Placement placement_;
  std::span<const MeasuredGlass> measured_;
  std::vector<Series> series_;
  std::vector<std::string> not_drawn_;  // the first kNotDrawnNames
  std::size_t not_drawn_count_ = 0;
  std::size_t point_count_ = 0;
  bool truncated_ = false;
};

// Text escaped for XML character data and attribute values; bytes that are not valid UTF-8
// become U+FFFD and control characters, which XML cannot hold, are written as \xNN.
std::string xml_escape(std::string_view text);

}  // namespace glassform
