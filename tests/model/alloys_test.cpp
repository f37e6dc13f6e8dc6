#include "glassform/model/alloys.hpp"

#include <gtest/gtest.h>

#include "test_names.hpp"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace glassform {
namespace {

const Element& el(std::string_view symbol) {
  return element_at(sw(kSymbols, symbol));
}

// The default stream format of a value (six significant digits).
std::string shown(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
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
  const AlloyResult r = *compute_binary(el(c.solvent), el(c.solute), c.chosen);
  const Cluster& cluster = r.clusters()[0];
  const Composition& composition = r.compositions()[0];
  EXPECT_EQ(shown(cluster.measure.coordination), c.coordination);
  EXPECT_EQ(fixed("%.3f", cluster.measure.ratio), c.ratio);
  EXPECT_EQ(fixed("%.3f", composition.solvent_atoms), c.solvent_atoms);
  EXPECT_EQ(fixed("%.2f", composition.percent[0]), c.solvent_percent);
  EXPECT_EQ(fixed("%.2f", composition.packing), c.packing);
  EXPECT_EQ(cluster.ideal_ratio.has_value(), c.in_range);
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
        BinaryCase{"Cu", "Zr", 16, "17.0909", "1.254", "10.041", "90.94", "44.56", true}),
    [](const ::testing::TestParamInfo<BinaryCase>& row) {
      return testing::case_name(row.index, std::string(row.param.solvent) + row.param.solute +
                                               std::to_string(row.param.chosen));
    });

TEST(BinaryExamples, ZrCuElasticBlockValues) {
  const AlloyResult alloy = *compute_binary(el("Zr"), el("Cu"), 10);
  const Composition& r = alloy.compositions()[0];
  EXPECT_EQ(fixed("%.3f", r.total_atoms), "5.534");
  EXPECT_EQ(fixed("%.2f", r.percent[1]), "18.07");
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
  const AlloyResult r = *compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 15);
  const std::span<const Cluster> clusters = r.clusters();
  EXPECT_EQ(shown(clusters[0].measure.coordination), "17.0909");
  EXPECT_EQ(fixed("%.2f", clusters[1].measure.coordination), "15.06");
  EXPECT_EQ(fixed("%.3f", clusters[0].measure.ratio), "1.254");
  EXPECT_EQ(fixed("%.3f", clusters[1].measure.ratio), "1.120");
  EXPECT_EQ(shown(r.compositions()[0].solvent_atoms), "9.96552");
  EXPECT_FALSE(clusters[0].measure.like_solvent);
  EXPECT_FALSE(clusters[1].measure.like_solvent);
  const char* expected[3][4] = {{"83.29", "8.36", "8.36", "54.90"},
                                {"76.86", "7.71", "15.43", "60.64"},
                                {"71.36", "7.16", "21.48", "45.95"}};
  const int volume_edge[3] = {0, 0, 2};
  for (std::size_t k = 0; k < 3; ++k) {
    const Composition& c = r.compositions()[k];
    EXPECT_EQ(c.gamma_sites, static_cast<int>(k));
    EXPECT_EQ(fixed("%.2f", c.percent[0]), expected[k][0]) << k;
    EXPECT_EQ(fixed("%.2f", c.percent[1]), expected[k][1]) << k;
    EXPECT_EQ(fixed("%.2f", c.percent[2]), expected[k][2]) << k;
    EXPECT_EQ(fixed("%.2f", c.packing), expected[k][3]) << k;
    const float edge = c.cell.edges[static_cast<std::size_t>(volume_edge[k])];
    EXPECT_EQ(c.cell.volume, static_cast<float>(std::pow(static_cast<double>(edge), 3.0))) << k;
  }
}

TEST(TernaryExample, SecondClusterUsesTheMeasuredRatioWhenInterchangeable) {
  const AlloyResult r = *compute_ternary(el("Ni"), el("Zr"), el("Co"), 16, 30);
  const Cluster& smallest = r.clusters()[1];
  EXPECT_TRUE(smallest.measure.like_solvent);
  EXPECT_FALSE(smallest.ideal_ratio);
  EXPECT_EQ(smallest.ratio_used, smallest.measure.ratio);
  EXPECT_GT(smallest.measure.coordination, 12.0F);  // the true coordination number, not 2
}

