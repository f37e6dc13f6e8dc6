#include "glassform/model/alloys.hpp"

#include <cmath>

#include "glassform/model/alloy_kinds.hpp"
#include "glassform/model/cluster_model.hpp"

namespace glassform {

using LD = long double;

std::string_view kind_name(AlloyKind kind) {
  switch (kind) {
    case AlloyKind::kBinary:
      return "binary";
    case AlloyKind::kTernary:
      return "ternary";
    case AlloyKind::kQuaternary:
      return "quaternary";
  }
  return "";
}

std::size_t element_count(AlloyKind kind) {
  return static_cast<std::size_t>(kind) + 2;
}

std::optional<AlloyKind> kind_named(std::string_view name) {
  for (const AlloyKind kind : {AlloyKind::kBinary, AlloyKind::kTernary, AlloyKind::kQuaternary}) {
    if (kind_name(kind) == name) return kind;
  }
  return std::nullopt;
}

std::optional<AlloyKind> kind_of_size(std::size_t elements) {
  if (elements < 2 || elements > 4) return std::nullopt;
  return static_cast<AlloyKind>(elements - 2);
}

std::string_view gamma_sites_name(int gamma_sites) {
  constexpr std::array<std::string_view, 3> kNames{"empty", "half full", "full"};
  return gamma_sites >= 0 && gamma_sites < 3 ? kNames[static_cast<std::size_t>(gamma_sites)] : "";
}

std::vector<const Element*> all_elements() {
  std::vector<const Element*> all;
  all.reserve(kElements.size());
  for (const Element& e : kElements)
    all.push_back(&e);
  return all;
}

std::string_view role_name(AlloyKind kind, std::size_t position) {
  if (position == 0) return "solvent";
  if (kind == AlloyKind::kBinary) return "solute";
  if (position == 1) return "largest";
  if (kind == AlloyKind::kQuaternary && position == 2) return "next";
  return "smallest";
}

ClusterMeasure measure_cluster(const Element& solute, const Element& solvent) {
  ClusterMeasure m{};
  m.ratio = radius_ratio(solute.radius, solvent.radius);
  m.face = face_parameter(m.ratio);
  m.coordination = coordination_number(m.ratio);
  m.too_small = solute_too_small(m.ratio);
  m.like_solvent = interchangeable_with_solvent(solute.radius, solvent.radius);
  return m;
}

Cell make_cell(float a1, float a2, float a3) {
  return {{a1, a2, a3}, cell_volume(a1, a2, a3)};
}

int nearest_integer(float coordination) {
  return static_cast<int>(std::floor(static_cast<double>(coordination) + 0.5));
}

namespace detail {

ElasticResult estimate_composition(const AlloyResult& alloy, const Composition& composition) {
  std::array<Constituent, 4> constituents{};
  const std::span<const Element* const> elements = alloy.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Element& e = *elements[i];
    constituents[i] = {e.symbol, e.e, e.g, e.b, composition.percent[i]};
  }
  return estimate_elastic(std::span(constituents).first(elements.size()));
}

}  // namespace detail

