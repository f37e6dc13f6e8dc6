#include "glassform/report/request/composition_search.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <thread>

#include "glassform/io/format.hpp"
#include "glassform/io/text.hpp"
#include "glassform/report/request/alloy_request.hpp"

namespace glassform {

std::variant<int, std::string> grid_units(const std::string& step) {
  char* end = nullptr;
  const double value = std::strtod(step.c_str(), &end);
  const double units = 100 / value;
  if (step.empty() || end != step.c_str() + step.size() || !std::isfinite(value) || !(value > 0) ||
      step.find_first_not_of("+.0123456789") != std::string::npos || units > 1000 ||
      std::abs(units - std::round(units)) > 1e-9 * units) {
    return "the step is an amount in at.% that divides 100 (10, 5, 2.5, 1, 0.5, 0.2, 0.1 ...), "
           "not " +
           quoted_text(step);
  }
  return static_cast<int>(std::lround(units));
}

std::vector<FormulaPart> grid_parts(std::span<const Element* const> elements,
                                    std::span<const int> units, int n) {
  // The formula's amounts are 100 u / n written shortest, which read back as the same doubles;
  // reading normalises them by their sum, in formula order.
  std::vector<FormulaPart> parts;
  parts.reserve(elements.size());
  double total = 0;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (units[i] == 0) continue;
    const double amount = 100.0 * units[i] / n;
    parts.push_back({elements[i], amount});
    total += amount;
  }
  for (FormulaPart& p : parts)
    p.amount = p.amount / total * 100;
  return parts;
}

std::string grid_formula(std::span<const Element* const> elements, std::span<const int> units,
                         int n) {
  std::string text;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (units[i] == 0) continue;
    text.append(elements[i]->symbol);
    append_format(text, "{}", 100.0 * units[i] / n);
  }
  return text;
}

std::variant<SearchOrder, std::string> parse_search_order(const std::string& sort,
                                                          std::span<const Column> columns) {
  SearchOrder order;
  if (sort.empty() || sort == "default") return order;
  const bool descending = sort.front() == '-';
  const std::string name = descending ? sort.substr(1) : sort;
  const auto found = std::find_if(columns.begin(), columns.end(), [&](const Column& c) {
    return c.name == name && (c.field == nullptr || c.field->kind != FieldKind::kText);
  });
  if (found == columns.end()) {
    return "unknown sort key \"" + escaped_text(name, std::string::npos) + "\"" +
           did_you_mean(name, columns) +
           "; the keys are the numeric fields (glassform fields) and the shares";
  }
  order.key = *found;
  order.descending = descending;
  return order;
}

std::optional<double> search_key(const SearchOrder& order, const Row& row) {
  if (order.key) {
    if (order.key->field != nullptr && order.key->field->name == "p_glass" && row.score()) {
      return row.score()->uncalibrated;
    }
    return numeric_value(order.key->value(row));
  }
  const std::optional<GlassScore>& score = row.score();
  if (!score) return std::nullopt;
  return score->extrapolated ? score->uncalibrated : 2 + score->uncalibrated;
}

bool key_before(const SearchOrder& order, const std::optional<double>& a,
                const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return a.has_value();
  if (!a || *a == *b) return false;
  return order.descending ? *a > *b : *a < *b;
}

std::vector<Column> grid_columns(std::span<const Element* const> candidates, bool wide) {
  std::vector<Column> columns{find_field("system")};
  for (Column& c : shares_and_assess_columns(wide ? candidates : std::span<const Element* const>{}))
    columns.push_back(std::move(c));
  return columns;
}

std::uint64_t grid_compositions_per_system(int units, int m) {
  if (units < m) return 0;
  std::uint64_t count = 1;
  for (int i = 1; i < m; ++i)
    count = count * static_cast<std::uint64_t>(units - i) / static_cast<std::uint64_t>(i);
  return count;
}