TEST(QuaternaryExample, ZrAlCuNi) {
  const AlloyResult q = *compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {7, 9, 30});
  const std::span<const Cluster> k = q.clusters();
  EXPECT_EQ(fixed("%.2f", k[0].measure.coordination), "11.11");
  EXPECT_EQ(fixed("%.2f", k[1].measure.coordination), "9.98");
  EXPECT_EQ(fixed("%.2f", k[2].measure.coordination), "9.75");
  EXPECT_EQ(fixed("%.2f", k[0].ratio_used), "0.89");
  EXPECT_EQ(fixed("%.2f", k[1].ratio_used), "0.80");
  EXPECT_EQ(fixed("%.2f", k[2].ratio_used), "0.78");
  const Composition& r = q.compositions()[0];
  EXPECT_EQ(fixed("%.2f", r.solvent_atoms), "5.34");
  EXPECT_EQ(fixed("%.2f", r.total_atoms), "9.34");
  EXPECT_EQ(fixed("%.2f", r.percent[0]), "57.19");
  EXPECT_EQ(fixed("%.2f", r.percent[1]), "10.70");
  EXPECT_EQ(fixed("%.2f", r.percent[2]), "10.70");
  EXPECT_EQ(fixed("%.2f", r.percent[3]), "21.41");
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
  const Composition a =
      compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {7, 9, 30})->compositions()[0];
  const Composition b =
      compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {11, 10, 1})->compositions()[0];
  EXPECT_EQ(a.packing, b.packing);
  EXPECT_EQ(a.percent[0], b.percent[0]);
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
        const Composition r = compute_binary(solvent, solute, chosen)->compositions()[0];
        EXPECT_NEAR(r.percent[0] + r.percent[1], 100.0F, 1e-4F);
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
    const AlloyResult t = *compute_ternary(s, a, b, chosen(random), chosen(random));
    for (const Composition& g : t.compositions()) {
      EXPECT_NEAR(g.percent[0] + g.percent[1] + g.percent[2], 100.0F, 1e-4F);
      EXPECT_TRUE(std::isfinite(g.packing) && g.packing > 0.0F);
      EXPECT_TRUE(finite(g.elastic));
    }
    EXPECT_EQ(t.compositions()[0].percent[1], t.compositions()[0].percent[2]);

    const Composition q =
        compute_quaternary(s, a, b, c, {chosen(random), chosen(random), chosen(random)})
            ->compositions()[0];
    EXPECT_NEAR(q.percent[0] + q.percent[1] + q.percent[2] + q.percent[3], 100.0F, 1e-4F);
    EXPECT_EQ(2 * q.percent[1], q.percent[3]);
    EXPECT_TRUE(std::isfinite(q.packing) && q.packing > 0.0F);
    EXPECT_TRUE(finite(q.elastic));
  }
}

TEST(AlloyRejects, ChosenIntegersBelowOne) {
  EXPECT_FALSE(compute_ternary(el("Cu"), el("Zr"), el("Al"), 0, 15));
  EXPECT_FALSE(compute_binary(el("Zr"), el("Cu"), -3));
  EXPECT_FALSE(compute_quaternary(el("Zr"), el("Al"), el("Cu"), el("Ni"), {7, 0, 9}));
  EXPECT_TRUE(compute_binary(el("Zr"), el("Cu"), 1));
}

TEST(AlloyMismatch, IsTheLargestRelativeDistanceFromAnIdealRatio) {
  // Zr/Cu measures 0.797504; the ideal ratio of 10 is 0.799, that of 30 does not exist.
  EXPECT_NEAR(*compute_binary(el("Zr"), el("Cu"), 10)->mismatch, 0.0018724F, 1e-6F);
  EXPECT_FALSE(compute_binary(el("Zr"), el("Cu"), 30)->mismatch);
  // Cu/Zr/Al: 1.253912 against 1.248 (17) and 1.120266 against 0.902 (12).
  EXPECT_NEAR(*compute_ternary(el("Cu"), el("Zr"), el("Al"), 17, 12)->mismatch, 0.241979F, 1e-5F);
}

TEST(NearestInteger, RoundsHalvesUp) {
  EXPECT_EQ(nearest_integer(9.98387F), 10);
  EXPECT_EQ(nearest_integer(10.5F), 11);
  EXPECT_EQ(nearest_integer(10.49F), 10);
}

}  // namespace
}  // namespace glassform
