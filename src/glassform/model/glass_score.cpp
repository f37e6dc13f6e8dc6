#include "glassform/model/glass_score.hpp"

#include "glassform/model/complete_trees.hpp"
#include "glassform/model/score_domain.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

namespace glassform {

namespace {

#include "glassform/model/glass_score_ensemble.inc"
#include "glassform/model/glass_score_trees.inc"

static_assert(kFeatureNames == kScoreFeatureNames, "the trees were trained on other features");

// Every tree is stored complete to kTreeDepth levels, breadth first (complete_trees.hpp).
constexpr std::size_t kInnerNodes = (std::size_t{1} << kTreeDepth) - 1;
constexpr std::size_t kLeaves = std::size_t{1} << kTreeDepth;
static_assert(kNodeFeature.size() == kTreeCount * kInnerNodes);
static_assert(kNodeThreshold.size() == kTreeCount * kInnerNodes);
static_assert(kLeafValue.size() == kTreeCount * kLeaves);

constexpr auto kNodes = trees::nodes_of(kNodeThreshold, kNodeFeature);
static_assert(kEnsembleFeature.size() == kEnsembleModels * kEnsembleTrees * kInnerNodes);
static_assert(kEnsembleLeaf.size() == kEnsembleModels * kEnsembleTrees * kLeaves);
static_assert(kEnsembleTrees % 10 == 0);

constexpr auto kEnsembleNodes = trees::nodes_of(kEnsembleThreshold, kEnsembleFeature);

// The calibration map: linear between knots of strictly increasing score and value (and
// beyond the first and last, along their segments), or Platt scaling where there are none.
constexpr bool strictly_increasing(std::span<const double> values) {
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (!(values[i - 1] < values[i])) return false;
  }
  return true;
}
static_assert(kCalibrationScore.size() == kCalibrationValue.size());
static_assert(!kCalibrationIsotonic || kCalibrationScore.size() >= 2);
static_assert(strictly_increasing(kCalibrationScore) && strictly_increasing(kCalibrationValue),
              "the calibration would change the order of two compositions");

}  // namespace

std::optional<ScoreFeatures> score_features(const GlassCriteria& criteria) {
  const GlassCriteria& k = criteria;
  if (k.element_count < 2 || !k.dh_mix || !k.log10_omega || !k.min_pair || !k.max_pair ||
      !k.delta_pct || !k.tm || !k.delta_chi || !k.valence) {
    return std::nullopt;
  }
  ScoreFeatures x{*k.delta_pct,
                  *k.dh_mix,
                  k.ds_mix,
                  *k.tm,
                  *k.log10_omega,
                  k.min_pair->kj_per_mol,
                  k.max_pair->kj_per_mol,
                  *k.delta_chi,
                  *k.valence,
                  static_cast<float>(k.element_count),
                  k.max_percent};
  std::size_t at = 11;
  for (const std::optional<PropertyStatistics>& p : k.statistics) {
    if (!p) return std::nullopt;
    for (const float v : {p->mean, p->deviation, p->min, p->max, p->range})
      x[at++] = v;
  }
  return x;
}

double calibrated_probability(double probability) {
  if constexpr (!kCalibrationIsotonic) {
    const double log_odds = std::log(probability / (1 - probability));
    return 1.0 / (1.0 + std::exp(-(kPlattSlope * log_odds + kPlattIntercept)));
  } else {
    const std::span<const double> x = kCalibrationScore;
    const std::span<const double> y = kCalibrationValue;
    // The segment [x[i], x[i + 1]] that holds the probability, or the first or last one.
    const auto above = std::upper_bound(x.begin() + 1, x.end() - 1, probability);
    const auto i = static_cast<std::size_t>(above - x.begin()) - 1;
    const double value = y[i] + (probability - x[i]) * ((y[i + 1] - y[i]) / (x[i + 1] - x[i]));
    return std::clamp(value, 0.0, 1.0);
  }
}

double score_probability(const ScoreFeatures& features) {
  // Trees are walked a few at a time, which lets the processor overlap their independent
  // loads; the leaves, each already scaled by the learning rate, are summed tree by tree in
  // the trainer's order.
  static_assert(kTreeCount % 10 == 0);
  const double raw =
      trees::add_trees<kTreeDepth>(kInitialLogOdds, kNodes, kLeafValue, 0, kTreeCount, features);
  return 1.0 / (1.0 + std::exp(-raw));
}

double score_spread(const ScoreFeatures& features) {
  std::array<double, kEnsembleModels> p{};
  double sum = 0;
  for (std::size_t m = 0; m < kEnsembleModels; ++m) {
    const double raw =
        trees::add_trees<kTreeDepth>(kEnsembleInitialLogOdds[m], kEnsembleNodes, kEnsembleLeaf,
                                     m * kEnsembleTrees, kEnsembleTrees, features);
    p[m] = calibrated_probability(1.0 / (1.0 + std::exp(-raw)));
    sum += p[m];
  }
  const double mean = sum / static_cast<double>(kEnsembleModels);
  double squares = 0;
  for (const double x : p)
    squares += (x - mean) * (x - mean);
  return std::sqrt(squares / static_cast<double>(kEnsembleModels));
}

std::string_view score_spread_name() {
  return kEnsembleName;
}

std::optional<GlassScore> glass_score(const GlassCriteria& criteria) {
  const std::optional<ScoreFeatures> features = score_features(criteria);
  if (!features) return std::nullopt;
  const double trees = score_probability(*features);
  return GlassScore{calibrated_probability(trees), trees,
                    criteria.user_values || !is_inside_score_data(criteria.elements)};
}

bool is_inside_score_data(const std::bitset<kElementCount>& elements) {
  // Every element and every pair of elements occurs in some labelled composition (the trees
  // saw only binaries and ternaries, but a quaternary of known pairs is no farther from them
  // than its ternaries).
  if (known_pair_share(elements) != 1.0F) return false;
  for (std::size_t i = 0; i < kElementCount; ++i) {
    if (elements[i] && !kTrainedElement[i]) return false;
  }
  return true;
}

std::string_view score_model_name() {
  return kModelName;
}

}  // namespace glassform