namespace {

int system_size(const GridRequest& request) {
  return request.kind == AlloyKind::kQuaternary ? 4 : 3;
}

// The candidates of a grid, each once, in table order, with what each may be.
struct Candidates {
  std::vector<const Element*> elements;
  std::vector<bool> solvent;
  std::vector<bool> solute;
};

Candidates candidates_of(const GridRequest& request) {
  const ElementData& data = request_data(request.data);
  Candidates c;
  c.elements = request.solvents;
  c.elements.insert(c.elements.end(), request.solutes.begin(), request.solutes.end());
  std::sort(c.elements.begin(), c.elements.end(), [&data](const Element* a, const Element* b) {
    return data.position(*a) < data.position(*b);
  });
  c.elements.erase(std::unique(c.elements.begin(), c.elements.end()), c.elements.end());
  for (const Element* e : c.elements) {
    c.solvent.push_back(std::find(request.solvents.begin(), request.solvents.end(), e) !=
                        request.solvents.end());
    c.solute.push_back(std::find(request.solutes.begin(), request.solutes.end(), e) !=
                       request.solutes.end());
  }
  return c;
}

// One system: m elements by index into the candidates, increasing.
struct System {
  std::array<std::size_t, 4> index{};
  int m = 3;
  std::uint64_t code = 0;  // its place in generation order
};

// Which of a system's elements may be its solvent: a candidate solvent whose partners are all
// candidate solutes.
std::array<bool, 4> solvent_places(const Candidates& c, const System& s) {
  std::array<bool, 4> out{};
  for (int p = 0; p < s.m; ++p) {
    bool ok = c.solvent[s.index[p]];
    for (int q = 0; ok && q < s.m; ++q)
      ok = q == p || c.solute[s.index[q]];
    out[p] = ok;
  }
  return out;
}

// Calls visit(system) for every system whose first two elements are (i, j), in order.
template <typename Visit>
void systems_from(const Candidates& c, int m, std::size_t i, std::size_t j, Visit&& visit) {
  const std::size_t n = c.elements.size();
  System s;
  s.m = m;
  s.index[0] = i;
  s.index[1] = j;
  const auto emit = [&] {
    s.code = 0;
    for (int p = 0; p < 4; ++p)
      s.code = s.code * 256 + (p < m ? s.index[p] : 0);
    const std::array<bool, 4> places = solvent_places(c, s);
    if (std::any_of(places.begin(), places.begin() + m, [](bool b) { return b; })) visit(s);
  };
  for (std::size_t k = j + 1; k < n; ++k) {
    s.index[2] = k;
    if (m == 3) {
      emit();
      continue;
    }
    for (std::size_t l = k + 1; l < n; ++l) {
      s.index[3] = l;
      emit();
    }
  }
}

// Calls visit(elements, units) for every grid composition of a system, in order; the elements
// and units in formula order: the solvent, then the others by decreasing radius.
template <typename Visit>
void compositions_of(const Candidates& c, const System& s, int n, Visit&& visit) {
  const std::array<bool, 4> places = solvent_places(c, s);
  const int m = s.m;
  // For each possible solvent, the formula order of the places.
  std::array<std::array<int, 4>, 4> orders{};
  for (int p = 0; p < m; ++p) {
    if (!places[p]) continue;
    std::array<int, 4>& order = orders[p];
    int at = 0;
    order[at++] = p;
    for (int q = 0; q < m; ++q) {
      if (q != p) order[at++] = q;
    }
    std::stable_sort(order.begin() + 1, order.begin() + m, [&](int a, int b) {
      return c.elements[s.index[a]]->radius > c.elements[s.index[b]]->radius;
    });
  }
  std::array<int, 4> u{};
  std::array<const Element*, 4> elements{};
  std::array<int, 4> units{};
  const auto emit = [&] {
    int most = 0;
    for (int p = 0; p < m; ++p)
      most = std::max(most, u[p]);
    int solvent = -1;
    for (int p = 0; p < m && solvent < 0; ++p) {
      if (u[p] == most && places[p]) solvent = p;
    }
    if (solvent < 0) return;
    for (int q = 0; q < m; ++q) {
      const int p = orders[solvent][q];
      elements[q] = c.elements[s.index[p]];
      units[q] = u[p];
    }
    visit(std::span<const Element* const>(elements.data(), m),
          std::span<const int>(units.data(), m));
  };
  for (u[0] = n - (m - 1); u[0] >= 1; --u[0]) {
    for (u[1] = n - u[0] - (m - 2); u[1] >= 1; --u[1]) {
      if (m == 3) {
        u[2] = n - u[0] - u[1];
        emit();
        continue;
      }
      for (u[2] = n - u[0] - u[1] - 1; u[2] >= 1; --u[2]) {
        u[3] = n - u[0] - u[1] - u[2];
        emit();
      }
    }
  }
}

// Whether a row's value of a column can be read without the whole assessment: the criteria,
// the score and what is read from the amounts alone.
bool light(const Column& column) {
  if (column.field == nullptr) return true;
  switch (column.field->section) {
    case FieldSection::kIdentity:
    case FieldSection::kCriteria:
    case FieldSection::kRules:
    case FieldSection::kScore:
      return true;
    default:
      return false;
  }
}

bool needs_assessment(const GridRequest& request) {
  if (request.order.key && !light(*request.order.key)) return true;
  return std::any_of(request.conditions.begin(), request.conditions.end(),
                     [](const RowCondition& c) { return !light(*c.column); });
}

// A ranked composition, kept without its assessment until it is written.
struct Ranked {
  std::optional<double> key;
  std::uint64_t system = 0;       // the system's code
  std::uint64_t composition = 0;  // its place in the system
  std::vector<FormulaPart> parts;
};

class RankedOrder {
 public:
  explicit RankedOrder(const SearchOrder& order) : order_(&order) {}
  bool operator()(const Ranked& a, const Ranked& b) const {
    if (key_before(*order_, a.key, b.key)) return true;
    if (key_before(*order_, b.key, a.key)) return false;
    return a.system != b.system ? a.system < b.system : a.composition < b.composition;
  }

