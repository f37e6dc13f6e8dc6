#include "glassform/report/blackman_plot.hpp"

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

}  // namespace
}  // namespace glassform
