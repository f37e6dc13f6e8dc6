// What a screen is asked for, read the same way by the command line and the browser: the
// elements left out of the candidates, the order, and the line that states them.
#pragma once

#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "model/screening.hpp"

namespace glassform {

// The elements that a screen leaves out of `all`, and how the text output names them.
struct Exclusion {
  std::vector<const Element*> elements;
  std::string names;  // "radioactive,gases", or "none"
};

// Named sets (kElementSets) and symbols; none for the default sets, {"none"} for no element.
// An error text for anything else.
std::variant<Exclusion, std::string> parse_exclusion(std::vector<std::string> items);

bool excludes(const Exclusion& exclusion, const Element* element);

// Every element that the exclusion leaves, in table order.
std::vector<const Element*> all_elements_but(const Exclusion& exclusion);

// The score descending where the key is empty.
inline constexpr std::string_view kDefaultSort = "-p_glass";

// The order of a sort key: a numeric field of the alloy rows, descending with a leading '-';
// "mismatch" is the cluster-packing order (the mismatch ascending, ties by the packing
// efficiency descending). An error text naming the keys for anything else.
std::variant<SortOrder, std::string> parse_sort(std::string key);

// The rows that meet every condition NAME OP VALUE of `texts` (row_filter); nothing without
// one. An error text, "CONDITION": why, for a condition that cannot be read.
std::variant<std::function<bool(const AlloyResult&, const Composition&)>, std::string> parse_where(
    const std::vector<std::string>& texts);

// The text output's first line: what was left out.
std::string screen_first_line(const Exclusion& exclusion, bool keep_unphysical);

}  // namespace glassform