 private:
  const SearchOrder* order_;
};

// Keeps the `size` best rows offered, in a heap whose top is the worst of them.
class TopRows {
 public:
  TopRows(const SearchOrder& order, std::size_t size) : before_(order), size_(size) {}
  // Whether a row of this key and place could enter.
  [[nodiscard]] bool wants(const Ranked& row) const {
    return rows_.size() < size_ || before_(row, rows_.front());
  }
  void offer(Ranked row) {
    if (!wants(row)) return;
    rows_.push_back(std::move(row));
    std::push_heap(rows_.begin(), rows_.end(), before_);
    if (rows_.size() > size_) {
      std::pop_heap(rows_.begin(), rows_.end(), before_);
      rows_.pop_back();
    }
  }
  std::vector<Ranked> take() { return std::move(rows_); }

 private:
  RankedOrder before_;
  std::size_t size_;
  std::vector<Ranked> rows_;
};

// The first two candidate indices of every system, the units of work shared among threads.
std::vector<std::pair<std::size_t, std::size_t>> work_units(const Candidates& c, int m) {
  std::vector<std::pair<std::size_t, std::size_t>> out;
  const std::size_t n = c.elements.size();
  for (std::size_t i = 0; i + static_cast<std::size_t>(m) <= n; ++i) {
    for (std::size_t j = i + 1; j + static_cast<std::size_t>(m) - 1 <= n; ++j)
      out.emplace_back(i, j);
  }
  return out;
}

// Tells the progress every so many systems, from any thread.
class SharedProgress {
 public:
  SharedProgress(const SearchProgress& progress, std::uint64_t total)
      : progress_(progress), total_(total) {}
  void add(std::uint64_t systems) {
    const std::uint64_t done = done_.fetch_add(systems) + systems;
    if (!progress_) return;
    const std::lock_guard<std::mutex> lock(mutex_);
    progress_(done, total_);
  }

 private:
  const SearchProgress& progress_;
  std::uint64_t total_;
  std::atomic<std::uint64_t> done_{0};
  std::mutex mutex_;
};

}  // namespace

std::uint64_t grid_system_count(const GridRequest& request) {
  const Candidates c = candidates_of(request);
  const int m = system_size(request);
  std::uint64_t count = 0;
  for (const auto& [i, j] : work_units(c, m))
    systems_from(c, m, i, j, [&count](const System&) { ++count; });
  return count;
}

void grid_each(const GridRequest& request, const std::function<void(const Assessment&)>& visit,
               const SearchProgress& progress) {
  const Candidates c = candidates_of(request);
  const int m = system_size(request);
  const std::uint64_t total = grid_system_count(request);
  std::uint64_t done = 0;
  for (const auto& [i, j] : work_units(c, m)) {
    systems_from(c, m, i, j, [&](const System& s) {
      compositions_of(c, s, request.units,
                      [&](std::span<const Element* const> e, std::span<const int> u) {
                        const Assessment a = assess(grid_parts(e, u, request.units), request.data);
                        const Row row = Row::of(a);
                        if (!meets_all(request.conditions, row)) return;
                        visit(a);
                      });
      if (progress && ++done % 64 == 0) progress(done, total);
    });
  }
}

