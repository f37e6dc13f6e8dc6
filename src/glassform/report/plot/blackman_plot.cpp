#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/io/format.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "glassform/io/text.hpp"
#include "glassform/report/table/assessment_report.hpp"
#include "glassform/report/table/number_format.hpp"
#include "glassform/report/text/text_report.hpp"

namespace glassform {

namespace {

constexpr double kWidth = 800;
constexpr double kHeight = 600;
constexpr double kLeft = 70;
constexpr double kRight = 610;
constexpr double kTop = 60;
constexpr double kBottom = 470;
constexpr double kCharWidth = 7.4;      // of the 11 px sans-serif labels, generously
constexpr double kMarkCharWidth = 6.8;  // of the 10 px mark labels

constexpr std::array<const char*, 12> kPalette{"#1f77b4", "#d62728", "#2ca02c", "#9467bd",
                                               "#ff7f0e", "#8c564b", "#e377c2", "#17becf",
                                               "#bcbd22", "#7f7f7f", "#000080", "#808000"};

// The formula with one decimal: Zr81.9Cu18.1.
std::string short_formula(const AlloyResult& alloy, const Composition& c) {
  std::string text;
  const std::span<const Element* const> e = alloy.elements();
  for (std::size_t i = 0; i < e.size(); ++i) {
    text.append(e[i]->symbol);
    append_fixed(text, c.percent[i], 1);
  }
  return text;
}

// Points of the model's line y = 2(1 - x)/3 for a ratio B/G.
double model_x(double bg) {
  return (bg - 0.5) / (bg + 1);
}
double model_y(double bg) {
  return 1 / (bg + 1);
}

// The same on the isotropic solid's line y = (1 - x)/2.
double isotropic_x(double bg) {
  return (bg - 2.0 / 3) / (bg + 4.0 / 3);
}
double isotropic_y(double bg) {
  return 1 / (bg + 4.0 / 3);
}

struct Axis {
  double min;
  double max;
  double step;
};

// A range holding every value with a margin, on a round tick step.
Axis fit_axis(double low, double high) {
  const double span = std::max(high - low, 0.05);
  low -= span * 0.08;
  high += span * 0.08;
  const double raw = (high - low) / 8;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    step = m * magnitude;
    if (step >= raw) break;
  }
  return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

struct Box {
  double x0;
  double y0;
  double x1;
  double y1;
  [[nodiscard]] bool overlaps(const Box& o) const {
    return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
  }
};

}  // namespace

std::string xml_escape(std::string_view text) {
  std::string out;
  for (const char c : repaired_utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      append_format(out, "\\x{:02X}", byte);
      continue;
    }
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&apos;");
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

bool BlackmanPlot::add(const AlloyResult& alloy, std::span<const Composition> compositions,
                       bool joined) {
  Series series;
  series.joined = joined;
  for (const Composition& c : compositions) {
    const std::optional<std::pair<float, float>> at = place(c.elastic);
    if (!at) {
      // The note under the plot names a few; the rest are counted.
      if (not_drawn_.size() < kNotDrawnNames) not_drawn_.push_back(short_formula(alloy, c));
      ++not_drawn_count_;
      continue;
    }
    if (point_count_ == kMaxPoints) {
      truncated_ = true;
      break;
    }
    series.points.push_back(
        {at->first, at->second, short_formula(alloy, c), std::string(),
         c.gamma_sites ? std::string(gamma_sites_name(*c.gamma_sites)) : std::string(),
         place(find_measured(measured_, alloy, c))});
    ++point_count_;
  }
  for (std::size_t i = 0; i < alloy.elements().size(); ++i) {
    if (i > 0) series.name.push_back('-');
    series.name.append(alloy.elements()[i]->symbol);
  }
  if (series.points.empty()) return !truncated_;
  // Rows of one alloy share its colour.
  const auto same = std::find_if(series_.begin(), series_.end(), [&series](const Series& s) {
    return !s.joined && !series.joined && s.name == series.name;
  });
  if (same != series_.end()) {
    same->points.insert(same->points.end(), series.points.begin(), series.points.end());
  } else {
    series_.push_back(std::move(series));
  }
  return !truncated_;
}

bool BlackmanPlot::add_alloy(const AlloyResult& alloy) {
  return add(alloy, alloy.compositions(), true);
}

bool BlackmanPlot::add_row(const AlloyResult& alloy, const Composition& composition) {
  return add(alloy, std::span(&composition, 1), false);
}

std::optional<std::pair<float, float>> BlackmanPlot::place(const ElasticResult& elastic) const {
  if (placement_ == Placement::kIsotropic) {
    const std::optional<IsotropicElastic> i = isotropic_elastic(elastic);
    if (!i) return std::nullopt;
    return std::pair{i->c12_over_c11, i->c44_over_c11};
  }
  if (!elastic.constants) return std::nullopt;
  return std::pair{elastic.constants->c12_over_c11, elastic.constants->c44_over_c11};
}

std::optional<std::pair<float, float>> BlackmanPlot::place(const MeasuredGlass* measured) const {
  if (measured == nullptr || !measured->g || !measured->b) return std::nullopt;
  const double g = *measured->g;
  const double b = *measured->b;
  const bool model = placement_ == Placement::kModel;
  const double c11 = model ? b + g : b + 4 * g / 3;
  const double c12 = model ? b - g / 2 : b - 2 * g / 3;
  if (!(c11 > 0)) return std::nullopt;
  return std::pair{static_cast<float>(c12 / c11), static_cast<float>(g / c11)};
}

bool BlackmanPlot::add_composition(const std::string& name, std::span<const FormulaPart> parts,
                                   const ElasticResult& elastic) {
  const std::optional<std::pair<float, float>> at = place(elastic);
  if (!at) {
    if (not_drawn_.size() < kNotDrawnNames) not_drawn_.push_back(name);
    ++not_drawn_count_;
    return !truncated_;
  }
  if (point_count_ == kMaxPoints) {
    truncated_ = true;
    return false;
  }
  Series series;
  series.name = name;
  std::string formula = short_formula_text(parts);
  if (formula == name) formula.clear();
  series.points.push_back({at->first, at->second, name, std::move(formula), std::string(),
                           place(find_measured(measured_, parts))});
  series_.push_back(std::move(series));
  ++point_count_;
  return true;
}

namespace {

using Series = BlackmanPlot::Series;
using Point = BlackmanPlot::Point;

// The plot area's axes and the map from data to image coordinates.
struct Frame {
  Axis ax;
  Axis ay;
  [[nodiscard]] double px(double x) const {
    return kLeft + (x - ax.min) / (ax.max - ax.min) * (kRight - kLeft);
  }
  [[nodiscard]] double py(double y) const {
    return kBottom - (y - ay.min) / (ay.max - ay.min) * (kBottom - kTop);
  }
};

// Ranges: the points, and always the model's line from B/G = 1 to 5.
Frame fit_frame(std::span<const Series> series) {
  double x_low = model_x(1);
  double x_high = model_x(5);
  double y_low = model_y(5);
  double y_high = model_y(1);
  for (const Series& s : series) {
    for (const Point& p : s.points) {
      for (const auto& [x, y] : {std::pair{p.x, p.y}, p.measured.value_or(std::pair{p.x, p.y})}) {
        x_low = std::min(x_low, static_cast<double>(x));
        x_high = std::max(x_high, static_cast<double>(x));
        y_low = std::min(y_low, static_cast<double>(y));
        y_high = std::max(y_high, static_cast<double>(y));
      }
    }
  }
  return {fit_axis(x_low, x_high), fit_axis(y_low, y_high)};
}

// The document's start (with the axis transform as data attributes), the title, the grid, the
// ticks and their labels, the frame and the axis titles.
void append_frame_and_axes(std::string& out, const Frame& f) {
  const Axis& ax = f.ax;
  const Axis& ay = f.ay;
  append_format(
      out,
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{:.0f}\" height=\"{:.0f}\" "
      "viewBox=\"0 0 {:.0f} {:.0f}\" font-family=\"DejaVu Sans, Arial, sans-serif\" "
      "data-plot-left=\"{:.0f}\" data-plot-right=\"{:.0f}\" data-plot-top=\"{:.0f}\" "
      "data-plot-bottom=\"{:.0f}\" data-x-min=\"{:.4f}\" data-x-max=\"{:.4f}\" data-y-min=\"{:.4f}\" "
      "data-y-max=\"{:.4f}\">\n",
      kWidth, kHeight, kWidth, kHeight, kLeft, kRight, kTop, kBottom, ax.min, ax.max, ay.min,
      ay.max);
  out.append("<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
  append_format(
      out,
      "<clipPath id=\"plot-area\"><rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" height=\"{:.2f}\"/>"
      "</clipPath>\n",
      kLeft, kTop, kRight - kLeft, kBottom - kTop);
  out.append(
      "<text x=\"340\" y=\"30\" font-size=\"17\" text-anchor=\"middle\">Blackman diagram of the "
      "estimated elastic constants</text>\n");

  out.append("<g stroke=\"#e6e6e6\" stroke-width=\"1\">\n");
  for (double x = ax.min; x <= ax.max + ax.step / 2; x += ax.step) {
    append_format(out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\"/>\n", f.px(x),
                  kTop, f.px(x), kBottom);
  }
  for (double y = ay.min; y <= ay.max + ay.step / 2; y += ay.step) {
    append_format(out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\"/>\n", kLeft,
                  f.py(y), kRight, f.py(y));
  }
  out.append("</g>\n<g font-size=\"11\" fill=\"#333333\">\n");
  const int x_decimals = ax.step < 0.01 ? 3 : 2;
  const int y_decimals = ay.step < 0.01 ? 3 : 2;
  for (double x = ax.min; x <= ax.max + ax.step / 2; x += ax.step) {
    append_format(
        out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"#333333\"/>\n",
        f.px(x), kBottom, f.px(x), kBottom + 5);
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\" text-anchor=\"middle\">{:.{}f}</text>\n",
                  f.px(x), kBottom + 18, x, x_decimals);
  }
  for (double y = ay.min; y <= ay.max + ay.step / 2; y += ay.step) {
    append_format(
        out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"#333333\"/>\n",
        kLeft - 5, f.py(y), kLeft, f.py(y));
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\" text-anchor=\"end\">{:.{}f}</text>\n",
                  kLeft - 8, f.py(y) + 4, y, y_decimals);
  }
  out.append("</g>\n");
  append_format(out,
                "<rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" height=\"{:.2f}\" fill=\"none\" "
                "stroke=\"#333333\"/>\n",
                kLeft, kTop, kRight - kLeft, kBottom - kTop);
  append_format(
      out,
      "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"13\" text-anchor=\"middle\">C12/C11</text>\n",
      (kLeft + kRight) / 2, kBottom + 40);
  append_format(out,
                "<text x=\"18\" y=\"{:.2f}\" font-size=\"13\" text-anchor=\"middle\" "
                "transform=\"rotate(-90 18 {:.2f})\">C44/C11</text>\n",
                (kTop + kBottom) / 2, (kTop + kBottom) / 2);
}

// One reference line across the plot, clipped to it, with its label along the line from where
// it stands at `at` of the x range (or where the line enters the plot), just above or below it.
void append_reference_line(std::string& out, const Frame& fr, const char* id, const char* colour,
                           const char* dash, double (*f)(double), const std::string& label,
                           double at, bool below, std::vector<Box>& taken) {
  const Axis& ax = fr.ax;
  const Axis& ay = fr.ay;
  append_format(
      out,
      "<line id=\"{}\" x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"{}\" "
      "stroke-width=\"1.5\" stroke-dasharray=\"{}\" clip-path=\"url(#plot-area)\"/>\n",
      id, fr.px(ax.min), fr.py(f(ax.min)), fr.px(ax.max), fr.py(f(ax.max)), colour, dash);
  double x = ax.min + (ax.max - ax.min) * at;
  for (int i = 0; i < 200 && (f(x) < ay.min || f(x) > ay.max); ++i)
    x += (ax.max - ax.min) / 200;
  const double angle = std::atan2(fr.py(f(x + 0.01)) - fr.py(f(x)), fr.px(x + 0.01) - fr.px(x)) *
                       180 / 3.14159265358979;
  // Anchored on the line itself and shifted along and away from it in the rotated frame, so
  // the line passes beside the text, never through it.
  const double lx = fr.px(x);
  const double ly = fr.py(f(x));
  append_format(out,
                "<text x=\"{:.2f}\" y=\"{:.2f}\" dx=\"4\" dy=\"{}\" font-size=\"11\" fill=\"{}\" "
                "transform=\"rotate({:.2f} {:.2f} {:.2f})\">{}</text>\n",
                lx, ly, below ? "13" : "-6", colour, angle, lx, ly, xml_escape(label));
  // What the rotated text covers, as small boxes along it, for the points' labels to avoid.
  const double radians = angle * 3.14159265358979 / 180;
  const double along_x = std::cos(radians);
  const double along_y = std::sin(radians);
  const double away = below ? 8 : -10;  // the text's middle, off the line
  const double length = kMarkCharWidth * static_cast<double>(label.size()) + 4;
  for (double t = 0; t <= length; t += 6) {
    const double bx = lx + t * along_x - away * along_y;
    const double by = ly + t * along_y + away * along_x;
    taken.push_back({bx - 6, by - 6, bx + 6, by + 6});
  }
}

// The three reference lines and the B/G marks on the line of the placement; each mark's label
// takes the first place beside the mark that no point and no other label covers, and is added
// to `taken`, as are the lines' own labels.
void append_reference_lines(std::string& out, const Frame& f, BlackmanPlot::Placement placement,
                            std::vector<Box>& taken) {
  const bool model = placement == BlackmanPlot::Placement::kModel;
  append_reference_line(
      out, f, "isotropic", "#555555", "6 4", [](double x) { return (1 - x) / 2; },
      "isotropic solid, C11 = B + 4G/3", 0.03, true, taken);
  append_reference_line(
      out, f, "model", "#000000", "none", [](double x) { return 2 * (1 - x) / 3; },
      "this model, C11 = B + G", 0.03, false, taken);
  append_reference_line(
      out, f, "cauchy", "#999999", "2 3", [](double x) { return x; }, "Cauchy, C12 = C44", 0.42,
      false, taken);
  for (const double bg : {1.5, 1.75, 2.0, 3.0, 4.0}) {
    // The marks stand on the line the points are placed on.
    const double x = f.px(model ? model_x(bg) : isotropic_x(bg));
    const double y = f.py(model ? model_y(bg) : isotropic_y(bg));
    if (x < kLeft || x > kRight || y < kTop || y > kBottom) continue;
    append_format(
        out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"#000000\"/>\n",
        x, y - 5, x, y + 5);
    const std::string label =
        bg == 1.75 ? "B/G = 1.75 (Pugh)" : "B/G = " + format_shortest(static_cast<float>(bg));
    const double w = kMarkCharWidth * static_cast<double>(label.size());
    for (const auto& [bx, by] : std::array<std::pair<double, double>, 4>{
             {{x - 3 - w, y + 16}, {x + 3, y - 8}, {x + 3, y + 16}, {x - 3 - w, y - 8}}}) {
      const Box b{bx, by - 10, bx + w, by + 3};
      if (std::any_of(taken.begin(), taken.end(), [&b](const Box& t) { return b.overlaps(t); })) {
        continue;
      }
      append_format(out,
                    "<text class=\"mark\" x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"10\" "
                    "fill=\"#000000\">{}</text>\n",
                    bx, by, label);
      taken.push_back(b);
      break;
    }
  }
}

// The marker of series i: one of 12 colours and, past them, one of 4 shapes, so that 48 alloys
// are told apart. Filled for an estimate, open for a measurement.
const char* colour_of(std::size_t series) {
  return kPalette[series % kPalette.size()];
}

void append_marker(std::string& out, std::size_t series, double cx, double cy, bool filled,
                   const std::string& attributes) {
  const char* colour = colour_of(series);
  const std::string paint =
      filled ? fmt::format("fill=\"{}\"", colour)
             : fmt::format("fill=\"#ffffff\" stroke=\"{}\" stroke-width=\"1.5\"", colour);
  switch (series / kPalette.size() % 4) {
    case 0:
      append_format(out, "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"4\" {}{}/>\n", cx, cy, paint,
                    attributes);
      break;
    case 1:
      append_format(out, "<rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"7\" height=\"7\" {}{}/>\n",
                    cx - 3.5, cy - 3.5, paint, attributes);
      break;
    case 2:
      append_format(out, "<path d=\"M{:.2f} {:.2f}L{:.2f} {:.2f}L{:.2f} {:.2f}Z\" {}{}/>\n", cx,
                    cy - 5, cx + 4.5, cy + 3.5, cx - 4.5, cy + 3.5, paint, attributes);
      break;
    default:
      append_format(
          out, "<path d=\"M{:.2f} {:.2f}L{:.2f} {:.2f}L{:.2f} {:.2f}L{:.2f} {:.2f}Z\" {}{}/>\n", cx,
          cy - 5, cx + 5, cy, cx, cy + 5, cx - 5, cy, paint, attributes);
  }
}

// The places a label of width w may take around a point at (cx, cy), nearest first: beside,
// above and below it, then on rings further out up to kLabelReach.
std::vector<Box> label_places(double cx, double cy, double w) {
  std::vector<Box> out{
      Box{cx + 7, cy - 7, cx + 7 + w, cy + 6}, Box{cx - 7 - w, cy - 7, cx - 7, cy + 6},
      Box{cx - w / 2, cy - 20, cx + w / 2, cy - 7}, Box{cx - w / 2, cy + 7, cx + w / 2, cy + 20}};
  constexpr int kAngles = 16;
  for (double r = 22; r <= BlackmanPlot::kLabelReach; r += 14) {
    for (int k = 0; k < kAngles; ++k) {
      const double a = 2 * 3.14159265358979 * k / kAngles;
      const double x = cx + r * std::cos(a);
      const double y = cy - r * std::sin(a);
      // The box's near side faces the point.
      const double x0 = std::cos(a) >= 0 ? x : x - w;
      out.push_back(Box{x0, y - 7, x0 + w, y + 6});
    }
  }
  return out;
}

// The point of a box nearest (x, y).
std::pair<double, double> nearest_on(const Box& b, double x, double y) {
  return {std::clamp(x, b.x0, b.x1), std::clamp(y, b.y0, b.y1)};
}

// The points, joined within each alloy, each measured point joined to its estimate; labels for
// the first ones, each at the nearest place that covers no point, no mark and no other label,
// with a thin leader line when it stands away from its point.
void append_points(std::string& out, const Frame& f, std::span<const Series> series,
                   std::vector<Box>& taken) {
  out.append("<g id=\"points\">\n");
  for (std::size_t i = 0; i < series.size(); ++i) {
    const Series& s = series[i];
    if (s.joined && s.points.size() > 1) {
      append_format(out, "<polyline fill=\"none\" stroke-width=\"1.2\" stroke=\"{}\" points=\"",
                    colour_of(i));
      for (const Point& p : s.points)
        append_format(out, "{:.2f},{:.2f} ", f.px(p.x), f.py(p.y));
      out.append("\"/>\n");
    }
    for (const Point& p : s.points) {
      const double cx = f.px(p.x);
      const double cy = f.py(p.y);
      if (p.measured) {
        const double mx = f.px(p.measured->first);
        const double my = f.py(p.measured->second);
        append_format(out,
                      "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"{}\" "
                      "stroke-width=\"0.8\"/>\n",
                      cx, cy, mx, my, colour_of(i));
        append_marker(out, i, mx, my, false,
                      fmt::format(" data-measured=\"{}\" data-cx=\"{:.2f}\" data-cy=\"{:.2f}\"",
                                  xml_escape(p.label), mx, my));
      }
      append_marker(out, i, cx, cy, true,
                    fmt::format(" data-formula=\"{}\"{} data-c12-c11=\"{}\" data-c44-c11=\"{}\" "
                                "data-cx=\"{:.2f}\" data-cy=\"{:.2f}\"",
                                xml_escape(p.formula.empty() ? p.label : p.formula),
                                p.formula.empty() ? std::string()
                                                  : " data-label=\"" + xml_escape(p.label) + "\"",
                                format_shortest(p.x), format_shortest(p.y), cx, cy));
    }
  }
  std::size_t labelled = 0;
  for (std::size_t i = 0; i < series.size(); ++i) {
    for (const Point& p : series[i].points) {
      if (labelled == BlackmanPlot::kLabelledPoints) break;
      const std::string text = p.variant.empty() ? p.label : p.label + " " + p.variant;
      const double cx = f.px(p.x);
      const double cy = f.py(p.y);
      const double w = kCharWidth * static_cast<double>(text.size());
      const std::vector<Box> places = label_places(cx, cy, w);
      for (std::size_t k = 0; k < places.size(); ++k) {
        const Box& b = places[k];
        const bool inside =
            b.x0 >= kLeft + 2 && b.x1 <= kRight - 2 && b.y0 >= kTop + 2 && b.y1 <= kBottom - 2;
        if (!inside ||
            std::any_of(taken.begin(), taken.end(), [&b](const Box& t) { return b.overlaps(t); })) {
          continue;
        }
        if (k >= 4) {
          // From the marker's edge, so that the marker's colour stays whole.
          const auto [lx, ly] = nearest_on(b, cx, cy);
          const double length = std::hypot(lx - cx, ly - cy);
          const double sx = cx + (lx - cx) * 6 / length;
          const double sy = cy + (ly - cy) * 6 / length;
          append_format(out,
                        "<line class=\"leader\" x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" "
                        "y2=\"{:.2f}\" stroke=\"#999999\" stroke-width=\"0.6\"/>\n",
                        sx, sy, lx, ly);
        }
        append_format(out,
                      "<text class=\"label\" x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" "
                      "fill=\"{}\">{}</text>\n",
                      b.x0, b.y1 - 3, colour_of(i), xml_escape(text));
        taken.push_back(b);
        ++labelled;
        break;
      }
    }
  }
  out.append("</g>\n");
}

// The legend: the alloys' markers (the first kLegendAlloys), then the lines and, with any,
// the measured points.
void append_legend(std::string& out, std::span<const Series> series, bool measured) {
  constexpr std::size_t kLegendAlloys = 20;
  double y = kTop + 10;
  out.append("<g id=\"legend\" font-size=\"11\">\n");
  const std::size_t shown = std::min(series.size(), kLegendAlloys);
  for (std::size_t i = 0; i < shown; ++i) {
    append_marker(out, i, kRight + 22, y - 4, true, "");
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\">{}</text>\n", kRight + 32, y,
                  xml_escape(series[i].name));
    y += 16;
  }
  if (series.size() > shown) {
    const std::string more = "and " + std::to_string(series.size() - shown) + " more alloys";
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\">{}</text>\n", kRight + 16, y, more);
    y += 16;
  }
  y += 8;
  for (const auto& [dash, colour, text] :
       std::array<std::array<const char*, 3>, 3>{{{"6 4", "#555555", "isotropic solid"},
                                                  {"none", "#000000", "this model"},
                                                  {"2 3", "#999999", "Cauchy"}}}) {
    append_format(out,
                  "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"{}\" "
                  "stroke-width=\"1.5\" stroke-dasharray=\"{}\"/>\n",
                  kRight + 14, y - 4, kRight + 34, y - 4, colour, dash);
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\">{}</text>\n", kRight + 40, y, text);
    y += 16;
  }
  if (measured) {
    append_format(out,
                  "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"4\" fill=\"#ffffff\" stroke=\"#333333\" "
                  "stroke-width=\"1.5\"/>\n",
                  kRight + 22, y - 4);
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\">measured (open)</text>\n", kRight + 32, y);
  }
  out.append("</g>\n");
}

