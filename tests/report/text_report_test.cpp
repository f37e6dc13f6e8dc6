#include "glassform/report/text/text_report.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glassform {
namespace {

std::string block(ElasticStyle style, const std::vector<Constituent>& constituents) {
  std::string out;
  append_elastic_text(out, style, estimate_elastic(constituents));
  return out;
}

const std::vector<Constituent> kExample{{"A", 100, 40, 150, 60}, {"X", 200, 80, 250, 40}};
constexpr const char* kExampleConstants =
    "C11 = 246.0 GPa\nC12 = 162.0 GPa\nC44 = 56.0 GPa\nm = 48.8 (Kinetic fragility index)\n"
    "C12/C11 = 0.6585\nC44/C11 = 0.2276";
constexpr const char* kNotPossible =
    "It's not possible to calculate the elastic constants with this data";

TEST(ElasticBlock, BinaryStyle) {
  EXPECT_EQ(block(ElasticStyle::kBinary, kExample),
            std::string("\nElastic Properties predicted for the alloy:\nE = 140.0 GPa\n"
                        "G = 56.0 GPa\nB = 190.0 Gpa\n") +
                kExampleConstants);
}

TEST(ElasticBlock, TernaryStyleEndsItsConstantsWithALineEnd) {
  EXPECT_EQ(block(ElasticStyle::kTernary, kExample),
            std::string("\nElastic properties predicted for the alloy:\nE = 140.0 GPa\n"
                        "G = 56.0 GPa\nB = 190.0 Gpa\n") +
                kExampleConstants + "\n");
}

TEST(ElasticBlock, QuaternaryStyle) {
  EXPECT_EQ(block(ElasticStyle::kQuaternary, kExample),
            std::string("\n\nElastic Properties:\nE = 140.0 GPa\nG = 56.0 GPa\nB = 190.0 GPa\n") +
                kExampleConstants);
}

TEST(ElasticBlock, MissingYoungsModulusNamesTheFirstElementOnly) {
  EXPECT_EQ(block(ElasticStyle::kBinary, {{"C", 0, 5.4F, 33, 50}, {"S", 0, 0, 7.7F, 50}}),
            std::string("\nElastic Properties predicted for the alloy:\n"
                        "No Young's modulus data for C\nNo shear modulus data for S\n"
                        "B = 20.4 Gpa\n") +
                kNotPossible);
}

TEST(ElasticBlock, MissingShearModulusOfTheNextQuaternarySolute) {
  EXPECT_EQ(block(ElasticStyle::kQuaternary, {{"Zr", 88, 33, 91.1F, 57.19F},
                                              {"Al", 70, 26, 76, 10.70F},
                                              {"Mn", 198, 0, 120, 10.70F},
                                              {"Ni", 200, 76, 180, 21.41F}}),
            std::string("\n\nElastic Properties:\nE = 121.8 GPa\nNo shear modulus data for Mn\n"
                        "B = 111.6 GPa\n") +
                kNotPossible);
}

TEST(ElasticBlock, MissingYoungsModulusOfTheSmallestQuaternarySoluteOnlyDropsE) {
  const std::string text = block(ElasticStyle::kQuaternary, {{"Zr", 88, 33, 91.1F, 57.19F},
                                                             {"Al", 70, 26, 76, 10.70F},
                                                             {"Cu", 128, 48, 140, 10.70F},
                                                             {"Os", 0, 222, 462, 21.41F}});
  EXPECT_NE(text.find("\nNo Young's modulus data for Os\nG = "), std::string::npos) << text;
  EXPECT_NE(text.find("C11 = "), std::string::npos) << text;
}

TEST(ElasticBlock, MissingBulkModulusSuppressesTheConstantsInEveryStyle) {
  const std::vector<Constituent> no_b{{"Zr", 88, 33, 91.1F, 50}, {"Ga", 9.8F, 0, 0, 50}};
  for (const ElasticStyle style :
       {ElasticStyle::kBinary, ElasticStyle::kTernary, ElasticStyle::kQuaternary}) {
    const std::string text = block(style, no_b);
    EXPECT_NE(text.find("No shear modulus data for Ga\nNo bulk modulus data for Ga\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with(kNotPossible)) << text;
  }
}

}  // namespace
}  // namespace glassform
