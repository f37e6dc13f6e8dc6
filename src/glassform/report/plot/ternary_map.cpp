#include "glassform/report/plot/ternary_map.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "glassform/io/format.hpp"
#include "glassform/report/plot/blackman_plot.hpp"  // xml_escape

namespace glassform {

namespace {

// viridis, the perceptually uniform and colour-blind-safe map of S. van der Walt and N. Smith
// (CC0 1.0), as matplotlib lists it (lib/matplotlib/_cm_listed.py, _viridis_data): every eighth
// of its 256 entries and the last one, at their places 0, 8, ..., 248, 255, interpolated linearly
// in between (within about 1/255 of the full table).
struct Stop {
  double at;  // place in the 256-entry table
  double r;
  double g;
  double b;
};
constexpr std::array<Stop, 33> kViridis{{
    {0, 0.267004, 0.004874, 0.329415},   {8, 0.277018, 0.050344, 0.375715},
    {16, 0.282327, 0.094955, 0.417331},  {24, 0.282884, 0.135920, 0.453427},
    {32, 0.278826, 0.175490, 0.483397},  {40, 0.270595, 0.214069, 0.507052},
    {48, 0.258965, 0.251537, 0.524736},  {56, 0.244972, 0.287675, 0.537260},
    {64, 0.229739, 0.322361, 0.545706},  {72, 0.214298, 0.355619, 0.551184},
    {80, 0.199430, 0.387607, 0.554642},  {88, 0.185556, 0.418570, 0.556753},
    {96, 0.172719, 0.448791, 0.557885},  {104, 0.160665, 0.478540, 0.558115},
    {112, 0.149039, 0.508051, 0.557250}, {120, 0.137770, 0.537492, 0.554906},
    {128, 0.127568, 0.566949, 0.550556}, {136, 0.120565, 0.596422, 0.543611},
    {144, 0.120638, 0.625828, 0.533488}, {152, 0.132268, 0.655014, 0.519661},
    {160, 0.157851, 0.683765, 0.501686}, {168, 0.196571, 0.711827, 0.479221},
    {176, 0.246070, 0.738910, 0.452024}, {184, 0.304148, 0.764704, 0.419943},
    {192, 0.369214, 0.788888, 0.382914}, {200, 0.440137, 0.811138, 0.340967},
    {208, 0.515992, 0.831158, 0.294279}, {216, 0.595839, 0.848717, 0.243329},
    {224, 0.678489, 0.863742, 0.189503}, {232, 0.762373, 0.876424, 0.137064},
    {240, 0.845561, 0.887322, 0.099702}, {248, 0.926106, 0.897330, 0.104071},
    {255, 0.993248, 0.906157, 0.143936},
}};

constexpr double kSide = 440;  // the triangle's side, px
constexpr double kLeft = 70;
constexpr double kBase = 500;  // y of the bottom edge
constexpr double kGap = 110;   // between the triangles of a row of slices
const double kHeight = kSide * std::sqrt(3.0) / 2;

struct Point {
  double x;
  double y;
};

// A barycentric point in grid units: shares of the first two elements (the third is the rest).
struct Lattice {
  double a;
  double b;
};

// Keeps the part of a convex polygon where side(p) >= 0 (Sutherland-Hodgman).
template <typename Side>
std::vector<Lattice> clipped(const std::vector<Lattice>& polygon, Side side) {
  std::vector<Lattice> kept;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Lattice& p = polygon[i];
    const Lattice& q = polygon[(i + 1) % polygon.size()];
    const double fp = side(p);
    const double fq = side(q);
    if (fp >= 0) kept.push_back(p);
    if ((fp >= 0) != (fq >= 0)) {
      const double t = fp / (fp - fq);
      kept.push_back({p.a + t * (q.a - p.a), p.b + t * (q.b - p.b)});
    }
  }
  return kept;
}

// A point's share of element i, in grid units of a triangle of n.
double share(const Lattice& p, std::size_t i, double n) {
  return i == 0 ? p.a : (i == 1 ? p.b : n - p.a - p.b);
}

// The part of a polygon inside a panel's range, in grid units of n per side (the panel's units
// divided by `per`): the sides first, then each bound that cuts into the triangle.
std::vector<Lattice> inside_range(std::vector<Lattice> polygon, const TernaryPanel& panel,
                                  double per) {
  const double n = panel.units / per;
  for (std::size_t i = 0; i < 3; ++i)
    polygon = clipped(polygon, [i, n](const Lattice& p) { return share(p, i, n); });
  for (std::size_t i = 0; i < 3; ++i) {
    if (panel.lo[i] > 0) {
      const double lo = panel.lo[i] / per;
      polygon = clipped(polygon, [i, n, lo](const Lattice& p) { return share(p, i, n) - lo; });
    }
    if (panel.hi[i] < panel.units) {
      const double hi = panel.hi[i] / per;
      polygon = clipped(polygon, [i, n, hi](const Lattice& p) { return hi - share(p, i, n); });
    }
  }
  return polygon;
}

// The cell of the grid point (a, b): the hexagon of the centroids of its six small triangles,
// clipped to the drawn part of the triangle, so that the cells tile it.
std::vector<Lattice> cell(double a, double b, const TernaryPanel& panel, double per) {
  std::vector<Lattice> polygon;
  for (const auto& [da, db] : {std::pair{2.0, -1.0}, std::pair{1.0, 1.0}, std::pair{-1.0, 2.0},
                               std::pair{-2.0, 1.0}, std::pair{-1.0, -1.0}, std::pair{1.0, -2.0}}) {
    polygon.push_back({a + da / 3, b + db / 3});
  }
  return inside_range(std::move(polygon), panel, per);
}

bool is_zoomed(const TernaryPanel& panel) {
  for (std::size_t i = 0; i < 3; ++i) {
    if (panel.lo[i] > 0 || panel.hi[i] < panel.units) return true;
  }
  return false;
}

// Where a panel's grid points are drawn: the triangle at `left`, or a range of it enlarged to
// fill the triangle's place.
class PanelView {
 public:
  PanelView(const TernaryPanel& panel, double left)
      : n_(panel.units), left_(left), zoomed_(is_zoomed(panel)) {
    region_ = inside_range({{n_, 0}, {0, n_}, {0, 0}}, panel, 1);
    if (!zoomed_ || region_.empty()) return;
    double x0 = 1e300;
    double x1 = -1e300;
    double y0 = 1e300;
    double y1 = -1e300;
    for (const Lattice& p : region_) {
      const Point q = base(p.a, p.b);
      x0 = std::min(x0, q.x);
      x1 = std::max(x1, q.x);
      y0 = std::min(y0, q.y);
      y1 = std::max(y1, q.y);
    }
    const double w = std::max(x1 - x0, 1e-9);
    const double h = std::max(y1 - y0, 1e-9);
    scale_ = std::min(kSide / w, kHeight / h);
    dx_ = left + (kSide - scale_ * w) / 2 - scale_ * x0;
    dy_ = kBase - kHeight + (kHeight - scale_ * h) / 2 - scale_ * y0;
  }

