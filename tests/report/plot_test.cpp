#include "report/blackman_plot.hpp"

#include <gtest/gtest.h>

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
  // Labels are the texts that carry a point's formula without being a point.
  EXPECT_LE(count(svg, ">Cu83.3Zr8.4Al8.4</text>") + count(svg, ">Cu76.9Zr7.7Al15.4</text>") +
                count(svg, ">Cu71.4Zr7.2Al21.5</text>"),
            BlackmanPlot::kLabelledPoints);
}

}  // namespace
}  // namespace glassform
