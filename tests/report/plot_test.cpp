#include "glassform/report/plot/blackman_plot.hpp"
#include "glassform/report/plot/xy_chart.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

namespace glassform {
namespace {

const Element& el(std::string_view symbol) {
  return *find_element(symbol);
}

std::size_t count(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(BlackmanPlot, EscapesTextForXml) {
  EXPECT_EQ(xml_escape("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
}

TEST(BlackmanPlot, JoinsATernarysCompositionsAndListsWhatCannotBeDrawn) {
  BlackmanPlot plot;
  plot.add_alloy(*compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15));
  plot.add_alloy(*compute_binary(el("Zr"), el("Mn"), 11));  // no shear modulus
  const std::string svg = plot.svg();
  EXPECT_EQ(plot.points(), 3U);
  EXPECT_EQ(count(svg, "data-formula="), 3U);
  EXPECT_EQ(count(svg, "<polyline"), 1U);
  EXPECT_NE(svg.find("data-formula=\"Cu83.3Zr8.4Al8.4\""), std::string::npos);
  EXPECT_NE(svg.find("not computable: Zr83.1Mn16.9"), std::string::npos);
}

// Series past the twelve colours take other shapes: 48 alloys are told apart.
TEST(BlackmanPlot, MarkersCombineColoursAndShapes) {
  BlackmanPlot plot;
  const std::vector<const Element*> all = all_elements();
  std::size_t added = 0;
  for (const Element* e : all) {
    if (added == 48) break;
    const std::optional<AlloyResult> a = compute_binary(el("Zr"), *e, 10);
    if (a && a->compositions()[0].elastic.constants) {
      plot.add_row(*a, a->compositions()[0]);
      ++added;
    }
  }
  ASSERT_EQ(added, 48U);
  // Each point's shape (its element and its path's corners) and fill: 48 different markers.
  std::set<std::string> markers;
  std::istringstream lines(plot.svg());
  for (std::string line; std::getline(lines, line);) {
    if (line.find("data-formula") == std::string::npos) continue;
    const std::size_t fill = line.find("fill=");
    const std::string path = line.substr(0, line.find("data-"));
    const auto corners = std::count(path.begin(), path.end(), 'L');
    markers.insert(line.substr(0, line.find(' ')) + std::to_string(corners) +
                   line.substr(fill, 15));
  }
  EXPECT_EQ(markers.size(), 48U);
}

TEST(BlackmanPlot, HoldsAtMostAThousandPointsAndLabelsThirty) {
  BlackmanPlot plot;
  const AlloyResult ternary = *compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15);
  std::size_t added = 0;
  while (plot.add_alloy(ternary))
    added += 3;
  EXPECT_TRUE(plot.truncated());
  EXPECT_EQ(plot.points(), BlackmanPlot::kMaxPoints);
  const std::string svg = plot.svg();
  EXPECT_EQ(count(svg, "data-formula="), BlackmanPlot::kMaxPoints);
  // Labels name the gamma sites of a ternary's points.
  EXPECT_LE(count(svg, "class=\"label\""), BlackmanPlot::kLabelledPoints);
  EXPECT_NE(svg.find(">Cu83.3Zr8.4Al8.4 empty</text>"), std::string::npos);
}

// The x-y chart's description: each mistake named; a logarithmic axis leaves out what it cannot
// place and says so; ticks never read -0.
TEST(XyChart, ReadsItsDescriptionAndCountsWhatItCannotDraw) {
  for (const auto& [text, message] : {
           std::pair{"[1, 2]", "the chart is not a JSON object"},
           std::pair{"{}", "\"series\" is missing or not a list"},
           std::pair{R"({"series": [{"name": "a", "points": [[1]]}]})",
                     "a point of \"a\" is not [x, y] or [x, y, low, high]"},
           std::pair{R"({"x": {"log": true, "min": 0}, "series": []})",
                     "\"x.min\" is not a number above 0 on a logarithmic axis"},
           std::pair{R"({"y": {"min": 1, "max": 1}, "series": []})",
                     "\"y.min\" is not below \"y.max\""},
       }) {
    const auto chart = chart_from_json(text);
    ASSERT_TRUE(std::holds_alternative<std::string>(chart)) << text;
    EXPECT_EQ(std::get<std::string>(chart), message);
  }
  const auto chart = chart_from_json(
      R"({"x": {"log": true}, "y": {"min": 0, "max": 1}, "diagonal": true, "series": [)"
      R"({"name": "a<b", "points": [[0, 0.5], [0.2, 0.1, 0.05, 0.2], [20, 0.9]]}]})");
  ASSERT_TRUE(std::holds_alternative<XyChart>(chart));
  const std::string svg = chart_svg(std::get<XyChart>(chart));
  EXPECT_NE(svg.find("data-points=\"2\" data-not-drawn=\"1\""), std::string::npos);
  EXPECT_NE(svg.find("1 point not drawn: zero or below on a logarithmic axis"), std::string::npos);
  EXPECT_NE(svg.find("data-name=\"a&lt;b\""), std::string::npos);
  EXPECT_NE(svg.find("id=\"diagonal\""), std::string::npos);
  EXPECT_NE(svg.find(">0.0</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">-0"), std::string::npos);
  // Decades 0.1 to 100 around the points at 0.2 and 20.
  for (const char* tick : {">0.1</text>", ">1</text>", ">10</text>", ">100</text>"})
    EXPECT_NE(svg.find(tick), std::string::npos) << tick;
}

}  // namespace
}  // namespace glassform
