// What a screen is asked for, read the same way by the command line and the browser: the
// elements left out of the candidates, the order, and the line that states them.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "glassform/model/screening.hpp"
#include "glassform/report/table/fields.hpp"

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
// The built-in elements of `data` (each with a radius) but the excluded ones: an element a user
// adds is a candidate only where named.
std::vector<const Element*> all_elements_but(const Exclusion& exclusion,
                                             const ElementData& data = ElementData::builtin());

// The most threads a screen uses, and the most rows --top (or Python's top=) keeps: each kept
// row costs about 1.25 KB, so 100,000 take about 125 MB, once whatever the number of threads.
inline constexpr unsigned kMostScreenThreads = 16;
inline constexpr long long kMostScreenTop = 100000;

// The threads a screen uses on this machine: its cores, at most kMostScreenThreads (one in the
// page, which has none).
unsigned screen_threads();

// The score descending where the key is empty.
inline constexpr std::string_view kDefaultSort = "default";

// The elements a screen's rows can hold, each once, in table order: the solvents and the
// solutes.
std::vector<const Element*> screen_candidates(std::span<const Element* const> solvents,
                                              std::span<const Element* const> solutes);

// The columns that a screen's rows carry, whatever the layout: every alloy field and, for each
// of the candidate elements, its share columns (x_Cu_at%, w_Cu_wt%, m_Cu_g).
std::vector<Column> screen_columns(std::span<const Element* const> candidates);

// The order of a sort key: a numeric column of the screen's rows (screen_columns), descending
// with a leading '-'; "mismatch" is the cluster-packing order (the mismatch ascending, ties by
// the packing efficiency descending). An error text naming the keys for anything else.
std::variant<SortOrder, std::string> parse_sort(std::string key,
                                                std::span<const Element* const> candidates = {});

// The rows that meet every condition NAME OP VALUE of `texts` (row_filter) on the screen's
// columns; nothing without one. An error text, "CONDITION": why, for a condition that cannot
// be read.
std::variant<std::function<bool(const AlloyResult&, const Composition&)>, std::string> parse_where(
    const std::vector<std::string>& texts, std::span<const Element* const> candidates = {});

// The text output's first line: what was left out.
std::string screen_first_line(const Exclusion& exclusion, bool keep_unphysical,
                              std::string_view sort);

}  // namespace glassform
