#include "glassform/report/plot/xy_chart.hpp"

#include <fmt/format.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/table/number_format.hpp"

namespace glassform {

namespace {

constexpr double kWidth = 640;
constexpr double kLeft = 80;
constexpr double kRight = 610;
constexpr double kTop = 50;
constexpr double kBottom = 400;
constexpr double kNoteLine = 18;

// Colour-blind-safe colours (Okabe and Ito), one per series in turn.
constexpr std::array<const char*, 7> kColours{"#0072B2", "#D55E00", "#009E73", "#CC79A7",
                                              "#E69F00", "#56B4E9", "#000000"};

// An axis as drawn: its range, where a value lies on it, and its ticks.
struct Scale {
  double min;
  double max;
  bool log;
  std::vector<double> ticks;
  int decimals;  // of a linear axis's tick labels

  [[nodiscard]] double t(double v) const { return log ? std::log10(v) : v; }
  // Where a value lies, from 0 at the minimum to 1 at the maximum.
  [[nodiscard]] double at(double v) const { return (t(v) - t(min)) / (t(max) - t(min)); }
  [[nodiscard]] std::string label(double v) const {
    return log ? fmt::format("{:g}", v) : fmt::format("{:.{}f}", v, decimals);
  }
};

bool placeable(const ChartAxis& axis, double v) {
  return std::isfinite(v) && (!axis.log || v > 0);
}

Scale linear_scale(const ChartAxis& axis, double low, double high) {
  if (!(low <= high)) {
    low = 0;
    high = 1;
  }
  const double span = std::max(high - low, 1e-9 * std::max(1.0, std::abs(high)));
  const double min = axis.min.value_or(low - span * 0.05);
  const double max = std::max(axis.max.value_or(high + span * 0.05), min + span * 1e-6);
  const double raw = (max - min) / 6;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    step = m * magnitude;
    if (step >= raw) break;
  }
  Scale scale{axis.min ? min : std::floor(min / step) * step,
              axis.max ? max : std::ceil(max / step) * step,
              false,
              {},
              0};
  for (double k = std::ceil(scale.min / step - 1e-9); k * step <= scale.max + step * 1e-9; ++k)
    scale.ticks.push_back(k * step + 0.0);  // + 0.0: no tick labelled -0
  const double digits = -std::floor(std::log10(step) + 1e-9);
  scale.decimals = static_cast<int>(std::max(0.0, digits)) + (step / magnitude == 2.5 ? 1 : 0);
  return scale;
}

Scale log_scale(const ChartAxis& axis, double low, double high) {
  if (!(low <= high)) {
    low = 1;
    high = 10;
  }
  // Whole decades, with room for a point on a decade's line.
  const double min = axis.min.value_or(std::pow(10.0, std::floor(std::log10(low) - 0.05)));
  double max = axis.max.value_or(std::pow(10.0, std::ceil(std::log10(high) + 0.05)));
  if (!(max > min)) max = min * 10;
  Scale scale{min, max, true, {}, 0};
  const double decades = std::log10(max / min);
  for (int k = static_cast<int>(std::floor(std::log10(min))); k <= std::ceil(std::log10(max));
       ++k) {
    for (const double m : {1.0, 2.0, 5.0}) {
      if (m != 1.0 && decades > 3) continue;
      const double v = m * std::pow(10.0, k);
      if (v >= min * (1 - 1e-9) && v <= max * (1 + 1e-9)) scale.ticks.push_back(v);
    }
  }
  return scale;
}

Scale fit_scale(const ChartAxis& axis, const std::vector<double>& values) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (const double v : values) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  return axis.log ? log_scale(axis, low, high) : linear_scale(axis, low, high);
}

}  // namespace

