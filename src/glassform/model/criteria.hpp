// Composition criteria of glass formation for any composition: atomic size mismatch, mixing
// enthalpy and entropy, mean melting point, the Omega parameter, the extreme pair enthalpies
// and Inoue's three empirical rules. Pure functions of the element amounts.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/element_data.hpp"
#include "glassform/model/elements.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// Two elements, the earlier one in table order first.
struct ElementPair {
  const Element* a;
  const Element* b;
};

// "Cu-Zr".
std::string pair_name(const ElementPair& pair);

struct PairEnthalpy {
  ElementPair pair;
  float kj_per_mol;
};

// Statistics of one element property over a composition: the mean by atomic fraction, the
// mean absolute deviation from it (by fraction), the least and the largest value and their
// difference.
struct PropertyStatistics {
  float mean = 0;
  float deviation = 0;
  float min = 0;
  float max = 0;
  float range = 0;
};

// The element properties whose statistics are inputs of the glass-formation score.
enum class ElementStatistic : std::uint8_t { kMendeleevNumber, kGroup, kPeriod, kCovalentRadius };
inline constexpr std::size_t kElementStatisticCount = 4;

// A quantity that needs an element value the data lacks (a user's element without it) is
// absent.
struct GlassCriteria {
  std::optional<float> delta_pct;        // atomic size mismatch, %
  std::optional<float> dh_mix;           // mixing enthalpy, kJ/mol
  float ds_mix = 0;                      // ideal mixing entropy, J/(mol K)
  std::optional<float> tm;               // mean melting point, K
  std::optional<float> omega;            // Tm dS / |dH|; absent where dH or Tm is, or dH is 0
  std::optional<PairEnthalpy> min_pair;  // the lowest pair enthalpy
  std::optional<PairEnthalpy> max_pair;  // the highest
  // log10 of Tm dS / max(|dH|, 0.1 kJ/mol): finite wherever dH is known and there are two
  // elements or more (and Tm known).
  std::optional<float> log10_omega;
  // Electronegativity difference sqrt(sum c_i (chi_i - mean chi)^2).
  std::optional<float> delta_chi;
  std::optional<float> valence;  // mean number of valence electrons (Magpie NValence)
  int element_count = 0;         // elements with a non-zero amount
  // Which they are, by table position (a user's added element is counted, not marked).
  std::bitset<kElementCount> elements;
  float max_percent = 0;  // the largest atomic percent
  // The base element: the one with the largest share (ties: the first in table order), by
  // table position; meaningful with one element or more.
  std::size_t base = 0;
  // By ElementStatistic: Mendeleev number, group, period, covalent radius (pm).
  std::array<std::optional<PropertyStatistics>, kElementStatisticCount> statistics{};
  // Inoue's rules: at least three elements at 5 at.% or more; the largest and the smallest
  // radius of the main three (the three largest fractions, ties in table order) differ by more
  // than 12 % of the smaller; every pair of the main three mixes with a negative enthalpy.
  // False with fewer than three elements.
  bool inoue_elements = false;
  std::optional<bool> inoue_size;      // absent where a radius of the main three is unknown
  std::optional<bool> inoue_enthalpy;  // absent where a pair of the main three has no value
  // The pairs without a mixing enthalpy; with any, every quantity that needs them is absent.
  std::vector<ElementPair> missing_pairs;
  // Whether a value the criteria read is not the built-in tables' (a user's changed or added
  // element or pair): the score and the casting thickness were trained on the built-in ones.
  bool user_values = false;
};

// The criteria of the composition of these amounts (in any unit: they are normalised). An
// element with amount 0 is left out; an element named twice counts once with the sum. The
// elements are `data`'s.
GlassCriteria glass_criteria(std::span<const FormulaPart> parts,
                             const ElementData& data = ElementData::builtin());

// The pairs of these elements without a mixing enthalpy (each pair once, the earlier element in
// table order first; an element named twice is one element).
std::vector<ElementPair> missing_pairs(std::span<const Element* const> elements,
                                       const ElementData& data = ElementData::builtin());

// The criteria of one composition of a model alloy, with the alloy's element data.
GlassCriteria glass_criteria(const AlloyResult& alloy, const Composition& composition);

// The data of a model alloy's elements.
inline const ElementData& data_of(const AlloyResult& alloy) {
  return alloy.data != nullptr ? *alloy.data : ElementData::builtin();
}

}  // namespace glassform
