#include "glassform/model/elastic.hpp"

#include <gtest/gtest.h>

#include <optional>
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

// Worked by hand for the binary Zr-Cu (B 99.9, G 35.7 GPa): nu = (299.7 - 71.4) / (2 (299.7 +
// 35.7)) = 0.3403, B/G = 2.798; and the isotropic solid's point lies on y = (1 - x)/2.
TEST(IsotropicElastic, PoissonRatioPughAndThePlacementLine) {
  const ElasticResult zr_cu = estimate_elastic(std::vector<Constituent>{
      {"Zr", 88.0F, 33.0F, 91.1F, 81.93F}, {"Cu", 128.0F, 48.0F, 140.0F, 18.07F}});
  const std::optional<IsotropicElastic> i = isotropic_elastic(zr_cu);
  ASSERT_TRUE(i);
  EXPECT_NEAR(i->nu, 0.3403, 5e-5);
  EXPECT_NEAR(i->b_over_g, 2.798, 1e-3);
  EXPECT_TRUE(i->pugh_ductile);
  for (int k = 1; k < 400; ++k) {
    ElasticResult r{};
    r.b.value = static_cast<float>(k);
    r.g.value = static_cast<float>(400 - k) / 3.0F;
    const IsotropicElastic p = *isotropic_elastic(r);
    EXPECT_NEAR(p.c44_over_c11, (1 - p.c12_over_c11) / 2, 1e-6) << k;
    EXPECT_EQ(p.pugh_ductile, static_cast<double>(k) / *r.g.value > 1.75) << k;
  }
  EXPECT_FALSE(isotropic_elastic(ElasticResult{}));
}

}  // namespace
}  // namespace glassform
