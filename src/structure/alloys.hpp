// The three alloy calculations as pure functions: elements and chosen integer coordination
// numbers in, every reported quantity out. Nothing here reads or prints.
#pragma once

#include <array>

#include "elastic/elastic.hpp"
#include "elements/elements.hpp"

namespace glassform {

// Three candidate cell edges (in units of the solvent radius) and the cell volume.
struct Cell {
  std::array<float, 3> edges;
  float volume;
};

// A cell from its three candidate edges: the largest one, cubed (ties to the earlier edge).
Cell make_cell(float a1, float a2, float a3);

// One solute-centred cluster: measured ratio, computed coordination number, the integer the
// user chose and the ratio that enters the packing arithmetic.
struct Cluster {
  float measured_ratio;
  float coordination;
  int chosen;
  bool chosen_in_range;  // the chosen integer has an ideal radius ratio
  float ratio_used;      // ideal ratio when in range, else the measured one
};

// A cluster whose ideal radius ratio replaces the measured one when `chosen` is in 4..24.
Cluster ideal_cluster(float solute_radius, float solvent_radius, int chosen);

struct BinaryResult {
  Cluster cluster;
  Cell cell;
  float solvent_atoms;  // per cluster, from the computed coordination number
  float total_atoms;
  float solvent_percent;
  float solute_percent;
  float packing;  // percent
  ElasticResult elastic;
};

BinaryResult compute_binary(const Element& solvent, const Element& solute, int chosen);

// One occupancy of the gamma sites by the smallest solute: 0 empty, 1 half full, 2 full.
struct GammaComposition {
  int occupancy;
  Cell cell;
  float packing;
  float solvent_percent;
  float largest_percent;
  float smallest_percent;
  ElasticResult elastic;
};

struct TernaryResult {
  Cluster largest;
  Cluster smallest;
  float solvent_atoms;  // per cluster, from the chosen integer of the largest solute
  bool largest_too_small;
  bool largest_interchangeable;
  bool smallest_interchangeable;
  std::array<GammaComposition, 3> compositions;
};

TernaryResult compute_ternary(const Element& solvent, const Element& largest,
                              const Element& smallest, int chosen_largest, int chosen_smallest);

struct QuaternaryResult {
  std::array<float, 3> ratios;        // measured, used throughout
  std::array<float, 3> coordination;  // computed; only the first enters the arithmetic
  std::array<int, 3> chosen;          // only reported
  Cell cell;
  float solvent_atoms;
  float total_atoms;
  float solvent_percent;
  float single_percent;  // each of the largest and the next solute
  float smallest_percent;
  float packing;
  ElasticResult elastic;
};

QuaternaryResult compute_quaternary(const Element& solvent, const Element& largest,
                                    const Element& next, const Element& smallest,
                                    const std::array<int, 3>& chosen);

}  // namespace glassform
