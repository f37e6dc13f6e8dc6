// The arithmetic of each alloy kind, given its elements and clusters; used by compute_alloy.
#pragma once

#include "glassform/model/alloys.hpp"

namespace glassform::detail {

// What the packing arithmetic needs of one cluster besides the cluster itself: these depend
// only on the cluster (its ratio and integers), so a screen computes them once per pair.
struct PreparedCluster {
  double spacing;              // cluster_spacing(ratio_used)
  double cube;                 // cube(ratio_used)
  float solvent_atoms;         // solvent_atoms_per_cluster(computed coordination number)
  float solvent_atoms_chosen;  // solvent_atoms_per_cluster(chosen integer)
};

PreparedCluster prepare_cluster(const Cluster& cluster);

// Each fills the compositions of `alloy`, whose elements and clusters are already set, from
// the clusters' prepared values.
void compute_binary_compositions(AlloyResult& alloy, std::span<const PreparedCluster> prepared);
void compute_ternary_compositions(AlloyResult& alloy, std::span<const PreparedCluster> prepared);
void compute_quaternary_compositions(AlloyResult& alloy, std::span<const PreparedCluster> prepared);

// The cluster of a measure and a chosen integer, for an alloy of `kind`.
Cluster make_cluster(AlloyKind kind, const ClusterMeasure& measure, int chosen);

// The largest |R / R_ideal - 1| of one cluster, when its integer has an ideal ratio.
std::optional<float> cluster_mismatch(const Cluster& cluster);

// Fills the compositions of `alloy` (elements and clusters set) and its mismatch.
void complete_alloy(AlloyResult& alloy, std::span<const PreparedCluster> prepared);

// The elastic estimate of one composition, its constituents in element order.
ElasticResult estimate_composition(const AlloyResult& alloy, const Composition& composition);

}  // namespace glassform::detail
