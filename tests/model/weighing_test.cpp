#include "glassform/model/weighing.hpp"
#include "glassform/io/formula.hpp"

#include <gtest/gtest.h>

#include "test_names.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace glassform {
namespace {

// The atomic-mass column of the independent reference table.
std::map<std::string, double> reference_masses() {
  std::ifstream file(GLASSFORM_TEST_DATA "/elements_reference.tsv");
  std::map<std::string, double> masses;
  std::string line;
  bool header = true;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    std::vector<std::string> cells;
    std::stringstream split(line);
    for (std::string cell; std::getline(split, cell, '\t');)
      cells.push_back(cell);
    masses[cells.at(0)] = std::strtod(cells.at(7).c_str(), nullptr);
  }
  return masses;
}

TEST(AtomicWeights, AgreeWithTheReferenceTable) {
  const std::map<std::string, double> reference = reference_masses();
  ASSERT_EQ(reference.size(), kElementCount);
  for (const Element& e : kElements) {
    const double tolerance = e.weight_is_mass_number ? 2.0 : 0.05;
    EXPECT_NEAR(e.atomic_weight, reference.at(std::string(e.symbol)), tolerance) << e.symbol;
    EXPECT_EQ(e.weight_is_mass_number, e.symbol == "Tc" || e.symbol == "Pm" || e.symbol == "Po");
  }
  EXPECT_EQ(find_element("Pa")->atomic_weight, 231.04);
}

struct Conversion {
  const char* formula;
  std::vector<std::pair<const char*, double>> weight_percent;  // to two decimals
};

class Conversions : public ::testing::TestWithParam<Conversion> {};

// Weight percentages worked out by hand from the standard atomic weights.
TEST_P(Conversions, GiveTheHandCheckedWeightPercent) {
  const ParsedFormula parsed = parse_formula(GetParam().formula);
  ASSERT_FALSE(parsed.error) << parsed.error->message;
  const auto& expected = GetParam().weight_percent;
  ASSERT_EQ(parsed.parts.size(), expected.size());
  std::vector<const Element*> elements;
  std::vector<double> atomic;
  for (const FormulaPart& p : parsed.parts) {
    elements.push_back(p.element);
    atomic.push_back(p.amount);
  }
  std::vector<double> weight(elements.size());
  weight_percent(elements, atomic, weight);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(elements[i]->symbol, expected[i].first);
    EXPECT_NEAR(weight[i], expected[i].second, 0.005) << expected[i].first;
  }
  std::vector<double> back(elements.size());
  atomic_percent(elements, weight, back);
  for (std::size_t i = 0; i < back.size(); ++i)
    EXPECT_NEAR(back[i], atomic[i], 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Published, Conversions,
    ::testing::Values(
        Conversion{"Cu64Zr36", {{"Cu", 55.32}, {"Zr", 44.68}}},
        Conversion{"Zr41.2Ti13.8Cu12.5Ni10Be22.5",
                   {{"Zr", 62.61}, {"Ti", 11.00}, {"Cu", 13.23}, {"Ni", 9.78}, {"Be", 3.38}}},
        Conversion{"(Cu50Zr50)92Al8", {{"Cu", 39.85}, {"Zr", 57.21}, {"Al", 2.94}}}),
    [](const ::testing::TestParamInfo<Conversion>& row) {
      return testing::case_name(row.index, row.param.formula);
    });

TEST(Formula, ReadsAmountsGroupsRepeatsAndBlanks) {
  const auto amounts = [](const char* text) {
    std::vector<std::pair<std::string, double>> out;
    for (const FormulaPart& p : parse_formula(text).parts)
      out.emplace_back(p.element->symbol, p.amount);
    return out;
  };
  using V = std::vector<std::pair<std::string, double>>;
  EXPECT_EQ(amounts("CuZr3"), (V{{"Cu", 25}, {"Zr", 75}}));
  EXPECT_EQ(amounts("Cu1Zr1"), (V{{"Cu", 50}, {"Zr", 50}}));
  EXPECT_EQ(amounts("Cu25Zr50Cu25"), (V{{"Cu", 50}, {"Zr", 50}}));
  EXPECT_EQ(amounts(" Cu 64 Zr 36 "), (V{{"Cu", 64}, {"Zr", 36}}));
  EXPECT_EQ(amounts("(Fe0.75B0.25)80Si20"), (V{{"Fe", 60}, {"B", 20}, {"Si", 20}}));
  EXPECT_EQ(amounts("Co"), (V{{"Co", 100}}));  // Co is cobalt, not C and O
}

struct BadFormula {
  const char* text;
  std::size_t position;
  const char* message;
};

class BadFormulas : public ::testing::TestWithParam<BadFormula> {};

TEST_P(BadFormulas, PointAtTheFault) {
  const ParsedFormula parsed = parse_formula(GetParam().text);
  ASSERT_TRUE(parsed.error) << GetParam().text;
  EXPECT_EQ(parsed.error->position, GetParam().position) << GetParam().text;
  EXPECT_EQ(parsed.error->message, GetParam().message);
  EXPECT_TRUE(parsed.parts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFormulas,
    ::testing::Values(BadFormula{"", 0, "the formula is empty"},
                      BadFormula{"Cu64Zx36", 4, "unknown symbol \"Zx\": did you mean Zn or Zr?"},
                      BadFormula{"cu64", 0, "unexpected character 'c'"},
                      BadFormula{"(Cu50Zr50", 0, "unbalanced parenthesis: '(' without ')'"},
                      BadFormula{"Cu50)Zr50", 4, "unbalanced parenthesis: ')' without '('"},
                      BadFormula{"((Cu)Zr)", 1, "parentheses inside parentheses: one level only"},
                      BadFormula{"Cu-5Zr", 2, "negative amount"},
                      BadFormula{"Cu0Zr0", 0, "the amounts add up to zero"},
                      BadFormula{"()Cu", 0, "the group's amounts add up to zero"},
                      BadFormula{"64Cu", 0, "an amount without an element before it"},
                      BadFormula{"Cu64.5.5", 6, "an amount without an element before it"},
                      BadFormula{"Cu64%", 4, "unexpected character '%'"}),
    [](const ::testing::TestParamInfo<BadFormula>& row) {
      return testing::case_name(row.index, row.param.text);
    });

TEST(Masses, AddUpToTheIngot) {
  std::mt19937 random(13);
  std::uniform_real_distribution<double> share(0.01, 100.0);
  for (int trial = 0; trial < 1000; ++trial) {
    std::vector<double> weight(2 + static_cast<std::size_t>(trial % 7));
    for (double& w : weight)
      w = share(random);
    std::vector<double> grams(weight.size());
    const double ingot = share(random) * 10;
    masses(weight, ingot, grams);
    double sum = 0;
    for (const double g : grams)
      sum += g;
    EXPECT_NEAR(sum, ingot, ingot * 1e-14);
  }
}

}  // namespace
}  // namespace glassform
