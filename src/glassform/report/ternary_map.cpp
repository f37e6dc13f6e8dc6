#include "glassform/report/ternary_map.hpp"

#include <algorithm>
#include <cmath>

#include "glassform/io/format.hpp"
#include "glassform/report/blackman_plot.hpp"  // xml_escape

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
const double kHeight = kSide * std::sqrt(3.0) / 2;

struct Point {
  double x;
  double y;
};

// The place of a composition given as fractions of the top, bottom-left and bottom-right
// elements.
Point place(double a, double b, double c) {
  const Point top{kLeft + kSide / 2, kBase - kHeight};
  const Point left{kLeft, kBase};
  const Point right{kLeft + kSide, kBase};
  const double sum = a + b + c;
  return {(a * top.x + b * left.x + c * right.x) / sum,
          (a * top.y + b * left.y + c * right.y) / sum};
}

// A barycentric point in grid units: shares of the first two elements (the third is the rest).
struct Lattice {
  double a;
  double b;
};

// The cell of the grid point (a, b): the hexagon of the centroids of its six small triangles,
// clipped to the big triangle (a >= 0, b >= 0, a + b <= n), so that the cells tile it.
std::vector<Lattice> cell(double a, double b, double n) {
  std::vector<Lattice> polygon;
  for (const auto& [da, db] : {std::pair{2.0, -1.0}, std::pair{1.0, 1.0}, std::pair{-1.0, 2.0},
                               std::pair{-2.0, 1.0}, std::pair{-1.0, -1.0}, std::pair{1.0, -2.0}}) {
    polygon.push_back({a + da / 3, b + db / 3});
  }
  // Sutherland-Hodgman against the three sides.
  const std::array<double (*)(const Lattice&, double), 3> inside{
      [](const Lattice& p, double) { return p.a; }, [](const Lattice& p, double) { return p.b; },
      [](const Lattice& p, double units) { return units - p.a - p.b; }};
  for (const auto& side : inside) {
    std::vector<Lattice> kept;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const Lattice& p = polygon[i];
      const Lattice& q = polygon[(i + 1) % polygon.size()];
      const double fp = side(p, n);
      const double fq = side(q, n);
      if (fp >= 0) kept.push_back(p);
      if ((fp >= 0) != (fq >= 0)) {
        const double t = fp / (fp - fq);
        kept.push_back({p.a + t * (q.a - p.a), p.b + t * (q.b - p.b)});
      }
    }
    polygon = std::move(kept);
  }
  return polygon;
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