// The notes under the plot: the convention that placed the points, and the compositions that
// could not be drawn (in lines that fit the image, at most three).
void append_notes(std::string& out, BlackmanPlot::Placement placement,
                  std::span<const std::string> not_drawn, std::size_t not_drawn_count) {
  const bool model = placement == BlackmanPlot::Placement::kModel;
  append_format(out,
                "<text id=\"placement\" x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" "
                "fill=\"#333333\">{}</text>\n",
                kLeft, kBottom + 62,
                model ? "Placement model: this program's constants C11 = B + G, C12 = B - G/2, "
                        "C44 = G, from the estimated B and G;"
                      : "Placement isotropic: the isotropic solid of the estimated B and G, "
                        "C11 = B + 4G/3, C12 = B - 2G/3, C44 = G;");
  append_format(out,
                "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" fill=\"#333333\">{}</text>\n",
                kLeft, kBottom + 76,
                model ? "every point lies on y = 2(1 - x)/3, its place set by B/G alone."
                      : "every point lies on y = (1 - x)/2, its place set by B/G alone.");
  if (not_drawn.empty()) return;
  constexpr std::size_t kLineLength = 100;
  std::vector<std::string> lines{"Not drawn, elastic constants not computable: "};
  std::size_t listed = 0;
  for (const std::string& formula : not_drawn) {
    if (lines.back().size() + formula.size() + 2 > kLineLength) {
      if (lines.size() == 3) break;
      lines.emplace_back();
    }
    if (listed > 0 && !lines.back().empty()) lines.back().append(", ");
    lines.back().append(formula);
    ++listed;
  }
  if (listed < not_drawn_count) {
    lines.back().append(" and " + std::to_string(not_drawn_count - listed) + " more");
  }
  out.append("<g id=\"not-drawn\" font-size=\"11\" fill=\"#b00000\">\n");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    append_format(out, "<text x=\"{:.2f}\" y=\"{:.2f}\">{}</text>\n", kLeft,
                  kBottom + 94 + 14 * static_cast<double>(i), xml_escape(lines[i]));
  }
  out.append("</g>\n");
}

}  // namespace

std::string BlackmanPlot::svg() const {
  const Frame frame = fit_frame(series_);
  std::string out;
  append_frame_and_axes(out, frame);
  // What a label must not cover: every point first, then the marks' labels as they are placed.
  std::vector<Box> taken;
  bool measured = false;
  for (const Series& s : series_) {
    for (const Point& p : s.points) {
      taken.push_back({frame.px(p.x) - 5, frame.py(p.y) - 5, frame.px(p.x) + 5, frame.py(p.y) + 5});
      if (p.measured) {
        const double mx = frame.px(p.measured->first);
        const double my = frame.py(p.measured->second);
        taken.push_back({mx - 5, my - 5, mx + 5, my + 5});
        measured = true;
      }
    }
  }
  append_reference_lines(out, frame, placement_, taken);
  append_points(out, frame, series_, taken);
  append_legend(out, series_, measured);
  append_notes(out, placement_, not_drawn_, not_drawn_count_);
  out.append("</svg>\n");
  return out;
}

}  // namespace glassform
