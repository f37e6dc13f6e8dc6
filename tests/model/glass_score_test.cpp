#include "glassform/model/glass_score.hpp"
#include "glassform/model/casting_thickness.hpp"
#include "glassform/model/score_domain.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "glassform/io/formula.hpp"

namespace glassform {
namespace {

std::optional<GlassScore> score_of(std::string_view formula) {
  return glass_score(glass_criteria(parse_formula(formula).parts));
}

// The trainer wrote the library's probability of every composition it was fitted to, before
// and after calibration, and the spread; the program gives the same doubles.
TEST(GlassScore, EqualsTheTrainersProbabilityForEveryTrainingComposition) {
  std::ifstream file(GLASSFORM_TEST_DATA "/gfa_score_expected.csv");
  std::string line;
  ASSERT_TRUE(std::getline(file, line));
  ASSERT_EQ(line, "formula,p_uncalibrated,p_glass,p_glass_sd");
  std::size_t compared = 0;
  while (std::getline(file, line)) {
    const std::size_t comma = line.find(',');
    const std::string formula = line.substr(0, comma);
    char* end = nullptr;
    const double trees = std::strtod(line.c_str() + comma + 1, &end);
    const double expected = std::strtod(end + 1, &end);
    const double spread = std::strtod(end + 1, nullptr);
    const std::optional<GlassScore> score = score_of(formula);
    ASSERT_TRUE(score) << formula;
    EXPECT_NEAR(score->uncalibrated, trees, 1e-9) << formula;
    EXPECT_NEAR(score->p_glass, expected, 1e-9) << formula;
    const auto features = score_features(glass_criteria(parse_formula(formula).parts));
    EXPECT_NEAR(score_spread(*features), spread, 1e-9) << formula;
    ++compared;
  }
  EXPECT_GT(compared, 5000U);
}

// The calibration never reorders two compositions: strictly increasing wherever it is not
// clipped at 0 or 1, and within [0, 1] everywhere.
TEST(GlassScore, CalibrationKeepsTheOrder) {
  double previous = calibrated_probability(0.0);
  EXPECT_GE(previous, 0.0);
  for (int i = 1; i <= 100000; ++i) {
    const double p = i / 100000.0;
    const double c = calibrated_probability(p);
    ASSERT_LE(c, 1.0) << p;
    if (previous > 0 && c < 1) {
      ASSERT_GT(c, previous) << p;
    } else {
      ASSERT_GE(c, previous) << p;
    }
    previous = c;
  }
}

// The domain against the labelled compositions: every element and pair known, or not; the
// nearest labelled composition of the same elements (Cu60Zr40 is one; Cu64Zr36 is 1 at.% from
// one).
TEST(GlassScore, InputsAbsenceAndTrainingDomain) {
  struct Case {
    const char* formula;
    bool scored;
    bool extrapolated;
    std::optional<float> known_pairs;
    std::optional<float> nearest;
  };
  constexpr float kTwoOfThree = 2.0F / 3;
  for (const Case& c : {
           Case{"Cu60Zr40", true, false, 1.0F, 0.0F}, Case{"Cu64Zr36", true, false, 1.0F, 1.0F},
           Case{"Ni50Pd50", true, false, 1.0F, 0.0F},        // mixes with 0 kJ/mol: still scored
           Case{"Fe50O50", false, false, 0.0F, {}},          // no enthalpy for O-Fe: never imputed
           Case{"Cu", false, false, {}, {}},                 // one element
           Case{"Cu40Zr30Ni20Ti10", true, false, 1.0F, {}},  // four elements, every pair known
           Case{"Cu40Zr30Ni20Au10", true, true, 4.0F / 6, {}},  // Au with Zr and Ni unknown
           Case{"Zr60Cu30Ag10", true, true, kTwoOfThree, {}},
           Case{"Os50Zr50", true, true, 0.0F, {}},            // Os is not in the training data
           Case{"Cu46Zr46Al8Ni0", true, false, 1.0F, 19.0F},  // an amount of 0 is no element
       }) {
    const ParsedFormula read = parse_formula(c.formula);
    const GlassCriteria k = glass_criteria(read.parts);
    EXPECT_EQ(known_pair_share(k.elements), c.known_pairs) << c.formula;
    EXPECT_EQ(nearest_known_percent(read.parts), c.nearest) << c.formula;
    const std::optional<GlassScore> s = score_of(c.formula);
    ASSERT_EQ(s.has_value(), c.scored) << c.formula;
    if (!s) continue;
    EXPECT_EQ(s->extrapolated, c.extrapolated) << c.formula;
    EXPECT_TRUE(s->uncalibrated > 0 && s->uncalibrated < 1) << c.formula;
    EXPECT_TRUE(s->p_glass >= 0 && s->p_glass <= 1) << c.formula;
  }
  // Cu50Zr50: chi 1.90 and 1.33, so delta_chi = 0.285; valence electrons (11 + 4) / 2 = 7.5.
  const GlassCriteria k = glass_criteria(parse_formula("Cu50Zr50").parts);
  EXPECT_NEAR(k.delta_chi.value(), 0.285, 1e-6);
  EXPECT_FLOAT_EQ(k.valence.value(), 7.5F);
  EXPECT_EQ(k.element_count, 2);
  EXPECT_FLOAT_EQ(k.max_percent, 50);
}

// The casting thickness: the trainer's estimate of every bulk glass it was fitted to, an interval
// around it, and its domain (Cu, Zr, Fe, Mg, Pd, La... bases have 10 or more bulk glasses; Ce 9,
// Co 8; Os none).
TEST(CastingThickness, EqualsTheTrainersEstimateAndKeepsItsDomain) {
  std::ifstream file(GLASSFORM_TEST_DATA "/dmax_expected.csv");
  std::string line;
  ASSERT_TRUE(std::getline(file, line));
  ASSERT_EQ(line, "formula,log10_dmax_mm");
  std::size_t compared = 0;
  while (std::getline(file, line)) {
    const std::size_t comma = line.find(',');
    const std::string formula = line.substr(0, comma);
    const GlassCriteria k = glass_criteria(parse_formula(formula).parts);
    const std::optional<GlassScore> score = glass_score(k);
    ASSERT_TRUE(score) << formula;
    const double expected = std::strtod(line.c_str() + comma + 1, nullptr);
    EXPECT_NEAR(casting_log10_estimate(*score_features(k), static_cast<float>(score->p_glass)),
                expected, 1e-9)
        << formula;
    const std::optional<CastingEstimate> c = casting_thickness(k, *score);
    ASSERT_TRUE(c) << formula;
    EXPECT_TRUE(c->low_mm <= c->dmax_mm && c->dmax_mm <= c->high_mm) << formula;
    ++compared;
  }
  EXPECT_EQ(compared, bulk_glass_count());
  struct Case {
    const char* formula;
    bool in_domain;
  };
  for (const Case& c : {
           Case{"Cu46Zr46Al8", true},      // a tie: Cu comes first in the table
           Case{"Pd40Cu30Ni10P20", true},  // Pd: 12
           Case{"Ce70Al10Cu20", false},    // Ce: 9
           Case{"Co50Fe20B30", false},     // Co: 8
           Case{"Zr60Cu30Os10", false},    // Os is in no bulk glass
           Case{"Fe70B20Si10", true},
       }) {
    const GlassCriteria k = glass_criteria(parse_formula(c.formula).parts);
    const std::optional<CastingEstimate> e = casting_thickness(k, *glass_score(k));
    ASSERT_TRUE(e) << c.formula;
    EXPECT_EQ(e->in_domain, c.in_domain) << c.formula;
  }
}

}  // namespace
}  // namespace glassform
