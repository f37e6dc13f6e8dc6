// A glass-formation score: the probability p_glass in [0, 1] that a composition of 2 to 16
// elements forms a glass by melt spinning, from gradient-boosted trees over physical composition
// features (the composition criteria and statistics of element properties), calibrated so that of
// the compositions scored about 0.3, about 30 % are glasses. The trees and the calibration map are
// fitted offline to the labelled compositions of data/glass_compositions_ward2016.csv by
// tools/train_gfa_score.py, which writes them to glass_score_trees.inc; docs/validation.md gives
// the score's measured skill.
#pragma once

#include <array>
#include <bitset>
#include <optional>
#include <string_view>

#include "glassform/model/criteria.hpp"

namespace glassform {

// The score's inputs, in the trees' order; the names are the output fields they are printed
// as, so that the trainer reads the very values the program uses.
inline constexpr std::size_t kScoreFeatureCount = 31;
inline constexpr std::array<std::string_view, kScoreFeatureCount> kScoreFeatureNames{
    "delta_pct",
    "dH_mix_kJ/mol",
    "dS_mix_J/molK",
    "Tm_K",
    "log10_Omega",
    "min_dH_pair_kJ/mol",
    "max_dH_pair_kJ/mol",
    "delta_chi",
    "valence_electrons",
    "n_elements",
    "max_at%",
    "mendeleev_number_mean",
    "mendeleev_number_dev",
    "mendeleev_number_min",
    "mendeleev_number_max",
    "mendeleev_number_range",
    "group_mean",
    "group_dev",
    "group_min",
    "group_max",
    "group_range",
    "period_mean",
    "period_dev",
    "period_min",
    "period_max",
    "period_range",
    "covalent_radius_mean_pm",
    "covalent_radius_dev_pm",
    "covalent_radius_min_pm",
    "covalent_radius_max_pm",
    "covalent_radius_range_pm"};

using ScoreFeatures = std::array<float, kScoreFeatureCount>;

// The features of these criteria; nothing where one cannot be computed (a pair without a
// mixing enthalpy, fewer than two elements). Nothing is ever imputed.
std::optional<ScoreFeatures> score_features(const GlassCriteria& criteria);

struct GlassScore {
  // The calibrated probability, before it is stored: the trainer's to 1e-9.
  double p_glass;
  // The trees' probability before calibration, by which rows are ranked: the calibration map
  // keeps their order but ties where it is clipped at 0 or 1.
  double uncalibrated;
  // An element that no labelled composition holds, a pair of elements that none holds
  // together (known_pair_share below 1), or a feature read from a user's element values.
  bool extrapolated;
};

// The score of a composition, or nothing where a feature cannot be computed.
std::optional<GlassScore> glass_score(const GlassCriteria& criteria);

// Whether a composition of these elements (by table position) lies inside the score's data:
// every element and every pair of them held by some labelled composition. `extrapolated` is
// its negation, or a user's values.
bool is_inside_score_data(const std::bitset<kElementCount>& elements);

// The probability of the trees for these features, before calibration.
double score_probability(const ScoreFeatures& features);

// The calibrated probability of the trees' probability: the calibration map, fitted to the
// scores of compositions whose chemical system the trees did not see. Strictly increasing,
// except where it is clipped at 0 and 1.
double calibrated_probability(double probability);

// The spread of the score for these features: the standard deviation (divided by the number of
// models) of the calibrated probabilities of five smaller models, each trained without one
// fifth of the chemical systems.
double score_spread(const ScoreFeatures& features);

// What the spread's models are, for --version, with a short hash of their table.
std::string_view score_spread_name();

// What the score is, for --version and the documentation: the model, its training data and a
// short hash of its table.
std::string_view score_model_name();

}  // namespace glassform