std::vector<Assessment> grid_top(const GridRequest& request, const SearchProgress& progress) {
  const Candidates c = candidates_of(request);
  const int m = system_size(request);
  const std::vector<std::pair<std::size_t, std::size_t>> units = work_units(c, m);
  const bool full = needs_assessment(request);
  const RankedOrder before(request.order);
  SharedProgress shared(progress, progress ? grid_system_count(request) : 0);

  std::atomic<std::size_t> next{0};
  std::mutex merge;
  TopRows all(request.order, request.top);
  std::exception_ptr failure;
  const auto work = [&] {
    try {
      TopRows mine(request.order, request.top);
      TopRows best(request.order, request.per_system);
      for (std::size_t w = next++; w < units.size(); w = next++) {
        std::uint64_t systems = 0;
        systems_from(c, m, units[w].first, units[w].second, [&](const System& s) {
          std::uint64_t place = 0;
          compositions_of(
              c, s, request.units, [&](std::span<const Element* const> e, std::span<const int> u) {
                Ranked row{std::nullopt, s.code, place++, grid_parts(e, u, request.units)};
                std::optional<Assessment> assessment;
                Row view;
                if (full) {
                  assessment = assess(row.parts, request.data);
                  view = Row::of(*assessment);
                } else {
                  view.parts = row.parts;
                  view.data = request.data;
                }
                if (!meets_all(request.conditions, view)) return;
                row.key = search_key(request.order, view);
                best.offer(std::move(row));
              });
          for (Ranked& row : best.take())
            mine.offer(std::move(row));
          best = TopRows(request.order, request.per_system);
          ++systems;
        });
        shared.add(systems);
      }
      const std::lock_guard<std::mutex> lock(merge);
      for (Ranked& row : mine.take())
        all.offer(std::move(row));
    } catch (...) {
      const std::lock_guard<std::mutex> lock(merge);
      if (!failure) failure = std::current_exception();
      next = units.size();
    }
  };
  const unsigned threads = std::max(1U, std::min<unsigned>(request.threads, units.size()));
  std::vector<std::thread> pool;
  pool.reserve(threads - 1);
  for (unsigned t = 1; t < threads; ++t)
    pool.emplace_back(work);
  work();
  for (std::thread& t : pool)
    t.join();
  if (failure) std::rethrow_exception(failure);

  std::vector<Ranked> rows = all.take();
  std::sort(rows.begin(), rows.end(), before);
  std::vector<Assessment> out;
  out.reserve(rows.size());
  for (const Ranked& row : rows)
    out.push_back(assess(row.parts, request.data));
  return out;
}

namespace {

// Calls visit(parts, place) for every composition of the neighbourhood, in generation order,
// and tells the progress now and then.
template <typename Visit>
void each_neighbour(const NeighbourhoodRequest& request, const SearchProgress& progress,
                    Visit&& visit) {
  const std::uint64_t total = progress ? neighbourhood_span(request) : 0;
  std::uint64_t tried = 0;
  const std::vector<FormulaPart>& base = request.base;
  const auto m = static_cast<int>(std::floor(request.radius / request.step + 1e-9));
  const std::size_t free = base.size() - 1;
  // Offsets in whole steps, from -m to m for each element but the last, which takes the rest.
  std::vector<int> offset(free, -m);
  std::uint64_t place = 0;
  for (;;) {
    int sum = 0;
    for (const int d : offset)
      sum += d;
    std::vector<FormulaPart> parts;
    bool inside = -sum >= -m && -sum <= m;
    for (std::size_t i = 0; inside && i < base.size(); ++i) {
      const int d = i < free ? offset[i] : -sum;
      double amount = base[i].amount + d * request.step;
      if (std::abs(amount) < 1e-9) amount = 0;
      if (amount < 0) inside = false;
      if (amount > 0) parts.push_back({base[i].element, amount});
    }
    if (inside) visit(std::move(parts), place++);
    if (progress && ++tried % 4096 == 0) progress(tried, total);
    // The next offsets, the first element's fastest.
    std::size_t i = 0;
    while (i < free && offset[i] == m) {
      offset[i] = -m;
      ++i;
    }
    if (i == free) break;
    ++offset[i];
  }
}

}  // namespace

std::uint64_t neighbourhood_span(const NeighbourhoodRequest& request) {
  const auto m = static_cast<std::uint64_t>(std::floor(request.radius / request.step + 1e-9));
  std::uint64_t count = 1;
  for (std::size_t i = 1; i < request.base.size(); ++i) {
    count *= 2 * m + 1;
    if (count > kMostNeighbours) return count;
  }
  return count;
}

void neighbourhood_each(const NeighbourhoodRequest& request,
                        const std::function<void(const Assessment&)>& visit,
                        const SearchProgress& progress) {
  each_neighbour(request, progress, [&](const std::vector<FormulaPart>& parts, std::uint64_t) {
    const Assessment a = assess(parts, request.data);
    const Row row = Row::of(a);
    if (!meets_all(request.conditions, row)) return;
    visit(a);
  });
}

std::vector<Assessment> neighbourhood_top(const NeighbourhoodRequest& request,
                                          const SearchProgress& progress) {
  TopRows top(request.order, request.top);
  each_neighbour(request, progress, [&](std::vector<FormulaPart> parts, std::uint64_t place) {
    const Assessment a = assess(parts, request.data);
    const Row row = Row::of(a);
    if (!meets_all(request.conditions, row)) return;
    top.offer(Ranked{search_key(request.order, row), 0, place, std::move(parts)});
  });
  std::vector<Ranked> rows = top.take();
  std::sort(rows.begin(), rows.end(), RankedOrder(request.order));
  std::vector<Assessment> out;
  out.reserve(rows.size());
  for (const Ranked& row : rows)
    out.push_back(assess(row.parts, request.data));
  return out;
}

}  // namespace glassform
