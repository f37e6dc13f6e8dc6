#include "model/elastic.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace glassform {
namespace {

const std::vector<Constituent> kExample{{"A", 100, 40, 150, 60}, {"X", 200, 80, 250, 40}};

TEST(ElasticEstimate, EqualModuliMixToThemselves) {
  const ElasticResult r = estimate_elastic(
      std::vector<Constituent>{{"Cu", 128, 48, 140, 81.93F}, {"V", 128, 47, 160, 18.07F}});
  ASSERT_TRUE(r.e.value);
  EXPECT_EQ(*r.e.value, 128.0F);
}

TEST(ElasticEstimate, KeepsTheSimplifiedConstantRelations) {
  const ElasticResult r = estimate_elastic(kExample);
  ASSERT_TRUE(r.constants);
  EXPECT_EQ(r.constants->c11, 246.0F);  // B + G
  EXPECT_EQ(r.constants->c12, 162.0F);  // (3B - C11)/2
  EXPECT_EQ(r.constants->c44, 56.0F);   // G
}

TEST(ElasticEstimate, NegativeZeroCountsAsMissing) {
  const ElasticResult r = estimate_elastic(std::vector<Constituent>{{"A", -0.0F, 1, 1, 100}});
  EXPECT_FALSE(r.e.value);
  EXPECT_EQ(r.e.missing, "A");
}

}  // namespace
}  // namespace glassform
