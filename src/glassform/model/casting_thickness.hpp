// An estimate of the critical casting thickness Dmax (the largest diameter, in mm, that casts
// fully amorphous) of a composition, if it forms a bulk glass at all: gradient-boosted regression
// trees of log10 Dmax over the glass-formation score's inputs and p_glass, trained offline on the
// bulk glasses of data/ward2018_metallic_glasses.csv by tools/train_gfa_score.py, which writes
// them to casting_thickness_trees.inc. For a composition that forms no glass the number means
// nothing: it is read beside p_glass, never alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "glassform/model/criteria.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/model/score_domain.hpp"  // bulk_glass_count, bulk_glasses_with_base

namespace glassform {

struct CastingEstimate {
  double dmax_mm;  // the estimate, before it is stored
  // The 80 % interval: the estimate times the 10th and 90th percentiles of the factors by which
  // the compositions of chemical systems held out from training missed.
  double low_mm;
  double high_mm;
  // False where the base element (the largest share) has fewer than 10 bulk glasses in the
  // data, an element occurs in none, or the inputs hold a user's element values.
  bool in_domain;
};

// The estimate for a composition with these criteria and this score; nothing where the score's
// inputs are unknown.
std::optional<CastingEstimate> casting_thickness(const GlassCriteria& criteria,
                                                 const GlassScore& score);

// log10 of the estimate in mm for the score's inputs and p_glass (as stored, a float).
double casting_log10_estimate(const ScoreFeatures& features, float p_glass);

// What the model is, for --version, with a short hash of its table.
std::string_view casting_model_name();

}  // namespace glassform
