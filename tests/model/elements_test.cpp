#include "glassform/model/elements.hpp"

#include <gtest/gtest.h>

#include "test_names.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace glassform {
namespace {

TEST(ElementTable, MatchesTheReferenceDataRowByRow) {
  std::ifstream file(GLASSFORM_TEST_DATA "/elements.tsv");
  ASSERT_TRUE(file) << "missing reference data";
  std::string line;
  std::size_t rows = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream row(line);
    int index = 0;
    std::string symbol;
    std::string radius;
    std::string e;
    std::string g;
    std::string b;
    row >> index >> symbol >> radius >> e >> g >> b;
    ASSERT_EQ(index, static_cast<int>(rows) + 1) << line;
    const Element& el = kElements[rows];
    EXPECT_EQ(el.symbol, symbol) << line;
    // The reference holds the shortest decimals; the table must hold their nearest floats.
    EXPECT_EQ(el.radius, std::strtof(radius.c_str(), nullptr)) << line;
    EXPECT_EQ(el.e, std::strtof(e.c_str(), nullptr)) << line;
    EXPECT_EQ(el.g, std::strtof(g.c_str(), nullptr)) << line;
    EXPECT_EQ(el.b, std::strtof(b.c_str(), nullptr)) << line;
    ++rows;
  }
  EXPECT_EQ(rows, kElementCount);
}

TEST(ElementTable, RadiiAscendStrictly) {
  for (std::size_t i = 1; i < kElements.size(); ++i) {
    EXPECT_LT(kElements[i - 1].radius, kElements[i].radius) << kElements[i].symbol;
  }
}

TEST(ElementTable, NoModulusIsNegative) {
  for (const Element& el : kElements) {
    EXPECT_GE(el.e, 0.0F) << el.symbol;
    EXPECT_GE(el.g, 0.0F) << el.symbol;
    EXPECT_GE(el.b, 0.0F) << el.symbol;
  }
}

TEST(ElementTable, FiveDecimalRadiusShowsTheTableValue) {
  char text[32];
  std::snprintf(text, sizeof text, "%.5f", static_cast<double>(element_at(10).radius));
  EXPECT_STREQ(text, "0.12412");
}

struct LookupCase {
  const char* text;
  int index;
};

class SymbolLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(SymbolLookup, FindsExactSymbolsOnly) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(sw(kSymbols, c.text), c.index) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, SymbolLookup,
                         ::testing::Values(LookupCase{"O", 1}, LookupCase{"Cs", 73},
                                           LookupCase{"Cu", 14}, LookupCase{"B", 4},
                                           LookupCase{"Be", 7}, LookupCase{"C", 3},
                                           LookupCase{"Fe", 10}, LookupCase{"cu", 0},
                                           LookupCase{"CU", 0}, LookupCase{"Cu ", 0},
                                           LookupCase{" Cu", 0}, LookupCase{"Copper", 0},
                                           LookupCase{"", 0}, LookupCase{"Xx", 0}),
                         [](const ::testing::TestParamInfo<LookupCase>& row) {
                           return testing::case_name(row.index, row.param.text);
                         });

TEST(SymbolLookup, BytesAfterANulAreNotIgnored) {
  EXPECT_EQ(sw(kSymbols, std::string_view("Fe\0x", 4)), 0);
  EXPECT_EQ(sw(kSymbols, std::string_view("\0", 1)), 0);
}

TEST(SymbolLookup, EverySymbolFindsItsOwnRow) {
  for (std::size_t i = 0; i < kElements.size(); ++i) {
    const int index = sw(kSymbols, kElements[i].symbol);
    EXPECT_EQ(index, static_cast<int>(i) + 1);
    EXPECT_EQ(&element_at(index), &kElements[i]);
  }
}

}  // namespace
}  // namespace glassform