  // The place of the grid point (a, b) of the panel's units.
  [[nodiscard]] Point at(double a, double b) const {
    const Point p = base(a, b);
    if (!zoomed_) return p;
    return {dx_ + scale_ * p.x, dy_ + scale_ * p.y};
  }
  // The place of a composition given by the three elements' shares, in any unit.
  [[nodiscard]] Point of(double a, double b, double c) const {
    const double sum = a + b + c;
    return at(a / sum * n_, b / sum * n_);
  }
  [[nodiscard]] bool zoomed() const { return zoomed_; }
  [[nodiscard]] const std::vector<Lattice>& region() const { return region_; }
  [[nodiscard]] double units() const { return n_; }

 private:
  [[nodiscard]] Point base(double a, double b) const {
    const double c = n_ - a - b;
    const Point top{left_ + kSide / 2, kBase - kHeight};
    const Point bottom_left{left_, kBase};
    const Point bottom_right{left_ + kSide, kBase};
    return {(a * top.x + b * bottom_left.x + c * bottom_right.x) / n_,
            (a * top.y + b * bottom_left.y + c * bottom_right.y) / n_};
  }

  double n_;
  double left_;
  bool zoomed_;
  std::vector<Lattice> region_;
  double scale_ = 1;
  double dx_ = 0;
  double dy_ = 0;
};

// Where the line share_i = u crosses a convex polygon: its two ends (the same point where it
// touches a corner), or nothing.
std::optional<std::pair<Lattice, Lattice>> crossing(const std::vector<Lattice>& polygon,
                                                    std::size_t i, double u, double n) {
  std::vector<Lattice> points;
  for (std::size_t j = 0; j < polygon.size(); ++j) {
    const Lattice& p = polygon[j];
    const Lattice& q = polygon[(j + 1) % polygon.size()];
    const double fp = share(p, i, n) - u;
    const double fq = share(q, i, n) - u;
    if (std::abs(fp) < 1e-9) {
      points.push_back(p);
    } else if ((fp < 0) != (fq < 0) && std::abs(fq) >= 1e-9) {
      const double t = fp / (fp - fq);
      points.push_back({p.a + t * (q.a - p.a), p.b + t * (q.b - p.b)});
    }
  }
  if (points.empty()) return std::nullopt;
  // The line runs along the next element's share: its ends are the least and the most of it
  // (where the element after that is most and least).
  const std::size_t along = (i + 1) % 3;
  const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                               [along, n](const Lattice& x, const Lattice& y) {
                                                 return share(x, along, n) < share(y, along, n);
                                               });
  return std::pair{*low, *high};
}

