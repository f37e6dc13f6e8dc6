#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"

namespace glassform {

Cluster ideal_cluster(float solute_radius, float solvent_radius, int chosen) {
  Cluster cluster{};
  cluster.measured_ratio = radius_ratio(solute_radius, solvent_radius);
  cluster.coordination = coordination_number(cluster.measured_ratio);
  cluster.chosen = chosen;
  const std::optional<float> ideal = ideal_radius_ratio(chosen);
  cluster.chosen_in_range = ideal.has_value();
  cluster.ratio_used = ideal.value_or(cluster.measured_ratio);
  return cluster;
}

Cell make_cell(float a1, float a2, float a3) {
  return {{a1, a2, a3}, cell_volume(a1, a2, a3)};
}

}  // namespace glassform
