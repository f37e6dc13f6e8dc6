// Screening: every candidate alloy of one or more solvents, evaluated with the integers nearest
// the computed coordination numbers, and its compositions ranked. The radius ratio, the
// coordination number and everything the packing needs of a cluster depend only on the
// (solute, solvent) pair, so they are computed once per pair and run.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/element_data.hpp"

namespace glassform {

struct ScreenOptions {
  AlloyKind kind = AlloyKind::kBinary;
  std::vector<const Element*> solvents;  // screened in table order
  std::vector<const Element*> solutes;   // the candidates; a solvent is never its own solute
  bool any_order = false;                // every ordered choice, not only decreasing radius
  bool require_elastic = false;          // drop rows whose elastic constants cannot be computed
  // Rows for which this says false are dropped; none are without it.
  std::function<bool(const AlloyResult&, const Composition&)> keep;
  bool physical_only = false;  // drop the rows that are not is_physical
  bool best_variant = false;   // one row per alloy: its composition that ranks first
  unsigned threads = 1;        // screen_top shares the solvents among this many threads
  // The data the elements come from (each with a radius); null for the built-in tables.
  const ElementData* data = nullptr;
};

// A row's value to rank by, or nothing where the row has none.
using RowKey = std::function<std::optional<double>(const AlloyResult&, const Composition&)>;

// The order of the ranking: a key ascending or descending; without a key, the default:
// mismatch ascending, ties by packing efficiency descending. Ties then go by the symbols in
// row order and the gamma sites. Rows without the key's value go last.
struct SortOrder {
  RowKey key;
  bool descending = false;
  // With a descending key, optionally: a value that no row of the alloy can exceed, cheaper
  // than the keys themselves, so that a screen passes over an alloy none of whose rows can
  // enter its top rows.
  std::function<double(const AlloyResult&)> most;
};

// Whether row (a, ca) comes before row (b, cb).
bool row_before(const SortOrder& order, const AlloyResult& a, const Composition& ca,
                const AlloyResult& b, const Composition& cb);

// The number of candidate alloys.
std::uint64_t candidate_count(const ScreenOptions& options);

// Told now and then how many alloys are done, out of how many.
using ScreenProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Every row in generation order (solvent by solvent, then the solutes), in constant memory.
// With best_variant, `order` picks each alloy's row.
void screen_each(const ScreenOptions& options,
                 const std::function<void(const AlloyResult&, const Composition&)>& visit,
                 const ScreenProgress& progress = {}, const SortOrder& order = {});

struct RankedRow {
  AlloyResult alloy;
  std::size_t composition;    // index into alloy.compositions()
  std::optional<double> key;  // the sort key's value, worked out once
};

// The `top` best rows in `order`, best first, kept in one heap of that size that the threads
// share (each adds at most 256 rows of its own at a time). The rows are the same whatever the
// number of threads: the order is total.
std::vector<RankedRow> screen_top(const ScreenOptions& options, const SortOrder& order,
                                  std::size_t top, const ScreenProgress& progress = {});

}  // namespace glassform