std::string number(double v) {
  return fmt::format("{:.1f}", v);
}

std::string value_text(double v) {
  return fmt::format("{}", static_cast<float>(v));
}

}  // namespace

std::string viridis(double t) {
  const double at = std::clamp(t, 0.0, 1.0) * 255;
  std::size_t i = 0;
  while (i + 2 < kViridis.size() && kViridis[i + 1].at <= at)
    ++i;
  const Stop& p = kViridis[i];
  const Stop& q = kViridis[i + 1];
  const double f = (at - p.at) / (q.at - p.at);
  const auto channel = [f](double x, double y) {
    return static_cast<int>(std::lround(255 * (x + f * (y - x))));
  };
  return fmt::format("#{:02x}{:02x}{:02x}", channel(p.r, q.r), channel(p.g, q.g),
                     channel(p.b, q.b));
}

namespace {

// The spacing of the drawn grid points: the finest that divides the panel's units and bounds
// and leaves at most 101 points across the range.
int stride_of(const TernaryPanel& panel) {
  int span = 0;
  int divisor = panel.units;
  for (std::size_t i = 0; i < 3; ++i) {
    span = std::max(span, panel.hi[i] - panel.lo[i]);
    divisor = std::gcd(divisor, std::gcd(panel.lo[i], panel.hi[i]));
  }
  for (int s = 1; s < divisor; ++s) {
    if (divisor % s == 0 && span / s <= 100) return s;
  }
  return std::max(divisor, 1);
}

bool inside(const TernaryPanel& panel, int a, int b) {
  const std::array<int, 3> x{a, b, panel.units - a - b};
  for (std::size_t i = 0; i < 3; ++i) {
    if (x[i] < panel.lo[i] || x[i] > panel.hi[i]) return false;
  }
  return true;
}

// Calls visit(a, b, index) for every grid point of the panel's range, in row order.
template <typename Visit>
void each_point(const TernaryPanel& panel, Visit&& visit) {
  std::size_t index = 0;
  for (int a = panel.units; a >= 0; --a) {
    for (int b = panel.units - a; b >= 0; --b) {
      if (inside(panel, a, b)) visit(a, b, index++);
    }
  }
}

std::string corner_name(const TernaryMap& map, const TernaryPanel& panel, std::size_t i) {
  return panel.corners[i].empty() ? map.corners[i] : panel.corners[i];
}

// The axes of a panel: dashed gridlines and ticks every `tick` at.% of the alloy, the outline,
// the corners' names and the axes' titles.
void draw_axes(std::string& out, const TernaryMap& map, const TernaryPanel& panel,
               const PanelView& view) {
  const double n = view.units();
  // Every 5 at.% where the bounds a range narrows span less than 30 at.%.
  double tick = 10;
  if (view.zoomed()) {
    double span = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      if (panel.lo[i] == 0 && panel.hi[i] == panel.units) continue;
      double low = 1e300;
      double high = -1e300;
      for (const Lattice& p : view.region()) {
        low = std::min(low, share(p, i, n));
        high = std::max(high, share(p, i, n));
      }
      span = std::max(span, (high - low) * panel.total / n);
    }
    if (span < 30 - 1e-9) tick = 5;
  }
  struct Label {
    Point at;
    double value;
  };
  std::array<std::vector<Label>, 3> labels;
  out.append(
      "<g stroke=\"#ffffff\" stroke-opacity=\"0.8\" stroke-dasharray=\"4 3\" stroke-width=\"0.8\" fill=\"none\">\n");
  for (std::size_t i = 0; i < 3; ++i) {
    for (int k = 1; k * tick <= panel.total + 1e-9; ++k) {
      const double value = k * tick;
      const double u = value * n / panel.total;
      if (u < panel.lo[i] - 1e-9 || u > panel.hi[i] + 1e-9) continue;
      const auto ends = crossing(view.region(), i, u, n);
      if (!ends) continue;
      const Point p = view.at(ends->first.a, ends->first.b);
      const Point q = view.at(ends->second.a, ends->second.b);
      if (u > panel.lo[i] + 1e-9 && u < panel.hi[i] - 1e-9 && u < n - 1e-9) {
        append_format(out, "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\"/>\n", number(p.x),
                      number(p.y), number(q.x), number(q.y));
      }
      // A tick stands where its line leaves the range towards the side where the next element
      // but one is least: in the whole triangle, the top element's on the left side, the
      // bottom-left's at the bottom, the bottom-right's on the right side.
      const Point end = q;
      labels[i].push_back({end, value});
    }
  }
  out.append("</g>\n");
  append_format(out, "<polygon points=\"");
  for (std::size_t k = 0; k < view.region().size(); ++k) {
    const Point p = view.at(view.region()[k].a, view.region()[k].b);
    append_format(out, "{}{},{}", k == 0 ? "" : " ", number(p.x), number(p.y));
  }
  out.append("\" fill=\"none\" stroke=\"black\" stroke-width=\"1.2\"/>\n");
  // In a zoomed range each tick names its element (Cu 45), for the sides of the range need not
  // be the triangle's.
  const auto tick_text = [&](std::size_t i, double value) {
    return view.zoomed() ? fmt::format("{} {}", xml_escape(map.corners[i]), value)
                         : fmt::format("{}", value);
  };
  constexpr std::array<const char*, 3> kTickAnchor{"end", "middle", "start"};
  const std::array<Point, 3> tick_offset{Point{-6, 3}, Point{0, 14}, Point{6, 3}};
  out.append("<g font-size=\"10\" fill=\"#333333\">\n");
  for (std::size_t i = 0; i < 3; ++i) {
    for (const Label& l : labels[i]) {
      append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"{}\">{}</text>\n",
                    number(l.at.x + tick_offset[i].x), number(l.at.y + tick_offset[i].y),
                    kTickAnchor[i], tick_text(i, l.value));
    }
  }
  out.append("</g>\n");
  // The corners' names, where the drawing holds the corner.
  const std::array<Point, 3> corners{view.at(n, 0), view.at(0, n), view.at(0, 0)};
  constexpr std::array<const char*, 3> kAnchor{"middle", "end", "start"};
  const std::array<Point, 3> offset{Point{0, -10}, Point{-22, 18}, Point{22, 18}};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::array<int, 3> x{i == 0 ? panel.units : 0, i == 1 ? panel.units : 0,
                               i == 2 ? panel.units : 0};
    bool held = true;
    for (std::size_t j = 0; j < 3; ++j)
      held = held && x[j] >= panel.lo[j] && x[j] <= panel.hi[j];
    if (!held) continue;
    // A slice's longer names (Cu90Ni10) stand under its bottom corners, clear of the next
    // slice's.
    const bool under = i > 0 && !panel.corners[i].empty();
    append_format(out,
                  "<text x=\"{}\" y=\"{}\" text-anchor=\"{}\" font-size=\"14\" "
                  "font-weight=\"bold\">{}</text>\n",
                  number(corners[i].x + (under ? 0 : offset[i].x)),
                  number(corners[i].y + (under ? 34 : offset[i].y)), under ? "middle" : kAnchor[i],
                  xml_escape(corner_name(map, panel, i)));
  }
  // The axes' titles, beside their sides (a zoomed range's ticks name their elements).
  if (view.zoomed()) return;
  const Point left_axis = view.of(0.5, 0.5, 0);
  const Point bottom_axis = view.of(0, 0.5, 0.5);
  const Point right_axis = view.of(0.5, 0, 0.5);
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" transform=\"rotate(-60 {} {})\">{} at.%</text>\n",
      number(left_axis.x - 34), number(left_axis.y), number(left_axis.x - 34), number(left_axis.y),
      xml_escape(map.corners[0]));
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\">{} at.%</text>\n",
                number(bottom_axis.x), number(bottom_axis.y + 32), xml_escape(map.corners[1]));
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" transform=\"rotate(60 {} {})\">{} at.%</text>\n",
      number(right_axis.x + 34), number(right_axis.y), number(right_axis.x + 34),
      number(right_axis.y), xml_escape(map.corners[2]));
}

