#include "report/blackman_plot.hpp"
#include "io/format.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "report/number_format.hpp"
#include "report/text_report.hpp"

namespace glassform {

namespace {

constexpr double kWidth = 800;
constexpr double kHeight = 600;
constexpr double kLeft = 70;
constexpr double kRight = 610;
constexpr double kTop = 60;
constexpr double kBottom = 470;
constexpr double kCharWidth = 7.0;  // of the 11 px sans-serif labels, generously

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
  for (const char c : text) {
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
    if (!c.elastic.constants) {
      // The note under the plot names a few; the rest are counted.
      if (not_drawn_.size() < kNotDrawnNames) not_drawn_.push_back(short_formula(alloy, c));
      ++not_drawn_count_;
      continue;
    }
    if (point_count_ == kMaxPoints) {
      truncated_ = true;
      break;
    }
    series.points.push_back({c.elastic.constants->c12_over_c11, c.elastic.constants->c44_over_c11,
                             short_formula(alloy, c)});
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

bool BlackmanPlot::add_composition(const std::string& name, const ElasticResult& elastic) {
  if (!elastic.constants) {
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
  series.points.push_back({elastic.constants->c12_over_c11, elastic.constants->c44_over_c11, name});
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
      x_low = std::min(x_low, static_cast<double>(p.x));
      x_high = std::max(x_high, static_cast<double>(p.x));
      y_low = std::min(y_low, static_cast<double>(p.y));
      y_high = std::max(y_high, static_cast<double>(p.y));
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
                           double at, bool below) {
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
  const double lx = fr.px(x) + 4;
  const double ly = fr.py(f(x));
  append_format(out,
                "<text x=\"{:.2f}\" y=\"{:.2f}\" dy=\"{}\" font-size=\"11\" fill=\"{}\" "
                "transform=\"rotate({:.2f} {:.2f} {:.2f})\">{}</text>\n",
                lx, ly, below ? "13" : "-5", colour, angle, lx, ly, xml_escape(label));
}

// The three reference lines and the B/G marks on the model's line; the marks' labels are
// added to `taken`.
void append_reference_lines(std::string& out, const Frame& f, std::vector<Box>& taken) {
  append_reference_line(
      out, f, "isotropic", "#555555", "6 4", [](double x) { return (1 - x) / 2; },
      "isotropic solid, C11 = B + 4G/3", 0.03, true);
  append_reference_line(
      out, f, "model", "#000000", "none", [](double x) { return 2 * (1 - x) / 3; },
      "this model, C11 = B + G", 0.03, false);
  append_reference_line(
      out, f, "cauchy", "#999999", "2 3", [](double x) { return x; }, "Cauchy, C12 = C44", 0.42,
      false);
  for (const double bg : {1.5, 1.75, 2.0, 3.0, 4.0}) {
    const double x = f.px(model_x(bg));
    const double y = f.py(model_y(bg));
    if (x < kLeft || x > kRight || y < kTop || y > kBottom) continue;
    append_format(
        out, "<line x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" stroke=\"#000000\"/>\n",
        x, y - 5, x, y + 5);
    const std::string label =
        bg == 1.75 ? "B/G = 1.75 (Pugh)" : "B/G = " + format_shortest(static_cast<float>(bg));
    append_format(out,
                  "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"10\" fill=\"#000000\">{}</text>\n",
                  x + 3, y + 16, label);
    taken.push_back({x + 3, y + 6, x + 3 + 5.6 * static_cast<double>(label.size()), y + 18});
  }
}

// The points, joined within each alloy; labels for the first ones, placed greedily at the
// first free place around each point.
void append_points(std::string& out, const Frame& f, std::span<const Series> series,
                   std::vector<Box>& taken) {
  for (const Series& s : series) {
    for (const Point& p : s.points)
      taken.push_back({f.px(p.x) - 4, f.py(p.y) - 4, f.px(p.x) + 4, f.py(p.y) + 4});
  }
  std::size_t labelled = 0;
  out.append("<g id=\"points\">\n");
  for (std::size_t i = 0; i < series.size(); ++i) {
    const Series& s = series[i];
    const char* colour = kPalette[i % kPalette.size()];
    if (s.joined && s.points.size() > 1) {
      out.append("<polyline fill=\"none\" stroke-width=\"1.2\" stroke=\"");
      out.append(colour);
      out.append("\" points=\"");
      for (const Point& p : s.points)
        append_format(out, "{:.2f},{:.2f} ", f.px(p.x), f.py(p.y));
      out.append("\"/>\n");
    }
    for (const Point& p : s.points) {
      append_format(out,
                    "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"4\" fill=\"{}\" data-formula=\"{}\" "
                    "data-c12-c11=\"{}\" data-c44-c11=\"{}\"/>\n",
                    f.px(p.x), f.py(p.y), colour, xml_escape(p.label), format_shortest(p.x),
                    format_shortest(p.y));
      if (labelled >= BlackmanPlot::kLabelledPoints) continue;
      ++labelled;
      const double w = kCharWidth * static_cast<double>(p.label.size());
      const double cx = f.px(p.x);
      const double cy = f.py(p.y);
      const std::array<Box, 6> candidates{Box{cx + 6, cy - 5, cx + 6 + w, cy + 6},
                                          Box{cx - 6 - w, cy - 5, cx - 6, cy + 6},
                                          Box{cx - w / 2, cy - 18, cx + w / 2, cy - 7},
                                          Box{cx - w / 2, cy + 7, cx + w / 2, cy + 18},
                                          Box{cx + 6, cy - 18, cx + 6 + w, cy - 7},
                                          Box{cx + 6, cy + 7, cx + 6 + w, cy + 18}};
      for (const Box& b : candidates) {
        const bool inside = b.x0 >= kLeft && b.x1 <= kWidth - 5 && b.y0 >= kTop && b.y1 <= kBottom;
        const bool free =
            std::none_of(taken.begin(), taken.end(), [&b](const Box& t) { return b.overlaps(t); });
        if (!inside || !free) continue;
        append_format(out,
                      "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" fill=\"{}\">{}</text>\n",
                      b.x0, b.y1 - 2, colour, xml_escape(p.label));
        taken.push_back(b);
        break;
      }
    }
  }
  out.append("</g>\n");
}

// The legend: the alloys' colours (the first twelve), then the lines.
void append_legend(std::string& out, std::span<const Series> series) {
  double y = kTop + 10;
  out.append("<g id=\"legend\" font-size=\"11\">\n");
  const std::size_t shown = std::min<std::size_t>(series.size(), 12);
  for (std::size_t i = 0; i < shown; ++i) {
    append_format(out, "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"4\" fill=\"{}\"/>\n", kRight + 22,
                  y - 4, kPalette[i % kPalette.size()]);
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
  out.append("</g>\n");
}

// The notes under the plot: the convention that placed the points, and the compositions that
// could not be drawn (in lines that fit the image, at most three).
void append_notes(std::string& out, std::span<const std::string> not_drawn,
                  std::size_t not_drawn_count) {
  append_format(
      out,
      "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" fill=\"#333333\">Points placed with this "
      "program's constants C11 = B + G, C12 = B - G/2, C44 = G (estimates from the "
      "constituents):</text>\n",
      kLeft, kBottom + 62);
  append_format(
      out,
      "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" fill=\"#333333\">every point lies on y = "
      "2(1 - x)/3, its place set by B/G alone.</text>\n",
      kLeft, kBottom + 76);
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
  std::vector<Box> taken;  // what a point's label must not cover
  append_reference_lines(out, frame, taken);
  append_points(out, frame, series_, taken);
  append_legend(out, series_);
  append_notes(out, not_drawn_, not_drawn_count_);
  out.append("</svg>\n");
  return out;
}

}  // namespace glassform
