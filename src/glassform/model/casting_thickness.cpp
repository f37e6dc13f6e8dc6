#include "glassform/model/casting_thickness.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "glassform/model/complete_trees.hpp"
#include "glassform/model/score_domain.hpp"

namespace glassform {

namespace {

#include "glassform/model/casting_thickness_trees.inc"

constexpr std::size_t kInnerNodes = (std::size_t{1} << kDmaxTreeDepth) - 1;
constexpr std::size_t kLeaves = std::size_t{1} << kDmaxTreeDepth;
static_assert(kDmaxNodeFeature.size() == kDmaxTreeCount * kInnerNodes);
static_assert(kDmaxLeafValue.size() == kDmaxTreeCount * kLeaves);
static_assert(kDmaxTreeCount % 10 == 0);
static_assert(kDmaxLowOffset <= 0 && kDmaxHighOffset >= 0, "the interval must hold the estimate");

// The model's inputs: the score's, then p_glass.
using DmaxFeatures = std::array<float, kScoreFeatureCount + 1>;
static_assert(kDmaxFeatureNames.size() == kScoreFeatureCount + 1);
static_assert(kDmaxFeatureNames.back() == "p_glass");
constexpr bool score_inputs_first() {
  for (std::size_t i = 0; i < kScoreFeatureCount; ++i) {
    if (kDmaxFeatureNames[i] != kScoreFeatureNames[i]) return false;
  }
  return true;
}
static_assert(score_inputs_first(), "the casting model was trained on other features");

constexpr auto kNodes = trees::nodes_of(kDmaxNodeThreshold, kDmaxNodeFeature);

}  // namespace

double casting_log10_estimate(const ScoreFeatures& features, float p_glass) {
  DmaxFeatures x{};
  std::copy(features.begin(), features.end(), x.begin());
  x.back() = p_glass;
  return trees::add_trees<kDmaxTreeDepth>(kDmaxInitial, kNodes, kDmaxLeafValue, 0, kDmaxTreeCount,
                                          x);
}

std::optional<CastingEstimate> casting_thickness(const GlassCriteria& criteria,
                                                 const GlassScore& score) {
  const std::optional<ScoreFeatures> features = score_features(criteria);
  if (!features) return std::nullopt;
  const double log10_mm = casting_log10_estimate(*features, static_cast<float>(score.p_glass));
  // The trees were trained on the built-in element values: a user's are outside their domain.
  bool in_domain =
      !criteria.user_values && bulk_glasses_with_base(criteria.base) >= kLeastBaseGlasses;
  for (std::size_t i = 0; i < kElementCount; ++i) {
    if (criteria.elements[i] && !in_a_bulk_glass(i)) in_domain = false;
  }
  return CastingEstimate{std::pow(10.0, log10_mm), std::pow(10.0, log10_mm + kDmaxLowOffset),
                         std::pow(10.0, log10_mm + kDmaxHighOffset), in_domain};
}

std::string_view casting_model_name() {
  return kDmaxName;
}

}  // namespace glassform