std::variant<XyChart, std::string> chart_from_json(std::string_view text) {
  using nlohmann::json;
  const json spec = json::parse(text, nullptr, false);
  if (spec.is_discarded() || !spec.is_object())
    return std::string("the chart is not a JSON object");
  XyChart chart;
  const auto text_of = [](const json& j, const char* key, std::string& out) -> bool {
    if (!j.contains(key)) return true;
    if (!j[key].is_string()) return false;
    out = j[key].get<std::string>();
    return true;
  };
  if (!text_of(spec, "title", chart.title)) return std::string("\"title\" is not a text");
  for (const auto& [key, axis] : {std::pair{"x", &chart.x}, std::pair{"y", &chart.y}}) {
    if (!spec.contains(key)) continue;
    const json& a = spec[key];
    if (!a.is_object()) return fmt::format("\"{}\" is not an object", key);
    if (!text_of(a, "label", axis->label)) return fmt::format("\"{}.label\" is not a text", key);
    if (a.contains("log")) {
      if (!a["log"].is_boolean()) return fmt::format("\"{}.log\" is not true or false", key);
      axis->log = a["log"].get<bool>();
    }
    for (const auto& [bound, value] :
         {std::pair{"min", &axis->min}, std::pair{"max", &axis->max}}) {
      if (!a.contains(bound)) continue;
      if (!a[bound].is_number() || (axis->log && !(a[bound].get<double>() > 0))) {
        return fmt::format("\"{}.{}\" is not a number{}", key, bound,
                           axis->log ? " above 0 on a logarithmic axis" : "");
      }
      *value = a[bound].get<double>();
    }
    if (axis->min && axis->max && !(*axis->min < *axis->max)) {
      return fmt::format("\"{}.min\" is not below \"{}.max\"", key, key);
    }
  }
  if (spec.contains("diagonal")) {
    if (!spec["diagonal"].is_boolean()) return std::string("\"diagonal\" is not true or false");
    chart.diagonal = spec["diagonal"].get<bool>();
  }
  if (spec.contains("notes")) {
    if (!spec["notes"].is_array()) return std::string("\"notes\" is not a list of texts");
    for (const json& n : spec["notes"]) {
      if (!n.is_string()) return std::string("\"notes\" is not a list of texts");
      chart.notes.push_back(n.get<std::string>());
    }
  }
  if (!spec.contains("series") || !spec["series"].is_array())
    return std::string("\"series\" is missing or not a list");
  for (const json& s : spec["series"]) {
    ChartSeries series;
    if (!s.is_object() || !text_of(s, "name", series.name))
      return std::string("a series is not an object with a text \"name\"");
    if (s.contains("joined")) {
      if (!s["joined"].is_boolean()) return std::string("\"joined\" is not true or false");
      series.joined = s["joined"].get<bool>();
    }
    if (!s.contains("points") || !s["points"].is_array())
      return fmt::format("the series {} has no list of points", quoted_text(series.name));
    for (const json& p : s["points"]) {
      const bool numbers = p.is_array() && std::all_of(p.begin(), p.end(),
                                                       [](const json& v) { return v.is_number(); });
      if (!numbers || (p.size() != 2 && p.size() != 4)) {
        return fmt::format("a point of {} is not [x, y] or [x, y, low, high]",
                           quoted_text(series.name));
      }
      ChartPoint point{p[0].get<double>(), p[1].get<double>(), {}, {}};
      if (p.size() == 4) {
        point.low = p[2].get<double>();
        point.high = p[3].get<double>();
      }
      series.points.push_back(point);
    }
    chart.series.push_back(std::move(series));
  }
  return chart;
}

