#include "structure/alloys.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "console/console.hpp"

namespace glassform {
namespace {

const Element& el(std::string_view symbol) {
  return element_at(sw(kSymbols, symbol));
}

std::string fixed(const char* format, float value) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(value));
  return text;
}

// Binary worked examples: pair, chosen integer, and the printed results.
struct BinaryCase {
  const char* solvent;
  const char* solute;
  int chosen;
  const char* coordination;
  const char* ratio;
  const char* solvent_atoms;
  const char* solvent_percent;
  const char* packing;
  bool in_range;
};

class BinaryExamples : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryExamples, ReproduceThePublishedDigits) {
  const BinaryCase& c = GetParam();
  const BinaryResult r = compute_binary(el(c.solvent), el(c.solute), c.chosen);
  EXPECT_EQ(format_default(r.cluster.coordination), c.coordination);
  EXPECT_EQ(fixed("%.3f", r.cluster.measured_ratio), c.ratio);
  EXPECT_EQ(fixed("%.3f", r.solvent_atoms), c.solvent_atoms);
  EXPECT_EQ(fixed("%.2f", r.solvent_percent), c.solvent_percent);
  EXPECT_EQ(fixed("%.2f", r.packing), c.packing);
  EXPECT_EQ(r.cluster.chosen_in_range, c.in_range);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryExamples,
    ::testing::Values(
        BinaryCase{"Zr", "Cu", 10, "9.98387", "0.798", "4.534", "81.93", "42.58", true},
        BinaryCase{"Zr", "Cu", 12, "9.98387", "0.798", "4.534", "81.93", "36.79", true},
        BinaryCase{"Zr", "Cu", 30, "9.98387", "0.798", "4.534", "81.93", "42.69", false},
        BinaryCase{"Ni", "B", 9, "8.43968", "0.658", "3.485", "77.70", "41.67", true},
        BinaryCase{"Ni", "B", 3, "8.43968", "0.658", "3.485", "77.70", "46.67", false},
        BinaryCase{"Fe", "Fe", 12, "13.3326", "1.000", "7.017", "87.53", "49.02", true},
        BinaryCase{"Cu", "Zr", 16, "17.0909", "1.254", "10.041", "90.94", "44.56", true}));

TEST(BinaryExamples, ZrCuElasticBlockValues) {
  const BinaryResult r = compute_binary(el("Zr"), el("Cu"), 10);
  EXPECT_EQ(fixed("%.3f", r.total_atoms), "5.534");
  EXPECT_EQ(fixed("%.2f", r.solute_percent), "18.07");
  EXPECT_EQ(fixed("%.1f", *r.elastic.e.value), "95.2");
  EXPECT_EQ(fixed("%.1f", *r.elastic.g.value), "35.7");
  EXPECT_EQ(fixed("%.1f", *r.elastic.b.value), "99.9");
  ASSERT_TRUE(r.elastic.constants);
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->c11), "135.6");
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->c12), "82.1");
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->fragility), "41.6");
  EXPECT_EQ(fixed("%.4f", r.elastic.constants->c12_over_c11), "0.6051");
  EXPECT_EQ(fixed("%.4f", r.elastic.constants->c44_over_c11), "0.2633");
}

TEST(TernaryExample, CuZrAlWith17And15) {
  const TernaryResult r = compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15);
  EXPECT_EQ(format_default(r.largest.coordination), "17.0909");
  EXPECT_EQ(fixed("%.2f", r.smallest.coordination), "15.06");
  EXPECT_EQ(fixed("%.3f", r.largest.measured_ratio), "1.254");
  EXPECT_EQ(fixed("%.3f", r.smallest.measured_ratio), "1.120");
  EXPECT_EQ(format_default(r.solvent_atoms), "9.96552");
  EXPECT_FALSE(r.largest_interchangeable);
  EXPECT_FALSE(r.smallest_interchangeable);
  const char* expected[3][4] = {{"83.29", "8.36", "8.36", "54.90"},
                                {"76.86", "7.71", "15.43", "60.64"},
                                {"71.36", "7.16", "21.48", "45.95"}};
  const int volume_edge[3] = {0, 0, 2};
  for (std::size_t k = 0; k < 3; ++k) {
    const GammaComposition& c = r.compositions[k];
    EXPECT_EQ(fixed("%.2f", c.solvent_percent), expected[k][0]) << k;
    EXPECT_EQ(fixed("%.2f", c.largest_percent), expected[k][1]) << k;
    EXPECT_EQ(fixed("%.2f", c.smallest_percent), expected[k][2]) << k;
    EXPECT_EQ(fixed("%.2f", c.packing), expected[k][3]) << k;
    const float edge = c.cell.edges[static_cast<std::size_t>(volume_edge[k])];
    EXPECT_EQ(c.cell.volume, static_cast<float>(std::pow(static_cast<double>(edge), 3.0))) << k;
  }
}

TEST(TernaryExample, SecondClusterUsesTheMeasuredRatioWhenInterchangeable) {
  const TernaryResult r = compute_ternary(el("Ni"), el("Zr"), el("Co"), 16, 30);
  EXPECT_TRUE(r.smallest_interchangeable);
  EXPECT_FALSE(r.smallest.chosen_in_range);
  EXPECT_EQ(r.smallest.ratio_used, r.smallest.measured_ratio);
  EXPECT_GT(r.smallest.coordination, 12.0F);  // the true coordination number, not 2
}