// Known compositions: a glass a white circle, a non-glass a cross, an unlabelled one a grey
// diamond; each with its formula, label and source on hover.
void draw_known(std::string& out, const TernaryPanel& panel, const PanelView& view) {
  out.append("<g stroke=\"black\" stroke-width=\"1.2\">\n");
  for (const KnownMarker& k : panel.known) {
    const Point p = view.of(k.percent[0], k.percent[1], k.percent[2]);
    switch (k.kind) {
      case KnownMarker::Kind::kGlass:
        append_format(out, "<circle cx=\"{}\" cy=\"{}\" r=\"3.5\" fill=\"white\">", number(p.x),
                      number(p.y));
        append_format(out, "<title>{}</title></circle>\n", xml_escape(k.title));
        break;
      case KnownMarker::Kind::kCrystalline:
        append_format(
            out,
            "<path d=\"M{} {}l7 7m0 -7l-7 7\" stroke=\"black\" stroke-width=\"1.6\"><title>{}</title></path>\n",
            number(p.x - 3.5), number(p.y - 3.5), xml_escape(k.title));
        break;
      case KnownMarker::Kind::kUnlabelled:
        append_format(
            out, "<path d=\"M{} {}l4 4l-4 4l-4 -4z\" fill=\"#9e9e9e\"><title>{}</title></path>\n",
            number(p.x), number(p.y - 4), xml_escape(k.title));
        break;
    }
  }
  out.append("</g>\n");
}

}  // namespace