namespace detail {

Cluster make_cluster(AlloyKind kind, const ClusterMeasure& measure, int chosen) {
  Cluster c{};
  c.measure = measure;
  c.chosen = chosen;
  c.ideal_ratio = ideal_radius_ratio(chosen);
  // The binary and the ternary pack with the ideal ratio of the chosen integer where it has
  // one; the quaternary keeps the measured ratios.
  const bool packs_ideal = kind != AlloyKind::kQuaternary;
  c.ratio_used = packs_ideal ? c.ideal_ratio.value_or(measure.ratio) : measure.ratio;
  return c;
}

std::optional<float> cluster_mismatch(const Cluster& cluster) {
  if (!cluster.ideal_ratio) return std::nullopt;
  return static_cast<float>(
      std::fabs(static_cast<LD>(cluster.measure.ratio) / *cluster.ideal_ratio - 1));
}

PreparedCluster prepare_cluster(const Cluster& cluster) {
  return {cluster_spacing(cluster.ratio_used), cube(cluster.ratio_used),
          solvent_atoms_per_cluster(cluster.measure.coordination),
          solvent_atoms_per_cluster(cluster.chosen)};
}

void complete_alloy(AlloyResult& alloy, std::span<const PreparedCluster> prepared) {
  // A cluster without an ideal ratio has no mismatch, and neither then has the alloy: the
  // largest of the others would flatter it.
  alloy.mismatch.reset();
  bool all_matched = true;
  for (const Cluster& c : alloy.clusters()) {
    const std::optional<float> m = cluster_mismatch(c);
    all_matched = all_matched && m.has_value();
    if (m && (!alloy.mismatch || *m > *alloy.mismatch)) alloy.mismatch = m;
  }
  if (!all_matched) alloy.mismatch.reset();
  switch (alloy.kind) {
    case AlloyKind::kBinary:
      compute_binary_compositions(alloy, prepared);
      break;
    case AlloyKind::kTernary:
      compute_ternary_compositions(alloy, prepared);
      break;
    case AlloyKind::kQuaternary:
      compute_quaternary_compositions(alloy, prepared);
      break;
  }
}

}  // namespace detail

bool is_physical(const AlloyResult& alloy, const Composition& composition) {
  constexpr float kMostPacking = 100;
  return alloy.mismatch.has_value() && composition.packing <= kMostPacking;
}

std::optional<AlloyResult> compute_alloy(std::span<const Element* const> elements,
                                         std::span<const ClusterMeasure> measures,
                                         std::span<const int> chosen) {
  const std::optional<AlloyKind> kind = kind_of_size(elements.size());
  if (!kind || measures.size() != elements.size() - 1 || chosen.size() != measures.size()) {
    return std::nullopt;
  }
  for (const int k : chosen) {
    if (k < 1) return std::nullopt;
  }
  AlloyResult alloy{};
  alloy.kind = *kind;
  std::array<detail::PreparedCluster, 3> prepared{};
  for (std::size_t i = 0; i < elements.size(); ++i)
    alloy.element_slots[i] = elements[i];
  for (std::size_t i = 0; i < measures.size(); ++i) {
    alloy.cluster_slots[i] = detail::make_cluster(alloy.kind, measures[i], chosen[i]);
    prepared[i] = detail::prepare_cluster(alloy.cluster_slots[i]);
  }
  detail::complete_alloy(alloy, std::span(prepared).first(measures.size()));
  return alloy;
}

namespace {

template <std::size_t N>
std::optional<AlloyResult> measure_and_compute(const std::array<const Element*, N>& elements,
                                               const std::array<int, N - 1>& chosen) {
  std::array<ClusterMeasure, N - 1> measures{};
  for (std::size_t i = 0; i + 1 < N; ++i)
    measures[i] = measure_cluster(*elements[i + 1], *elements[0]);
  return compute_alloy(elements, measures, chosen);
}

}  // namespace

std::optional<AlloyResult> compute_binary(const Element& solvent, const Element& solute,
                                          int chosen) {
  return measure_and_compute<2>({&solvent, &solute}, {chosen});
}

std::optional<AlloyResult> compute_ternary(const Element& solvent, const Element& largest,
                                           const Element& smallest, int chosen_largest,
                                           int chosen_smallest) {
  return measure_and_compute<3>({&solvent, &largest, &smallest}, {chosen_largest, chosen_smallest});
}

std::optional<AlloyResult> compute_quaternary(const Element& solvent, const Element& largest,
                                              const Element& next, const Element& smallest,
                                              const std::array<int, 3>& chosen) {
  return measure_and_compute<4>({&solvent, &largest, &next, &smallest}, chosen);
}

}  // namespace glassform
