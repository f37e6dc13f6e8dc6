// The three alloy calculations as pure functions: elements and chosen integer coordination
// numbers in, every reported quantity out, in one shape for all three kinds so that a report
// writer can print any of them. Nothing here reads or prints.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "glassform/model/elastic.hpp"
#include "glassform/model/elements.hpp"

namespace glassform {

class ElementData;

enum class AlloyKind { kBinary, kTernary, kQuaternary };

// "binary", "ternary" or "quaternary".
std::string_view kind_name(AlloyKind kind);

// Number of elements of an alloy of this kind, solvent included: 2, 3 or 4.
std::size_t element_count(AlloyKind kind);

// The kind of its name (kind_name), or nothing.
std::optional<AlloyKind> kind_named(std::string_view name);

// The kind of an alloy of 2, 3 or 4 elements.
std::optional<AlloyKind> kind_of_size(std::size_t elements);

// "empty", "half full" or "full": the occupancy of the gamma sites of a ternary composition.
std::string_view gamma_sites_name(int gamma_sites);

// Every element of the table, in table order.
std::vector<const Element*> all_elements();

// The role of the element at `position` (0 is the solvent): "solvent", "solute", "largest",
// "next" or "smallest".
std::string_view role_name(AlloyKind kind, std::size_t position);

// What the two radii alone say about a solute-centred cluster.
struct ClusterMeasure {
  float ratio;         // solute radius over solvent radius
  int face;            // face parameter: 3, 4 or 5
  float coordination;  // computed coordination number
  bool too_small;      // ratio below 0.225
  bool like_solvent;   // radius within 2 % of the solvent's
};

ClusterMeasure measure_cluster(const Element& solute, const Element& solvent);

// One solute-centred cluster with the integer coordination number chosen for it.
struct Cluster {
  ClusterMeasure measure;
  int chosen;
  std::optional<float> ideal_ratio;  // of the chosen integer, when it lies in 4..24
  float ratio_used;                  // the ratio in the packing arithmetic
};

// Three candidate cell edges (in units of the solvent radius) and the cell volume.
struct Cell {
  std::array<float, 3> edges;
  float volume;
};

// A cell from its three candidate edges: the largest one, cubed (ties to the earlier edge).
Cell make_cell(float a1, float a2, float a3);

// One predicted composition. The ternary has three, one for each occupancy of the gamma
// sites by the smallest solute; the binary and the quaternary have one.
struct Composition {
  std::optional<int> gamma_sites;  // ternary: 0 empty, 1 half full, 2 full
  std::array<float, 4> percent{};  // atomic percent of each element, in element order
  float solvent_atoms;             // per structural unit
  float total_atoms;               // per structural unit: the divisor of the percentages
  Cell cell;
  float packing;  // packing efficiency, percent
  ElasticResult elastic;
};

struct AlloyResult {
  AlloyKind kind;
  std::array<const Element*, 4> element_slots{};  // solvent first
  std::array<Cluster, 3> cluster_slots{};         // one per solute, in solute order
  std::array<Composition, 3> composition_slots{};
  std::size_t composition_count = 0;
  // The largest |R / R_ideal - 1| over the clusters (R measured, R_ideal that of the chosen
  // integer); nothing when any chosen integer lacks an ideal ratio.
  std::optional<float> mismatch;
  // The data the elements come from, for what is worked out from the alloy later (its
  // criteria); null for the built-in tables. Set by whoever took the elements from other data.
  const ElementData* data = nullptr;

  [[nodiscard]] std::span<const Element* const> elements() const {
    return std::span(element_slots).first(element_count(kind));
  }
  [[nodiscard]] std::span<const Cluster> clusters() const {
    return std::span(cluster_slots).first(element_count(kind) - 1);
  }
  [[nodiscard]] std::span<const Composition> compositions() const {
    return std::span(composition_slots).first(composition_count);
  }
};

// Whether a composition is physically possible in the model: every cluster has an ideal radius
// ratio (its integer from 4 to 24, so the mismatch is known) and the packing efficiency is at
// most 100 %.
bool is_physical(const AlloyResult& alloy, const Composition& composition);

// Every function returns nothing when a chosen integer is below 1: a coordination number
// counts neighbours. Integers above 24 (or from 1 to 3) have no ideal radius ratio; the binary
// and ternary then use the measured ratio, as the quaternary always does.

// `elements` holds 2, 3 or 4 elements, solvent first, then the solutes in solute order;
// `measures` the clusters of the solutes, as `measure_cluster` gives them; `chosen` one
// integer per solute.
std::optional<AlloyResult> compute_alloy(std::span<const Element* const> elements,
                                         std::span<const ClusterMeasure> measures,
                                         std::span<const int> chosen);

std::optional<AlloyResult> compute_binary(const Element& solvent, const Element& solute,
                                          int chosen);
std::optional<AlloyResult> compute_ternary(const Element& solvent, const Element& largest,
                                           const Element& smallest, int chosen_largest,
                                           int chosen_smallest);
std::optional<AlloyResult> compute_quaternary(const Element& solvent, const Element& largest,
                                              const Element& next, const Element& smallest,
                                              const std::array<int, 3>& chosen);

// The integer nearest a computed coordination number, halves rounded up: what a user of the
// dialogue types.
int nearest_integer(float coordination);

}  // namespace glassform
