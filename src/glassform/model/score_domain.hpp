// Where a composition stands against the labelled compositions compiled into the program: the
// melt-spun set the score was trained on (which of its element pairs the data hold, and how far
// the nearest labelled composition of the same elements lies), and the bulk glasses the casting
// thickness was trained on (how many share a base element, which elements they hold).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "glassform/model/element_data.hpp"
#include "glassform/model/elements.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// The share of the pairs of these elements (by table position) that some labelled
// composition holds together at non-zero amounts; nothing for fewer than two elements.
std::optional<float> known_pair_share(const std::bitset<kElementCount>& elements);

// The largest difference of an element's at.% between this composition (amounts in any unit,
// normalised to 100) and the nearest labelled composition with the same set of elements;
// nothing where the data hold none. Amounts of 0 are left out; an element named twice counts
// once with the sum. The elements are `data`'s; an element the built-in table lacks is in no
// labelled composition.
std::optional<float> nearest_known_percent(std::span<const FormulaPart> parts,
                                           const ElementData& data = ElementData::builtin());

// How many bulk glasses the casting thickness was trained on; how many of them have this base
// element (by table position: the largest share, ties the first in table order); whether an
// element occurs in any.
std::size_t bulk_glass_count();
std::size_t bulk_glasses_with_base(std::size_t element);
bool in_a_bulk_glass(std::size_t element);

// A labelled composition: its shares of some elements, its label and, for a bulk glass, its
// critical casting thickness.
struct LabelledComposition {
  enum class Kind : std::uint8_t { kCrystalline, kGlass, kBulkGlass };
  std::vector<float> percent;  // at.%, one per element asked for (0 where it lacks it)
  Kind kind;
  float dmax_mm;  // a bulk glass's; 0 for the melt-spun ones
};

// The labelled compositions whose every element is one of `elements` (table positions), in the
// data's order, with their shares in the order of `elements`.
std::vector<LabelledComposition> labelled_within(std::span<const std::size_t> elements);

// The labelled compositions, for --version: how many, from where, and a short hash.
std::string_view labelled_data_name();

}  // namespace glassform
