#include "glassform/model/score_domain.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace glassform {

namespace {

#include "glassform/model/labelled_compositions.inc"

static_assert(kLabelledStart.size() == kLabelledCount + 1);
static_assert(kLabelledKind.size() == kLabelledCount && kLabelledDmax.size() == kLabelledCount);
static_assert(kMeltSpunCount <= kLabelledCount);

using PairTable = std::array<std::array<bool, kElementCount>, kElementCount>;

// known[a][b]: some melt-spun composition holds elements a and b together. Worked out once, on
// first use (too many steps for a compiler's constant evaluation).
const PairTable& known_pairs() {
  static const PairTable kKnown = [] {
    PairTable known{};
    for (std::size_t c = 0; c < kMeltSpunCount; ++c) {
      for (std::uint32_t i = kLabelledStart[c]; i < kLabelledStart[c + 1]; ++i) {
        for (std::uint32_t j = kLabelledStart[c]; j < kLabelledStart[c + 1]; ++j)
          known[kLabelledElement[i]][kLabelledElement[j]] = true;
      }
    }
    return known;
  }();
  return kKnown;
}

// The melt-spun compositions of each set of elements.
using BySystem = std::unordered_map<std::bitset<kElementCount>, std::vector<std::uint32_t>>;

const BySystem& labelled_by_system() {
  static const BySystem kBySystem = [] {
    BySystem out;
    for (std::uint32_t c = 0; c < kMeltSpunCount; ++c) {
      std::bitset<kElementCount> system;
      for (std::uint32_t i = kLabelledStart[c]; i < kLabelledStart[c + 1]; ++i)
        system.set(kLabelledElement[i]);
      out[system].push_back(c);
    }
    return out;
  }();
  return kBySystem;
}

// Of the bulk glasses: how many have each base element (the largest share; ties: the first in
// table order, as the elements are stored), and which elements occur in any.
struct BulkElements {
  std::array<std::size_t, kElementCount> with_base{};
  std::array<bool, kElementCount> held{};
};

const BulkElements& bulk_elements() {
  static const BulkElements kBulk = [] {
    BulkElements out;
    for (std::size_t c = kMeltSpunCount; c < kLabelledCount; ++c) {
      std::uint32_t base = kLabelledStart[c];
      for (std::uint32_t i = kLabelledStart[c]; i < kLabelledStart[c + 1]; ++i) {
        out.held[kLabelledElement[i]] = true;
        if (kLabelledPercent[i] > kLabelledPercent[base]) base = i;
      }
      ++out.with_base[kLabelledElement[base]];
    }
    return out;
  }();
  return kBulk;
}

}  // namespace

std::size_t bulk_glass_count() {
  return kLabelledCount - kMeltSpunCount;
}

std::size_t bulk_glasses_with_base(std::size_t element) {
  return element < kElementCount ? bulk_elements().with_base[element] : 0;
}

bool in_a_bulk_glass(std::size_t element) {
  return element < kElementCount && bulk_elements().held[element];
}

std::optional<float> known_pair_share(const std::bitset<kElementCount>& elements) {
  std::array<std::size_t, kElementCount> present{};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kElementCount; ++i) {
    if (elements[i]) present[n++] = i;
  }
  if (n < 2) return std::nullopt;
  const PairTable& table = known_pairs();
  std::size_t known = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j)
      known += table[present[i]][present[j]] ? 1 : 0;
  }
  const std::size_t pairs = n * (n - 1) / 2;
  return static_cast<float>(static_cast<long double>(known) / static_cast<long double>(pairs));
}

std::optional<float> nearest_known_percent(std::span<const FormulaPart> parts,
                                           const ElementData& data) {
  std::array<double, kElementCount> percent{};
  std::bitset<kElementCount> system;
  double total = 0;
  for (const FormulaPart& p : parts) {
    if (p.amount <= 0) continue;
    const std::size_t i = data.position(*p.element);
    if (i >= kElementCount) return std::nullopt;
    percent[i] += p.amount;
    total += p.amount;
    system.set(i);
  }
  if (total <= 0) return std::nullopt;
  // As the labelled compositions are stored: the at.% as a float.
  for (double& x : percent)
    x = static_cast<float>(x / total * 100);
  const BySystem& by_system = labelled_by_system();
  const auto found = by_system.find(system);
  if (found == by_system.end()) return std::nullopt;
  double nearest = 0;
  bool any = false;
  for (const std::uint32_t c : found->second) {
    double distance = 0;
    for (std::uint32_t i = kLabelledStart[c]; i < kLabelledStart[c + 1]; ++i) {
      distance = std::max(distance, std::abs(static_cast<double>(kLabelledPercent[i]) -
                                             percent[kLabelledElement[i]]));
    }
    if (!any || distance < nearest) nearest = distance;
    any = true;
  }
  return static_cast<float>(nearest);
}

std::vector<LabelledComposition> labelled_within(std::span<const std::size_t> elements) {
  std::vector<LabelledComposition> out;
  for (std::size_t c = 0; c < kLabelledCount; ++c) {
    LabelledComposition point{std::vector<float>(elements.size(), 0.0F),
                              static_cast<LabelledComposition::Kind>(kLabelledKind[c]),
                              kLabelledDmax[c]};
    bool inside = true;
    for (std::uint32_t i = kLabelledStart[c]; inside && i < kLabelledStart[c + 1]; ++i) {
      const auto at = std::find(elements.begin(), elements.end(), kLabelledElement[i]);
      if (at == elements.end()) {
        inside = false;
      } else {
        point.percent[static_cast<std::size_t>(at - elements.begin())] = kLabelledPercent[i];
      }
    }
    if (inside) out.push_back(std::move(point));
  }
  return out;
}

std::string_view labelled_data_name() {
  return kLabelledName;
}

}  // namespace glassform