std::string ternary_map_svg(const TernaryMap& map) {
  const std::size_t panels = map.panels.size();
  const double width_of_panels =
      static_cast<double>(panels) * kSide + static_cast<double>(panels - 1) * kGap;
  // The colour scale, shared by every panel: 0 to 1 for a probability, otherwise the values'
  // range; yellow is better.
  double low = 0;
  double high = 1;
  bool any = false;
  std::size_t count = 0;
  std::size_t missing = 0;
  // The best cell: the first in panel and row order with the best value.
  std::optional<std::pair<std::size_t, std::size_t>> best;
  for (std::size_t p = 0; p < panels; ++p) {
    const std::vector<std::optional<double>>& values = map.panels[p].values;
    count += values.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::optional<double>& v = values[i];
      if (!v) {
        ++missing;
        continue;
      }
      if (!map.probability) {
        low = any ? std::min(low, *v) : *v;
        high = any ? std::max(high, *v) : *v;
      }
      any = true;
      if (map.better == Better::kNone) continue;
      const double current = best ? *map.panels[best->first].values[best->second] : 0;
      if (!best || (map.better == Better::kHigh ? *v > current : *v < current)) best = {p, i};
    }
  }
  const auto shade = [&](double v) {
    double t = high > low ? (v - low) / (high - low) : 0.5;
    if (map.better == Better::kLow) t = 1 - t;
    return viridis(t);
  };
  int coarsest = 1;
  for (const TernaryPanel& panel : map.panels)
    coarsest = std::max(coarsest, stride_of(panel));
  std::vector<std::string> caption = map.caption;
  if (best) {
    const TernaryPanel& panel = map.panels[best->first];
    caption.insert(caption.begin(), "Best cell: " + panel.titles[best->second] + ", " + map.field +
                                        " " + value_text(*panel.values[best->second]) + ".");
  }
  if (missing > 0) {
    caption.push_back(fmt::format("{} of {} compositions have no value (grey).", missing, count));
  }
  if (coarsest > 1) {
    caption.push_back(
        fmt::format("Cells drawn every {} grid steps; the table holds every one.", coarsest));
  }
  const double bar_x = kLeft + width_of_panels + 80;
  const double width = bar_x + 90;
  const double height = 570 + 16 * static_cast<double>(caption.size());

  std::string out;
  append_format(out,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{0}\" height=\"{1}\" "
                "viewBox=\"0 0 {0} {1}\" font-family=\"sans-serif\" font-size=\"12\">\n",
                width, height);
  out.append("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  append_format(out, "<text x=\"{}\" y=\"28\" text-anchor=\"middle\" font-size=\"15\">{}</text>\n",
                number(kLeft + width_of_panels / 2), xml_escape(map.title));
  for (std::size_t p = 0; p < panels; ++p) {
    const TernaryPanel& panel = map.panels[p];
    const double left = kLeft + static_cast<double>(p) * (kSide + kGap);
    const PanelView view(panel, left);
    if (!panel.heading.empty()) {
      append_format(out,
                    "<text x=\"{}\" y=\"60\" text-anchor=\"middle\" font-size=\"13\">{}</text>\n",
                    number(left + kSide / 2), xml_escape(panel.heading));
    }
    // The cells, in row order.
    const int stride = stride_of(panel);
    out.append("<g stroke-width=\"0.3\">\n");
    each_point(panel, [&](int a, int b, std::size_t i) {
      if (a % stride != 0 || b % stride != 0) return;
      const std::optional<double>& v = panel.values[i];
      const std::string colour = v ? shade(*v) : std::string("#bdbdbd");
      append_format(out, "<polygon fill=\"{}\" stroke=\"{}\" points=\"", colour, colour);
      const std::vector<Lattice> polygon =
          cell(static_cast<double>(a) / stride, static_cast<double>(b) / stride, panel, stride);
      for (std::size_t k = 0; k < polygon.size(); ++k) {
        const Point q = view.at(polygon[k].a * stride, polygon[k].b * stride);
        append_format(out, "{}{},{}", k == 0 ? "" : " ", number(q.x), number(q.y));
      }
      append_format(out, "\"><title>{}: {} {}</title></polygon>\n", xml_escape(panel.titles[i]),
                    xml_escape(map.field), v ? value_text(*v) : std::string("no value"));
    });
    out.append("</g>\n");
    draw_axes(out, map, panel, view);
    draw_known(out, panel, view);
    if (best && best->first == p) {
      each_point(panel, [&](int a, int b, std::size_t i) {
        if (i != best->second) return;
        const Point q = view.at(a, b);
        append_format(out,
                      "<g fill=\"none\"><circle cx=\"{0}\" cy=\"{1}\" r=\"7\" stroke=\"white\" "
                      "stroke-width=\"3\"/><circle cx=\"{0}\" cy=\"{1}\" r=\"7\" stroke=\"black\" "
                      "stroke-width=\"1.5\"/><title>best: {2}: {3} {4}</title></g>\n",
                      number(q.x), number(q.y), xml_escape(panel.titles[i]), xml_escape(map.field),
                      value_text(*panel.values[i]));
      });
    }
  }
  // The colour bar: yellow, the better end, at the top.
  constexpr double kBarTop = 110;
  constexpr double kBarHeight = 300;
  append_format(out, "<defs><linearGradient id=\"scale\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">");
  for (int k = 0; k <= 16; ++k) {
    append_format(out, "<stop offset=\"{}\" stop-color=\"{}\"/>", fmt::format("{:.4f}", k / 16.0),
                  viridis(k / 16.0));
  }
  out.append("</linearGradient></defs>\n");
  append_format(out,
                "<rect x=\"{}\" y=\"{}\" width=\"18\" height=\"{}\" fill=\"url(#scale)\" "
                "stroke=\"black\" stroke-width=\"0.8\"/>\n",
                bar_x, kBarTop, kBarHeight);
  const double at_top = map.better == Better::kLow ? low : high;
  const double at_bottom = map.better == Better::kLow ? high : low;
  for (int k = 0; k <= 4; ++k) {
    const double v = at_bottom + (at_top - at_bottom) * k / 4.0;
    const double y = kBarTop + kBarHeight * (1 - k / 4.0);
    append_format(out,
                  "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\" stroke=\"black\"/><text x=\"{}\" "
                  "y=\"{}\" font-size=\"10\">{}</text>\n",
                  bar_x + 18, number(y), bar_x + 22, number(y), bar_x + 25, number(y + 3),
                  any ? fmt::format("{:.3g}", v) : std::string("-"));
  }
  const std::string bar_label = map.unit.empty() ? map.field : map.field + " (" + map.unit + ")";
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" font-size=\"12\">{}</text>\n",
                bar_x + 9, kBarTop - 22, xml_escape(bar_label));
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" font-size=\"10\">{}</text>\n",
                bar_x + 9, kBarTop - 8,
                map.better == Better::kHigh  ? "higher is better"
                : map.better == Better::kLow ? "lower is better"
                                             : "no preferred direction");
  // The legend.
  const double legend = kBarTop + kBarHeight + 40;
  append_format(out,
                "<g font-size=\"10\"><circle cx=\"{0}\" cy=\"{1}\" r=\"3.5\" fill=\"white\" "
                "stroke=\"black\" stroke-width=\"1.2\"/><text x=\"{2}\" y=\"{3}\">glass</text>"
                "<path d=\"M{4} {5}l7 7m0 -7l-7 7\" stroke=\"black\" stroke-width=\"1.6\"/><text "
                "x=\"{2}\" y=\"{6}\">not a glass</text>",
                bar_x - 20, number(legend), bar_x - 10, number(legend + 3), bar_x - 23.5,
                number(legend + 14.5), number(legend + 21));
  bool unlabelled = false;
  for (const TernaryPanel& panel : map.panels) {
    unlabelled =
        unlabelled || std::any_of(panel.known.begin(), panel.known.end(), [](const KnownMarker& k) {
          return k.kind == KnownMarker::Kind::kUnlabelled;
        });
  }
  if (unlabelled) {
    append_format(out,
                  "<path d=\"M{} {}l4 4l-4 4l-4 -4z\" fill=\"#9e9e9e\" stroke=\"black\"/><text "
                  "x=\"{}\" y=\"{}\">no label</text>",
                  bar_x - 20, number(legend + 32), bar_x - 10, number(legend + 39));
  }
  if (best) {
    append_format(out,
                  "<circle cx=\"{}\" cy=\"{}\" r=\"6\" fill=\"none\" stroke=\"black\" "
                  "stroke-width=\"1.5\"/><text x=\"{}\" y=\"{}\">best cell</text>",
                  bar_x - 20, number(legend + 54), bar_x - 10, number(legend + 57));
  }
  out.append("</g>\n");
  // The caption.
  for (std::size_t i = 0; i < caption.size(); ++i) {
    append_format(out, "<text x=\"20\" y=\"{}\" font-size=\"10\" fill=\"#333333\">{}</text>\n",
                  560 + 16 * i, xml_escape(caption[i]));
  }
  out.append("</svg>\n");
  return out;
}

}  // namespace glassform
