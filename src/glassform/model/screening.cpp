#include "glassform/model/screening.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <mutex>
#include <queue>
#include <system_error>
#include <thread>

#include "glassform/model/alloy_kinds.hpp"

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

// The pairs of the solvent being screened, by the solute's position in the data. Elements
// without a radius (a user's) have no entry: they are never candidates.
class PairCache {
 public:
  PairCache(AlloyKind kind, const Element& solvent, const ElementData& data) : data_(data) {
    const std::span<const Element> all = data.elements();
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (!(all[i].radius > 0)) continue;
      const ClusterMeasure m = measure_cluster(all[i], solvent);
      entries_[i].cluster = detail::make_cluster(kind, m, nearest_integer(m.coordination));
      entries_[i].prepared = detail::prepare_cluster(entries_[i].cluster);
    }
  }
  [[nodiscard]] const PairEntry& operator[](const Element* solute) const {
    return entries_[data_.position(*solute)];
  }

 private:
  const ElementData& data_;
  std::array<PairEntry, kMostElements> entries_{};
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

// How often a screen tells how far it is, in alloys.
constexpr std::uint64_t kReportEvery = 1 << 15;

// Calls visit(alloy) for every candidate alloy of `solvents`, in generation order, on one
// scratch result; and done() after every kReportEvery alloys.
template <typename Visit, typename Done>
void enumerate(const ScreenOptions& options, std::span<const Element* const> solvents, Done&& done,
               Visit&& visit) {
  const std::size_t k = element_count(options.kind) - 1;
  std::uint64_t count = 0;
  AlloyResult alloy{};
  alloy.kind = options.kind;
  alloy.data = options.data;
  const ElementData& data = options.data != nullptr ? *options.data : ElementData::builtin();
  std::array<detail::PreparedCluster, 3> prepared{};
  std::array<std::size_t, 3> index{};
  for (const Element* solvent : solvents) {
    const PairCache cache(options.kind, *solvent, data);
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
        if (++count % kReportEvery == 0) done();
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
  if (options.physical_only && !is_physical(alloy, c)) return false;
  return !options.keep || options.keep(alloy, c);
}

// Calls visit(alloy, composition index, key) for each row of the alloy that the screen keeps:
// with best_variant only the one that ranks first.
template <typename Visit>
void each_kept_row(const ScreenOptions& options, const SortOrder& order, const AlloyResult& alloy,
                   Visit&& visit) {
  const std::span<const Composition> compositions = alloy.compositions();
  std::optional<std::size_t> best;
  std::optional<double> best_key;
  for (std::size_t i = 0; i < compositions.size(); ++i) {
    if (!kept(options, alloy, compositions[i])) continue;
    const std::optional<double> key = order.key ? order.key(alloy, compositions[i]) : std::nullopt;
    if (!options.best_variant) {
      visit(i, key);
    } else if (!best || row_before_keyed(order, alloy, compositions[i], key, alloy,
                                         compositions[*best], best_key)) {
      best = i;
      best_key = key;
    }
  }
  if (best) visit(*best, best_key);
}

// The best rows of a whole screen, shared by its threads: one heap of at most `top` rows whose
// top is the worst row kept, behind a lock. Each thread gathers the rows that beat its own copy
// of that worst row in a small batch and merges the batch into the heap when it is full, so
// that the memory stays one top N plus a batch per thread, whatever the number of threads.
class SharedTop {
 public:
  // The most rows a thread gathers between two merges.
  static constexpr std::size_t kBatch = 256;

  SharedTop(const SortOrder& order, std::size_t top)
      : order_(order), top_(top), heap_(Better{&order}) {}

  // The rows a thread gathers before it merges them: never more than the heap keeps.
  [[nodiscard]] std::size_t batch_size() const { return std::min(top_, kBatch); }

  // Merges `batch` (emptied) and returns a copy of the worst row kept once the heap is full.
  std::optional<RankedRow> merge(std::vector<RankedRow>& batch) {
    const std::lock_guard lock(mutex_);
    for (const RankedRow& row : batch) {
      if (heap_.size() == top_) {
        if (!Better{&order_}(row, heap_.top())) continue;
        heap_.pop();
      }
      heap_.push(row);
    }
    batch.clear();
    if (heap_.size() < top_) return std::nullopt;
    return heap_.top();
  }

  // The rows kept, best first.
  std::vector<RankedRow> rows() {
    std::vector<RankedRow> out;
    out.reserve(heap_.size());
    while (!heap_.empty()) {
      out.push_back(heap_.top());
      heap_.pop();
    }
    std::reverse(out.begin(), out.end());
    return out;
  }

 private:
  struct Better {
    const SortOrder* order;
    bool operator()(const RankedRow& a, const RankedRow& b) const {
      return row_before_keyed(*order, a.alloy, a.alloy.compositions()[a.composition], a.key,
                              b.alloy, b.alloy.compositions()[b.composition], b.key);
    }
  };
  const SortOrder& order_;
  std::size_t top_;
  std::mutex mutex_;
  std::priority_queue<RankedRow, std::vector<RankedRow>, Better> heap_;
};

// Offers every kept row of some solvents to the shared top rows.
void top_of(const ScreenOptions& options, std::span<const Element* const> solvents,
            const SortOrder& order, SharedTop& shared, const std::function<void()>& done) {
  std::vector<RankedRow> batch;
  batch.reserve(shared.batch_size());
  std::optional<RankedRow> worst;  // the shared worst row as last seen: it only ever improves
  enumerate(options, solvents, done, [&](const AlloyResult& alloy) {
    // No row of this alloy can beat the worst row kept (a row ranks before it only with a
    // larger key, or an equal one and earlier symbols).
    if (worst && worst->key && order.descending && order.most && order.most(alloy) < *worst->key) {
      return;
    }
    each_kept_row(options, order, alloy, [&](std::size_t i, std::optional<double> key) {
      if (worst && !row_before_keyed(order, alloy, alloy.compositions()[i], key, worst->alloy,
                                     worst->alloy.compositions()[worst->composition], worst->key)) {
        return;
      }
      batch.push_back(RankedRow{alloy, i, key});
      if (batch.size() >= shared.batch_size()) worst = shared.merge(batch);
    });
  });
  shared.merge(batch);
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
                 const ScreenProgress& progress, const SortOrder& order) {
  const std::uint64_t total = candidate_count(options);
  std::uint64_t done = 0;
  const std::vector<const Element*> solvents = sorted_solvents(options);
  enumerate(
      options, solvents,
      [&] {
        done += kReportEvery;
        if (progress) progress(done, total);
      },
      [&](const AlloyResult& alloy) {
        each_kept_row(options, order, alloy, [&](std::size_t i, std::optional<double>) {
          visit(alloy, alloy.compositions()[i]);
        });
      });
  if (progress) progress(total, total);
}

std::vector<RankedRow> screen_top(const ScreenOptions& options, const SortOrder& order,
                                  std::size_t top, const ScreenProgress& progress) {
  if (top == 0) return {};
  const std::uint64_t total = candidate_count(options);
  const std::vector<const Element*> solvents = sorted_solvents(options);
  const std::size_t threads =
      std::clamp<std::size_t>(options.threads, 1, std::max<std::size_t>(solvents.size(), 1));
  // The solvents dealt out in turn, so that each thread gets a share of large and small ones.
  std::vector<std::vector<const Element*>> shares(threads);
  for (std::size_t i = 0; i < solvents.size(); ++i)
    shares[i % threads].push_back(solvents[i]);
  std::atomic<std::uint64_t> done{0};
  SharedTop shared(order, top);
  std::vector<std::exception_ptr> failures(threads);
  const auto work = [&](std::size_t t) {
    try {
      top_of(options, shares[t], order, shared, [&, t] {
        const std::uint64_t now = done += kReportEvery;
        if (t == 0 && progress) progress(std::min(now, total), total);
      });
    } catch (...) {
      failures[t] = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  std::vector<std::size_t> here;  // shares without a thread of their own: done in this one
  helpers.reserve(threads - 1);
  for (std::size_t t = 1; t < threads; ++t) {
    try {
      helpers.emplace_back(work, t);
    } catch (const std::system_error&) {
      here.push_back(t);
    }
  }
  work(0);  // catches everything, so the helpers are always joined
  for (const std::size_t t : here)
    work(t);
  for (std::thread& helper : helpers)
    helper.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
  std::vector<RankedRow> rows = shared.rows();
  if (progress) progress(total, total);
  return rows;
}

}  // namespace glassform
