// Operations of the solute-centred cluster model shared by the three alloy calculations.
//
// Precision: every stored quantity is a float; arithmetic between stores is carried in
// long double; sin, acos, sqrt and pow work in double. The reported digits depend on this.
#pragma once

#include <optional>

namespace glassform {

// Solute radius over solvent radius, rounded to single precision.
float radius_ratio(float solute_radius, float solvent_radius);

// Number of edges of a cluster face: 3, 4 or 5.
int face_parameter(float ratio);

// Coordination number of a solute-centred cluster, rounded to single precision.
float coordination_number(float ratio);

// Ideal radius ratio for an integer coordination number from 4 to 24; nothing otherwise.
std::optional<float> ideal_radius_ratio(int coordination);

// Whether a first-cluster ratio is small enough to warrant a warning.
bool solute_too_small(float ratio);

// Solvent atoms per cluster: N / (12/N + 1), rounded to single precision.
float solvent_atoms_per_cluster(long double coordination);

// Cluster spacing term sqrt((R + 1)^2 - 4/3), in double precision.
double cluster_spacing(float ratio);

// Candidate cell edge `multiplier * spacing`, rounded to single precision.
float cell_edge(double multiplier, long double spacing);

// Cube of the largest of three candidate cell edges (ties to the earlier edge).
float cell_volume(float a1, float a2, float a3);

// Packing efficiency in percent of atom volume `atoms` (in solvent-radius units) in `volume`.
float packing_efficiency(long double atoms, float volume);

// Whether a solute's radius lies within 2 % of the solvent's radius.
bool interchangeable_with_solvent(float solute_radius, float solvent_radius);

// x^3 with the library power function, as the packing sums take it.
double cube(float x);

}  // namespace glassform
