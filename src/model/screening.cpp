#include "model/screening.hpp"

#include <algorithm>
#include <array>
#include <queue>

#include "model/alloy_kinds.hpp"

namespace glassform {

namespace {

std::optional<double> value_of(std::optional<float> v) {
  return v ? std::optional<double>(*v) : std::nullopt;
}

// Everything a screen needs of one (solute, solvent) pair.
struct PairEntry {
  Cluster cluster;
  detail::PreparedCluster prepared;
};

// The pairs of the solvent being screened, by the solute's table position.
class PairCache {
 public:
  PairCache(AlloyKind kind, const Element& solvent) {
    for (std::size_t i = 0; i < kElementCount; ++i) {
      const ClusterMeasure m = measure_cluster(kElements[i], solvent);
      entries_[i].cluster = detail::make_cluster(kind, m, nearest_integer(m.coordination));
      entries_[i].prepared = detail::prepare_cluster(entries_[i].cluster);
    }
  }
  [[nodiscard]] const PairEntry& operator[](const Element* solute) const {
    return entries_[static_cast<std::size_t>(solute - kElements.data())];
  }

 private:
  std::array<PairEntry, kElementCount> entries_{};
};

// The candidate solutes of one solvent: the list without the solvent, in decreasing radius
// order unless every ordered choice is wanted (then in table order).
std::vector<const Element*> solutes_for(const ScreenOptions& options, const Element* solvent) {
  std::vector<const Element*> out;
  for (const Element* e : options.solutes) {
    if (e != solvent) out.push_back(e);
  }
  if (!options.any_order) {
    std::sort(out.begin(), out.end(),
              [](const Element* a, const Element* b) { return a->radius > b->radius; });
  }
  return out;
}

std::uint64_t choices(std::uint64_t n, std::size_t k, bool ordered) {
  std::uint64_t count = 1;
  for (std::uint64_t i = 0; i < k; ++i) {
    if (n < k) return 0;
    count *= n - i;
  }
  if (!ordered) {
    for (std::uint64_t i = 2; i <= k; ++i)
      count /= i;
  }
  return count;
}

std::vector<const Element*> sorted_solvents(const ScreenOptions& options) {
  std::vector<const Element*> solvents = options.solvents;
  std::sort(solvents.begin(), solvents.end());  // table order: the table is one array
  solvents.erase(std::unique(solvents.begin(), solvents.end()), solvents.end());
  return solvents;
}

// Calls visit(alloy) for every candidate alloy, in generation order, on one scratch result.
template <typename Visit>
void enumerate(const ScreenOptions& options, const ScreenProgress& progress, Visit&& visit) {
  const std::size_t k = element_count(options.kind) - 1;
  const std::uint64_t total = candidate_count(options);
  std::uint64_t done = 0;
  constexpr std::uint64_t kReportEvery = 1 << 15;
  AlloyResult alloy{};
  alloy.kind = options.kind;
  std::array<detail::PreparedCluster, 3> prepared{};
  std::array<std::size_t, 3> index{};
  for (const Element* solvent : sorted_solvents(options)) {
    const PairCache cache(options.kind, *solvent);
    const std::vector<const Element*> solutes = solutes_for(options, solvent);
    const std::size_t n = solutes.size();
    if (n < k) continue;
    alloy.element_slots[0] = solvent;
    // Index tuples: strictly increasing (combinations) or all distinct (ordered choices).
    for (std::size_t i = 0; i < k; ++i)
      index[i] = options.any_order ? 0 : i;
    for (;;) {
      bool distinct = true;
      if (options.any_order) {
        for (std::size_t a = 0; a < k; ++a) {
          for (std::size_t b = a + 1; b < k; ++b)
            distinct = distinct && index[a] != index[b];
        }
      }
      if (distinct) {
        for (std::size_t i = 0; i < k; ++i) {
          const PairEntry& entry = cache[solutes[index[i]]];
          alloy.element_slots[i + 1] = solutes[index[i]];
          alloy.cluster_slots[i] = entry.cluster;
          prepared[i] = entry.prepared;
        }
        detail::complete_alloy(alloy, std::span(prepared).first(k));
        visit(static_cast<const AlloyResult&>(alloy));
        if (++done % kReportEvery == 0 && progress) progress(done, total);
      }
      // Next tuple.
      std::size_t pos = k;
      bool more = false;
      while (pos > 0) {
        --pos;
        const std::size_t limit = options.any_order ? n : n - (k - pos);
        if (index[pos] + 1 <= limit - (options.any_order ? 1 : 0)) {
          ++index[pos];
          for (std::size_t j = pos + 1; j < k; ++j)
            index[j] = options.any_order ? 0 : index[j - 1] + 1;
          more = true;
          break;
        }
      }
      if (!more) break;
    }
  }
  if (progress) progress(done, total);
}

int compare_symbols(const AlloyResult& a, const AlloyResult& b) {
  const auto ea = a.elements();
  const auto eb = b.elements();
  const std::size_t n = std::min(ea.size(), eb.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (ea[i] == eb[i]) continue;
    const int c = ea[i]->symbol.compare(eb[i]->symbol);
    if (c != 0) return c;
  }
  return ea.size() < eb.size() ? -1 : (ea.size() > eb.size() ? 1 : 0);
}

// -1 when a goes first, 1 when b does, 0 for a tie; a missing value goes last.
int compare_values(std::optional<double> a, std::optional<double> b, bool descending) {
  if (!a || !b) return a ? -1 : (b ? 1 : 0);
  if (*a == *b) return 0;
  return (*a < *b) != descending ? -1 : 1;
}

// row_before with the keys' values worked out already.
bool row_before_keyed(const SortOrder& order, const AlloyResult& a, const Composition& ca,
                      std::optional<double> key_a, const AlloyResult& b, const Composition& cb,
                      std::optional<double> key_b) {
  int c = 0;
  if (order.key) {
    c = compare_values(key_a, key_b, order.descending);
  } else {
    c = compare_values(value_of(a.mismatch), value_of(b.mismatch), false);
    if (c == 0) c = compare_values(ca.packing, cb.packing, true);
  }
  if (c == 0) c = compare_symbols(a, b);
  if (c == 0) c = compare_values(ca.gamma_sites.value_or(0), cb.gamma_sites.value_or(0), false);
  return c < 0;
}

// Whether the screen keeps a row.
bool kept(const ScreenOptions& options, const AlloyResult& alloy, const Composition& c) {
  if (options.require_elastic && !c.elastic.constants) return false;
  return !options.keep || options.keep(alloy, c);
}

}  // namespace

bool row_before(const SortOrder& order, const AlloyResult& a, const Composition& ca,
                const AlloyResult& b, const Composition& cb) {
  if (!order.key) return row_before_keyed(order, a, ca, std::nullopt, b, cb, std::nullopt);
  return row_before_keyed(order, a, ca, order.key(a, ca), b, cb, order.key(b, cb));
}

std::uint64_t candidate_count(const ScreenOptions& options) {
  const std::size_t k = element_count(options.kind) - 1;
  std::uint64_t total = 0;
  for (const Element* solvent : sorted_solvents(options)) {
    const std::uint64_t n = static_cast<std::uint64_t>(
        std::count_if(options.solutes.begin(), options.solutes.end(),
                      [solvent](const Element* e) { return e != solvent; }));
    total += choices(n, k, options.any_order);
  }
  return total;
}

void screen_each(const ScreenOptions& options,
                 const std::function<void(const AlloyResult&, const Composition&)>& visit,
                 const ScreenProgress& progress) {
  enumerate(options, progress, [&](const AlloyResult& alloy) {
    for (const Composition& c : alloy.compositions()) {
      if (kept(options, alloy, c)) visit(alloy, c);
    }
  });
}

std::vector<RankedRow> screen_top(const ScreenOptions& options, const SortOrder& order,
                                  std::size_t top, const ScreenProgress& progress) {
  // A heap whose top is the worst row kept.
  const auto better = [&order](const RankedRow& a, const RankedRow& b) {
    return row_before_keyed(order, a.alloy, a.alloy.compositions()[a.composition], a.key, b.alloy,
                            b.alloy.compositions()[b.composition], b.key);
  };
  std::priority_queue<RankedRow, std::vector<RankedRow>, decltype(better)> heap(better);
  if (top == 0) return {};
  enumerate(options, progress, [&](const AlloyResult& alloy) {
    const std::span<const Composition> compositions = alloy.compositions();
    for (std::size_t i = 0; i < compositions.size(); ++i) {
      if (!kept(options, alloy, compositions[i])) continue;
      const std::optional<double> key =
          order.key ? order.key(alloy, compositions[i]) : std::nullopt;
      if (heap.size() == top) {
        const RankedRow& worst = heap.top();
        if (!row_before_keyed(order, alloy, compositions[i], key, worst.alloy,
                              worst.alloy.compositions()[worst.composition], worst.key)) {
          continue;
        }
        heap.pop();
      }
      heap.push(RankedRow{alloy, i, key});
    }
  });
  std::vector<RankedRow> rows;
  rows.reserve(heap.size());
  while (!heap.empty()) {
    rows.push_back(heap.top());
    heap.pop();
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

}  // namespace glassform