std::string chart_svg(const XyChart& chart) {
  std::vector<double> xs;
  std::vector<double> ys;
  std::size_t unplaced = 0;
  for (const ChartSeries& s : chart.series) {
    for (const ChartPoint& p : s.points) {
      if (!placeable(chart.x, p.x) || !placeable(chart.y, p.y)) {
        ++unplaced;
        continue;
      }
      xs.push_back(p.x);
      ys.push_back(p.y);
      for (const std::optional<double>& bar : {p.low, p.high}) {
        if (bar && placeable(chart.y, *bar)) ys.push_back(*bar);
      }
    }
  }
  const Scale sx = fit_scale(chart.x, xs);
  const Scale sy = fit_scale(chart.y, ys);
  const auto px = [&sx](double x) { return kLeft + sx.at(x) * (kRight - kLeft); };
  const auto py = [&sy](double y) { return kBottom - sy.at(y) * (kBottom - kTop); };

  std::vector<std::string> notes = chart.notes;
  if (unplaced > 0) {
    notes.push_back(fmt::format("{} point{} not drawn: zero or below on a logarithmic axis",
                                unplaced, unplaced == 1 ? "" : "s"));
  }
  const double height = kBottom + 60 + kNoteLine * static_cast<double>(notes.size());
  std::string out;
  append_format(out,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{:.0f}\" height=\"{:.0f}\" "
                "viewBox=\"0 0 {:.0f} {:.0f}\" font-family=\"DejaVu Sans, Arial, sans-serif\" "
                "data-points=\"{}\" data-not-drawn=\"{}\">\n",
                kWidth, height, kWidth, height, xs.size(), unplaced);
  out.append("<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
  append_format(out,
                "<clipPath id=\"chart-area\"><rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" "
                "height=\"{:.2f}\"/></clipPath>\n",
                kLeft, kTop, kRight - kLeft, kBottom - kTop);
  append_format(out,
                "<text x=\"{:.0f}\" y=\"30\" font-size=\"16\" text-anchor=\"middle\">{}</text>\n",
                (kLeft + kRight) / 2, xml_escape(chart.title));

  // Gridlines, ticks and their labels.
  out.append("<g stroke=\"#e6e6e6\" stroke-width=\"1\">\n");
  for (const double x : sx.ticks) {
    append_format(out, "<line x1=\"{0:.2f}\" y1=\"{1:.2f}\" x2=\"{0:.2f}\" y2=\"{2:.2f}\"/>\n",
                  px(x), kTop, kBottom);
  }
  for (const double y : sy.ticks) {
    append_format(out, "<line x1=\"{1:.2f}\" y1=\"{0:.2f}\" x2=\"{2:.2f}\" y2=\"{0:.2f}\"/>\n",
                  py(y), kLeft, kRight);
  }
  out.append("</g>\n<g font-size=\"11\" fill=\"#333333\">\n");
  for (const double x : sx.ticks) {
    append_format(out,
                  "<line x1=\"{0:.2f}\" y1=\"{1:.2f}\" x2=\"{0:.2f}\" y2=\"{2:.2f}\" "
                  "stroke=\"#333333\"/>\n<text x=\"{0:.2f}\" y=\"{3:.2f}\" "
                  "text-anchor=\"middle\">{4}</text>\n",
                  px(x), kBottom, kBottom + 5, kBottom + 18, sx.label(x));
  }
  for (const double y : sy.ticks) {
    append_format(out,
                  "<line x1=\"{0:.2f}\" y1=\"{1:.2f}\" x2=\"{2:.2f}\" y2=\"{1:.2f}\" "
                  "stroke=\"#333333\"/>\n<text x=\"{3:.2f}\" y=\"{4:.2f}\" "
                  "text-anchor=\"end\">{5}</text>\n",
                  kLeft - 5, py(y), kLeft, kLeft - 8, py(y) + 4, sy.label(y));
  }
  out.append("</g>\n");
  append_format(out,
                "<rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" height=\"{:.2f}\" fill=\"none\" "
                "stroke=\"#333333\"/>\n",
                kLeft, kTop, kRight - kLeft, kBottom - kTop);
  append_format(
      out, "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"13\" text-anchor=\"middle\">{}</text>\n",
      (kLeft + kRight) / 2, kBottom + 40, xml_escape(chart.x.label));
  append_format(out,
                "<text x=\"20\" y=\"{0:.2f}\" font-size=\"13\" text-anchor=\"middle\" "
                "transform=\"rotate(-90 20 {0:.2f})\">{1}</text>\n",
                (kTop + kBottom) / 2, xml_escape(chart.y.label));

  out.append("<g clip-path=\"url(#chart-area)\">\n");
  if (chart.diagonal) {
    // y = x from the larger of the two minima to the smaller of the maxima, as a polyline so
    // that it stays straight on mixed axes too.
    const double from = std::max(sx.min, sy.min);
    const double to = std::min(sx.max, sy.max);
    if (from < to) {
      out.append(
          "<polyline id=\"diagonal\" fill=\"none\" stroke=\"#777777\" "
          "stroke-dasharray=\"6 4\" points=\"");
      constexpr int kSteps = 50;
      for (int i = 0; i <= kSteps; ++i) {
        const double f = static_cast<double>(i) / kSteps;
        const double v = sx.log ? from * std::pow(to / from, f) : from + (to - from) * f;
        append_format(out, "{}{:.2f},{:.2f}", i == 0 ? "" : " ", px(v), py(v));
      }
      out.append("\"/>\n");
    }
  }
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    const ChartSeries& s = chart.series[i];
    const char* colour = kColours[i % kColours.size()];
    append_format(out, "<g class=\"series\" data-name=\"{}\" fill=\"{}\" stroke=\"{}\">\n",
                  xml_escape(s.name), colour, colour);
    std::string line;
    for (const ChartPoint& p : s.points) {
      if (!placeable(chart.x, p.x) || !placeable(chart.y, p.y)) continue;
      if (p.low && p.high && placeable(chart.y, *p.low) && placeable(chart.y, *p.high)) {
        append_format(out,
                      "<path d=\"M{0:.2f},{1:.2f}V{2:.2f}M{3:.2f},{1:.2f}H{4:.2f}M{3:.2f},{2:.2f}"
                      "H{4:.2f}\" fill=\"none\" stroke-width=\"1.2\"/>\n",
                      px(p.x), py(*p.low), py(*p.high), px(p.x) - 3, px(p.x) + 3);
      }
      append_format(out,
                    "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"3.5\" stroke=\"#ffffff\" "
                    "stroke-width=\"0.8\"/>\n",
                    px(p.x), py(p.y));
      append_format(line, "{}{:.2f},{:.2f}", line.empty() ? "" : " ", px(p.x), py(p.y));
    }
    if (s.joined && !line.empty()) {
      append_format(out, "<polyline fill=\"none\" stroke-width=\"1.5\" points=\"{}\"/>\n", line);
    }
    out.append("</g>\n");
  }
  out.append("</g>\n");

  // The legend, in the upper left corner of the plot area.
  std::size_t row = 0;
  for (std::size_t i = 0; i < chart.series.size(); ++i) {
    if (chart.series[i].name.empty()) continue;
    const double y = kTop + 18 + 18 * static_cast<double>(row++);
    append_format(out,
                  "<circle cx=\"{:.2f}\" cy=\"{:.2f}\" r=\"4\" fill=\"{}\"/>\n<text x=\"{:.2f}\" "
                  "y=\"{:.2f}\" font-size=\"12\">{}</text>\n",
                  kLeft + 14, y - 4, kColours[i % kColours.size()], kLeft + 24, y,
                  xml_escape(chart.series[i].name));
  }
  for (std::size_t i = 0; i < notes.size(); ++i) {
    append_format(out, "<text x=\"20\" y=\"{:.2f}\" font-size=\"11\" fill=\"#333333\">{}</text>\n",
                  kBottom + 66 + kNoteLine * static_cast<double>(i), xml_escape(notes[i]));
  }
  out.append("</svg>\n");
  return out;
}

}  // namespace glassform
