#include "glassform/model/cluster_model.hpp"

#include <gtest/gtest.h>

#include "test_names.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include <cstdio>
#include <string>
#include "glassform/model/elements.hpp"

namespace glassform {
namespace {

// The default stream format of a value (six significant digits).
std::string format_default(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

struct CoordinationCase {
  float ratio;
  int face;
  const char* shown;  // the calculated coordination number in default stream format
};

class CoordinationNumber : public ::testing::TestWithParam<CoordinationCase> {};

TEST_P(CoordinationNumber, ShowsTheReferenceValue) {
  const CoordinationCase& c = GetParam();
  EXPECT_EQ(face_parameter(c.ratio), c.face) << c.ratio;
  EXPECT_EQ(format_default(coordination_number(c.ratio)), c.shown) << c.ratio;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoordinationNumber,
    ::testing::Values(
        // across the range of ratios
        CoordinationCase{0.0F, 4, "2"}, CoordinationCase{0.2F, 4, "4.09249"},
        CoordinationCase{0.3F, 3, "4.54514"}, CoordinationCase{0.41F, 3, "5.36393"},
        CoordinationCase{0.5F, 4, "6.82133"}, CoordinationCase{0.9F, 4, "11.1928"},
        CoordinationCase{1.0F, 5, "13.3326"}, CoordinationCase{1.5F, 5, "21.1525"},
        // the jumps at each face threshold
        CoordinationCase{0.2249F, 4, "4.30649"}, CoordinationCase{0.2251F, 3, "4.00256"},
        CoordinationCase{0.4139F, 3, "5.3936"}, CoordinationCase{0.414F, 4, "5.998"},
        CoordinationCase{0.9019F, 4, "11.2158"}, CoordinationCase{0.9021F, 5, "11.9998"},
        // the float nearest 0.225 lies below the double threshold
        CoordinationCase{0.225F, 4, "4.30736"},
        // worked pairs: Zr/Cu, Ni/B, Cu/Zr
        CoordinationCase{0.1278F / 0.16025F, 4, "9.98387"},
        CoordinationCase{0.082F / 0.12459F, 4, "8.43968"},
        CoordinationCase{0.16025F / 0.1278F, 5, "17.0909"}),
    [](const ::testing::TestParamInfo<CoordinationCase>& row) {
      return testing::case_name(row.index, row.param.shown);
    });

TEST(FaceParameter, ComparesTheFloatRatioWithDoubleThresholds) {
  EXPECT_LT(static_cast<double>(0.225F), 0.225);
  EXPECT_GT(static_cast<double>(0.414F), 0.414);
  EXPECT_GT(static_cast<double>(0.902F), 0.902);
  EXPECT_EQ(face_parameter(0.225F), 4);
  EXPECT_EQ(face_parameter(std::nextafter(0.225F, 1.0F)), 3);
  EXPECT_EQ(face_parameter(0.414F), 4);
  EXPECT_EQ(face_parameter(std::nextafter(0.414F, 0.0F)), 3);
  EXPECT_EQ(face_parameter(0.902F), 5);
  EXPECT_EQ(face_parameter(std::nextafter(0.902F, 0.0F)), 4);
  EXPECT_EQ(face_parameter(3.63F), 5);
}

TEST(CoordinationNumber, HasNoUpperLimit) {
  EXPECT_NEAR(coordination_number(3.63F), 73.7F, 0.05F);
}

TEST(IdealRadiusRatio, CoversFourToTwentyFour) {
  EXPECT_EQ(ideal_radius_ratio(4), 0.225F);
  EXPECT_EQ(ideal_radius_ratio(10), 0.799F);
  EXPECT_EQ(ideal_radius_ratio(12), 0.902F);
  EXPECT_EQ(ideal_radius_ratio(24), 1.659F);
  for (const int outside : {3, 25, 0, -1, -2147483647 - 1, 2147483647}) {
    EXPECT_FALSE(ideal_radius_ratio(outside).has_value()) << outside;
  }
}

TEST(IdealRadiusRatio, RisesWithTheCoordinationNumber) {
  for (int n = 5; n <= 24; ++n)
    EXPECT_LT(*ideal_radius_ratio(n - 1), *ideal_radius_ratio(n));
}

TEST(SolventAtomsPerCluster, MatchesReferenceValues) {
  EXPECT_EQ(solvent_atoms_per_cluster(12), 6.0F);
  EXPECT_EQ(solvent_atoms_per_cluster(10), 4.5454545F);
  EXPECT_EQ(solvent_atoms_per_cluster(4), 1.0F);
}

TEST(SmallSolute, WarnsBelowTheTriangleThreshold) {
  EXPECT_TRUE(solute_too_small(0.2F));
  EXPECT_TRUE(solute_too_small(0.225F));  // the float lies below 0.225
  EXPECT_FALSE(solute_too_small(0.2251F));
}

TEST(CellVolume, CubesTheLargestEdgeWithTiesToTheEarlierEdge) {
  EXPECT_EQ(cell_volume(2.0F, 1.0F, 1.0F), 8.0F);
  EXPECT_EQ(cell_volume(1.0F, 3.0F, 2.0F), 27.0F);
  EXPECT_EQ(cell_volume(1.0F, 2.0F, 4.0F), 64.0F);
  EXPECT_EQ(cell_volume(2.0F, 2.0F, 2.0F), 8.0F);
}

TEST(SizeSimilarity, IncludesTwoPercent) {
  EXPECT_TRUE(interchangeable_with_solvent(0.1251F, 0.12459F));   // Co in Ni: 0.4 %
  EXPECT_FALSE(interchangeable_with_solvent(0.16025F, 0.1278F));  // Zr in Cu: 25 %
  EXPECT_TRUE(interchangeable_with_solvent(1.015625F, 1.0F));
  EXPECT_FALSE(interchangeable_with_solvent(1.03125F, 1.0F));
}

// Every ordered pair of table elements: the model stays defined and well-behaved.
TEST(ClusterModelProperties, HoldForEveryPairOfElements) {
  std::map<int, std::vector<std::pair<float, float>>> by_face;
  for (const Element& solvent : kElements) {
    for (const Element& solute : kElements) {
      const float r = radius_ratio(solute.radius, solvent.radius);
      const int q = face_parameter(r);
      const double rd = r;
      const int expected_q = (rd >= 0.225 && rd < 0.414) ? 3 : (rd < 0.902 ? 4 : 5);
      EXPECT_EQ(q, expected_q) << solute.symbol << "/" << solvent.symbol;
      const float n = coordination_number(r);
      EXPECT_TRUE(std::isfinite(n)) << solute.symbol << "/" << solvent.symbol;
      EXPECT_TRUE(std::isfinite(cluster_spacing(r))) << solute.symbol << "/" << solvent.symbol;
      EXPECT_GT(cluster_spacing(r), 0.0);
      by_face[q].emplace_back(r, n);
    }
  }
  for (auto& [face, points] : by_face) {
    std::sort(points.begin(), points.end());
    for (std::size_t i = 1; i < points.size(); ++i) {
      EXPECT_LE(points[i - 1].second, points[i].second)
          << "face " << face << " at ratio " << points[i].first;
    }
  }
}

}  // namespace
}  // namespace glassform