std::string ternary_map_svg(const TernaryMap& map) {
  const int n = map.units;
  // The drawn grid: every `stride`-th point, at most 101 a side.
  int stride = 1;
  while (n / stride > 100 || n % stride != 0)
    ++stride;
  // The colour scale: 0 to 1 for a probability, otherwise the values' range; yellow is better.
  double low = 0;
  double high = 1;
  bool any = false;
  for (const std::optional<double>& v : map.values) {
    if (!v) continue;
    if (!map.probability) {
      low = any ? std::min(low, *v) : *v;
      high = any ? std::max(high, *v) : *v;
    }
    any = true;
  }
  const auto shade = [&](double v) {
    double t = high > low ? (v - low) / (high - low) : 0.5;
    if (map.better == Better::kLow) t = 1 - t;
    return viridis(t);
  };
  // The best cell: the first in row order with the best value.
  std::optional<std::size_t> best;
  if (map.better != Better::kNone) {
    for (std::size_t i = 0; i < map.values.size(); ++i) {
      if (!map.values[i]) continue;
      const bool better =
          !best || (map.better == Better::kHigh ? *map.values[i] > *map.values[*best]
                                                : *map.values[i] < *map.values[*best]);
      if (better) best = i;
    }
  }

  std::string out;
  append_format(out,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"680\" height=\"{}\" "
                "viewBox=\"0 0 680 {}\" font-family=\"sans-serif\" font-size=\"12\">\n",
                580 + 16 * map.caption.size(), 580 + 16 * map.caption.size());
  out.append("<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n");
  append_format(
      out,
      "<text x=\"{}\" y=\"28\" text-anchor=\"middle\" font-size=\"15\">{} over {}-{}-{}</text>\n",
      number(kLeft + kSide / 2), xml_escape(map.field), xml_escape(map.corners[0]),
      xml_escape(map.corners[1]), xml_escape(map.corners[2]));
  // The cells, in row order.
  out.append("<g stroke-width=\"0.3\">\n");
  std::size_t missing = 0;
  std::size_t row = 0;
  for (int a = n; a >= 0; --a) {
    for (int b = n - a; b >= 0; --b, ++row) {
      const std::optional<double>& v = map.values[row];
      if (!v) ++missing;
      if (a % stride != 0 || b % stride != 0) continue;
      const std::string colour = v ? shade(*v) : std::string("#bdbdbd");
      append_format(out, "<polygon fill=\"{}\" stroke=\"{}\" points=\"", colour, colour);
      const std::vector<Lattice> polygon =
          cell(static_cast<double>(a) / stride, static_cast<double>(b) / stride,
               static_cast<double>(n) / stride);
      for (std::size_t k = 0; k < polygon.size(); ++k) {
        const double m = static_cast<double>(n) / stride;
        const Point p = place(polygon[k].a, polygon[k].b, m - polygon[k].a - polygon[k].b);
        append_format(out, "{}{},{}", k == 0 ? "" : " ", number(p.x), number(p.y));
      }
      append_format(out, "\"><title>{}: {} {}</title></polygon>\n", xml_escape(map.titles[row]),
                    xml_escape(map.field), v ? value_text(*v) : std::string("no value"));
    }
  }
  out.append("</g>\n");
  // Gridlines and ticks every 10 %.
  out.append(
      "<g stroke=\"#ffffff\" stroke-opacity=\"0.8\" stroke-dasharray=\"4 3\" stroke-width=\"0.8\" fill=\"none\">\n");
  for (int k = 1; k < 10; ++k) {
    const double f = k / 10.0;
    for (const auto& [p, q] : {std::pair{place(f, 1 - f, 0), place(f, 0, 1 - f)},
                               std::pair{place(1 - f, f, 0), place(0, f, 1 - f)},
                               std::pair{place(1 - f, 0, f), place(0, 1 - f, f)}}) {
      append_format(out, "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\"/>\n", number(p.x),
                    number(p.y), number(q.x), number(q.y));
    }
  }
  out.append("</g>\n");
  const Point top = place(1, 0, 0);
  const Point left = place(0, 1, 0);
  const Point right = place(0, 0, 1);
  append_format(out,
                "<polygon points=\"{},{} {},{} {},{}\" fill=\"none\" stroke=\"black\" "
                "stroke-width=\"1.2\"/>\n",
                number(top.x), number(top.y), number(left.x), number(left.y), number(right.x),
                number(right.y));
  out.append("<g font-size=\"10\" fill=\"#333333\">\n");
  for (int k = 1; k <= 10; ++k) {  // 0 stands at a corner, beside the other axis's 100
    const double f = k / 10.0;
    const Point pa = place(f, 1 - f, 0);  // the top element's share, on the left side
    const Point pb = place(0, f, 1 - f);  // the bottom-left element's, on the bottom
    const Point pc = place(1 - f, 0, f);  // the bottom-right element's, on the right side
    append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"end\">{}</text>\n", number(pa.x - 6),
                  number(pa.y + 3), 10 * k);
    append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\">{}</text>\n", number(pb.x),
                  number(pb.y + 14), 10 * k);
    append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"start\">{}</text>\n",
                  number(pc.x + 6), number(pc.y + 3), 10 * k);
  }
  out.append("</g>\n");
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" font-size=\"14\" font-weight=\"bold\">{}</text>\n",
      number(top.x), number(top.y - 10), xml_escape(map.corners[0]));
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"end\" font-size=\"14\" font-weight=\"bold\">{}</text>\n",
      number(left.x - 22), number(left.y + 18), xml_escape(map.corners[1]));
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"start\" font-size=\"14\" font-weight=\"bold\">{}</text>\n",
      number(right.x + 22), number(right.y + 18), xml_escape(map.corners[2]));
  const Point left_axis = place(0.5, 0.5, 0);
  const Point right_axis = place(0.5, 0, 0.5);
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" transform=\"rotate(-60 {} {})\">{} at.%</text>\n",
      number(left_axis.x - 34), number(left_axis.y), number(left_axis.x - 34), number(left_axis.y),
      xml_escape(map.corners[0]));
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\">{} at.%</text>\n",
                number(kLeft + kSide / 2), number(kBase + 32), xml_escape(map.corners[1]));
  append_format(
      out,
      "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" transform=\"rotate(60 {} {})\">{} at.%</text>\n",
      number(right_axis.x + 34), number(right_axis.y), number(right_axis.x + 34),
      number(right_axis.y), xml_escape(map.corners[2]));
  // Known compositions: a glass a filled circle, a non-glass a cross, an unlabelled one a
  // diamond; each with its formula, label and source on hover.
  out.append("<g stroke=\"black\" stroke-width=\"1.2\">\n");
  for (const KnownMarker& k : map.known) {
    const Point p = place(k.percent[0], k.percent[1], k.percent[2]);
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
  if (best) {
    // The grid point of the best row.
    std::size_t i = 0;
    for (int a = n; a >= 0; --a) {
      for (int b = n - a; b >= 0; --b, ++i) {
        if (i != *best) continue;
        const Point p = place(a, b, n - a - b);
        append_format(out,
                      "<g fill=\"none\"><circle cx=\"{0}\" cy=\"{1}\" r=\"7\" stroke=\"white\" "
                      "stroke-width=\"3\"/><circle cx=\"{0}\" cy=\"{1}\" r=\"7\" stroke=\"black\" "
                      "stroke-width=\"1.5\"/><title>best: {2}: {3} {4}</title></g>\n",
                      number(p.x), number(p.y), xml_escape(map.titles[i]), xml_escape(map.field),
                      value_text(*map.values[i]));
      }
    }
  }
  // The colour bar: yellow, the better end, at the top.
  constexpr double kBarX = 590;
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
                kBarX, kBarTop, kBarHeight);
  const double at_top = map.better == Better::kLow ? low : high;
  const double at_bottom = map.better == Better::kLow ? high : low;
  for (int k = 0; k <= 4; ++k) {
    const double v = at_bottom + (at_top - at_bottom) * k / 4.0;
    const double y = kBarTop + kBarHeight * (1 - k / 4.0);
    append_format(out,
                  "<line x1=\"{}\" y1=\"{}\" x2=\"{}\" y2=\"{}\" stroke=\"black\"/><text x=\"{}\" "
                  "y=\"{}\" font-size=\"10\">{}</text>\n",
                  kBarX + 18, number(y), kBarX + 22, number(y), kBarX + 25, number(y + 3),
                  any ? fmt::format("{:.3g}", v) : std::string("-"));
  }
  const std::string bar_label = map.unit.empty() ? map.field : map.field + " (" + map.unit + ")";
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" font-size=\"12\">{}</text>\n",
                kBarX + 9, kBarTop - 22, xml_escape(bar_label));
  append_format(out, "<text x=\"{}\" y=\"{}\" text-anchor=\"middle\" font-size=\"10\">{}</text>\n",
                kBarX + 9, kBarTop - 8,
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
                kBarX - 20, number(legend), kBarX - 10, number(legend + 3), kBarX - 23.5,
                number(legend + 14.5), number(legend + 21));
  const bool unlabelled = std::any_of(map.known.begin(), map.known.end(), [](const KnownMarker& k) {
    return k.kind == KnownMarker::Kind::kUnlabelled;
  });
  if (unlabelled) {
    append_format(out,
                  "<path d=\"M{} {}l4 4l-4 4l-4 -4z\" fill=\"#9e9e9e\" stroke=\"black\"/><text "
                  "x=\"{}\" y=\"{}\">no label</text>",
                  kBarX - 20, number(legend + 32), kBarX - 10, number(legend + 39));
  }
  if (best) {
    append_format(out,
                  "<circle cx=\"{}\" cy=\"{}\" r=\"6\" fill=\"none\" stroke=\"black\" "
                  "stroke-width=\"1.5\"/><text x=\"{}\" y=\"{}\">best cell</text>",
                  kBarX - 20, number(legend + 54), kBarX - 10, number(legend + 57));
  }
  out.append("</g>\n");
  // The caption.
  std::vector<std::string> caption = map.caption;
  if (best) {
    caption.insert(caption.begin(), "Best cell: " + map.titles[*best] + ", " + map.field + " " +
                                        value_text(*map.values[*best]) + ".");
  }
  if (missing > 0) {
    caption.push_back(
        fmt::format("{} of {} compositions have no value (grey).", missing, map.values.size()));
  }
  if (stride > 1) {
    caption.push_back(
        fmt::format("Cells drawn every {} grid steps; the table holds every one.", stride));
  }
  for (std::size_t i = 0; i < caption.size(); ++i) {
    append_format(out, "<text x=\"20\" y=\"{}\" font-size=\"10\" fill=\"#333333\">{}</text>\n",
                  560 + 16 * i, xml_escape(caption[i]));
  }
  out.append("</svg>\n");
  return out;
}

}  // namespace glassform