TEST(QuaternaryExample, ZrAlCuNi) {
  const QuaternaryResult r = compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {7, 9, 30});
  EXPECT_EQ(fixed("%.2f", r.coordination[0]), "11.11");
  EXPECT_EQ(fixed("%.2f", r.coordination[1]), "9.98");
  EXPECT_EQ(fixed("%.2f", r.coordination[2]), "9.75");
  EXPECT_EQ(fixed("%.2f", r.ratios[0]), "0.89");
  EXPECT_EQ(fixed("%.2f", r.ratios[1]), "0.80");
  EXPECT_EQ(fixed("%.2f", r.ratios[2]), "0.78");
  EXPECT_EQ(fixed("%.2f", r.solvent_atoms), "5.34");
  EXPECT_EQ(fixed("%.2f", r.total_atoms), "9.34");
  EXPECT_EQ(fixed("%.2f", r.solvent_percent), "57.19");
  EXPECT_EQ(fixed("%.2f", r.single_percent), "10.70");
  EXPECT_EQ(fixed("%.2f", r.smallest_percent), "21.41");
  EXPECT_EQ(fixed("%.2f", r.packing), "46.98");
  ASSERT_TRUE(r.elastic.constants);
  EXPECT_EQ(fixed("%.1f", *r.elastic.e.value), "114.3");
  EXPECT_EQ(fixed("%.1f", *r.elastic.b.value), "113.7");
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->c11), "156.8");
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->c12), "92.2");
  EXPECT_EQ(fixed("%.1f", r.elastic.constants->fragility), "39.7");
  EXPECT_EQ(fixed("%.4f", r.elastic.constants->c12_over_c11), "0.5881");
  EXPECT_EQ(fixed("%.4f", r.elastic.constants->c44_over_c11), "0.2746");
}

TEST(QuaternaryExample, ChosenIntegersChangeNothingButThemselves) {
  const QuaternaryResult a = compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {7, 9, 30});
  const QuaternaryResult b =
      compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {11, 10, 1});
  EXPECT_EQ(a.packing, b.packing);
  EXPECT_EQ(a.solvent_percent, b.solvent_percent);
  EXPECT_EQ(a.cell.volume, b.cell.volume);
}

bool finite(const ElasticResult& e) {
  for (const MixedModulus* m : {&e.e, &e.g, &e.b}) {
    if (m->value && !std::isfinite(*m->value)) return false;
  }
  if (!e.constants) return true;
  const ElasticConstants& c = *e.constants;
  return std::isfinite(c.c11) && std::isfinite(c.c12) && std::isfinite(c.c44) &&
         std::isfinite(c.fragility) && std::isfinite(c.c12_over_c11) &&
         std::isfinite(c.c44_over_c11);
}

TEST(AlloyInvariants, EveryBinaryPairIsFiniteAndSumsToOneHundred) {
  for (const Element& solvent : kElements) {
    for (const Element& solute : kElements) {
      for (const int chosen : {1, 4, 12, 24, 25, 2147483647}) {
        const BinaryResult r = compute_binary(solvent, solute, chosen);
        EXPECT_NEAR(r.solvent_percent + r.solute_percent, 100.0F, 1e-4F);
        EXPECT_TRUE(std::isfinite(r.packing) && r.packing > 0.0F);
        EXPECT_TRUE(std::isfinite(r.cell.volume) && r.cell.volume > 0.0F);
        EXPECT_TRUE(finite(r.elastic)) << solvent.symbol << "/" << solute.symbol;
      }
    }
  }
}

TEST(AlloyInvariants, RandomTernaryAndQuaternaryAlloysStayFinite) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, kElementCount - 1);
  std::uniform_int_distribution<int> chosen(1, 40);
  for (int trial = 0; trial < 3000; ++trial) {
    const Element& s = kElements[pick(random)];
    const Element& a = kElements[pick(random)];
    const Element& b = kElements[pick(random)];
    const Element& c = kElements[pick(random)];
    const TernaryResult t = compute_ternary(s, a, b, chosen(random), chosen(random));
    for (const GammaComposition& g : t.compositions) {
      EXPECT_NEAR(g.solvent_percent + g.largest_percent + g.smallest_percent, 100.0F, 1e-4F);
      EXPECT_TRUE(std::isfinite(g.packing) && g.packing > 0.0F);
      EXPECT_TRUE(finite(g.elastic));
    }
    EXPECT_EQ(t.compositions[0].largest_percent, t.compositions[0].smallest_percent);

    const QuaternaryResult q =
        compute_quaternary(s, a, b, c, {chosen(random), chosen(random), chosen(random)});
    EXPECT_NEAR(q.solvent_percent + 2 * q.single_percent + q.smallest_percent, 100.0F, 1e-4F);
    EXPECT_EQ(2 * q.single_percent, q.smallest_percent);
    EXPECT_TRUE(std::isfinite(q.packing) && q.packing > 0.0F);
    EXPECT_TRUE(finite(q.elastic));
  }
}

}  // namespace
}  // namespace glassform
