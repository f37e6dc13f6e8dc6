#include "glassform/model/criteria.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace glassform {

namespace {

// The gas constant, J/(mol K) (CODATA 2018, exact).
constexpr long double kGasConstant = 8.314462618L;

// Inoue, Acta Mater. 48 (2000) 279: at least three elements, above 12 % in size.
constexpr long double kInoueLeastPercent = 5;
constexpr double kInoueSizeDifference = 0.12;

// The floor of |dH_mix| in log10 Omega, kJ/mol, so that a composition mixing with no heat still
// has a finite value.
constexpr long double kLeastEnthalpy = 0.1L;

struct Share {
  std::size_t index;  // in the element data
  long double amount;
};

float stored(long double value) {
  return static_cast<float>(value);
}

// A value the data holds: a float that is not NaN, a whole number that is not negative.
bool known(float value) {
  return !std::isnan(value);
}
bool known(int value) {
  return value >= 0;
}

}  // namespace

std::string pair_name(const ElementPair& pair) {
  return std::string(pair.a->symbol) + "-" + std::string(pair.b->symbol);
}

GlassCriteria glass_criteria(std::span<const FormulaPart> parts, const ElementData& data) {
  const std::span<const Element> table = data.elements();
  // The distinct elements with their summed amounts, in table order.
  std::array<Share, kMostElements> shares;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  std::size_t n = 0;
  long double total = 0;
  for (const FormulaPart& p : parts) {
    if (!(p.amount > 0)) continue;
    const std::size_t index = data.position(*p.element);
    total += p.amount;
    Share* found = std::find_if(shares.begin(), shares.begin() + static_cast<std::ptrdiff_t>(n),
                                [index](const Share& s) { return s.index == index; });
    if (found != shares.begin() + static_cast<std::ptrdiff_t>(n)) {
      found->amount += p.amount;
    } else {
      shares[n++] = {index, static_cast<long double>(p.amount)};
    }
  }
  std::sort(shares.begin(), shares.begin() + static_cast<std::ptrdiff_t>(n),
            [](const Share& a, const Share& b) { return a.index < b.index; });

  GlassCriteria out;
  if (n == 0) return out;
  std::array<long double, kMostElements> c;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  const auto property = [&](std::size_t i) -> const ElementProperties& {
    return data.properties(table[shares[i].index]);
  };
  long double mean_radius = 0;
  long double tm = 0;
  long double entropy = 0;
  long double valence = 0;
  long double largest_share = 0;
  bool radii = true;
  bool melting_points = true;
  bool electronegativities = true;
  bool valences = true;
  for (std::size_t i = 0; i < n; ++i) {
    c[i] = shares[i].amount / total;
    const std::size_t e = shares[i].index;
    const ElementProperties& p = property(i);
    radii = radii && table[e].radius > 0;
    melting_points = melting_points && known(p.melting_point);
    electronegativities = electronegativities && known(p.electronegativity);
    valences = valences && known(p.valence_electrons);
    out.user_values = out.user_values || data.changed(table[e]);
    mean_radius += c[i] * table[e].radius;
    tm += c[i] * p.melting_point;
    valence += c[i] * p.valence_electrons;
    if (c[i] > largest_share) {  // in table order: a tie keeps the first
      largest_share = c[i];
      out.base = e;
    }
    if (e < kElementCount) out.elements.set(e);
    if (n > 1) entropy -= c[i] * std::log(static_cast<double>(c[i]));
  }
  for (std::size_t s = 0; s < kElementStatisticCount; ++s) {
    const auto value = [s, &property](std::size_t i) -> long double {
      const ElementProperties& p = property(i);
      switch (static_cast<ElementStatistic>(s)) {
        case ElementStatistic::kMendeleevNumber:
          return p.mendeleev_number;
        case ElementStatistic::kGroup:
          return p.group;
        case ElementStatistic::kPeriod:
          return p.period;
        case ElementStatistic::kCovalentRadius:
          return p.covalent_radius;
      }
      return 0;
    };
    bool all_known = true;
    for (std::size_t i = 0; i < n; ++i) {
      const long double v = value(i);
      all_known = all_known && !std::isnan(v) && v >= 0;
    }
    if (!all_known) continue;
    // Sums of differences from the first value: where every value is the same, the mean is
    // that value and the deviation 0 exactly, in any precision of long double.
    const long double first = value(0);
    long double offset = 0;  // the mean minus the first value
    long double least = first;
    long double most = first;
    for (std::size_t i = 0; i < n; ++i) {
      const long double v = value(i);
      offset += c[i] * (v - first);
      least = std::min(least, v);
      most = std::max(most, v);
    }
    long double deviation = 0;
    for (std::size_t i = 0; i < n; ++i)
      deviation += c[i] * std::abs(value(i) - first - offset);
    out.statistics[s] = PropertyStatistics{stored(first + offset), stored(deviation), stored(least),
                                           stored(most), stored(most - least)};
  }
  long double spread = 0;
  for (std::size_t i = 0; radii && i < n; ++i) {
    const long double d = 1 - table[shares[i].index].radius / mean_radius;
    spread += c[i] * d * d;
  }
  // The variance of the electronegativities over pairs, sum c_i c_j (chi_i - chi_j)^2 for
  // i < j: exactly 0 for equal values, where the deviations from a rounded mean are not.
  long double chi_spread = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const long double x =
          static_cast<long double>(property(i).electronegativity) - property(j).electronegativity;
      chi_spread += c[i] * c[j] * x * x;
    }
  }
  if (radii) out.delta_pct = stored(100 * std::sqrt(static_cast<double>(spread)));
  if (electronegativities) out.delta_chi = stored(std::sqrt(static_cast<double>(chi_spread)));
  if (valences) out.valence = stored(valence);
  out.element_count = static_cast<int>(n);
  out.max_percent = stored(100 * largest_share);
  out.ds_mix = stored(kGasConstant * entropy);
  if (melting_points) out.tm = stored(tm);

  long double enthalpy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const Element& a = table[shares[i].index];
      const Element& b = table[shares[j].index];
      const std::optional<float> h = data.mixing_enthalpy(a, b);
      if (!h) {
        out.missing_pairs.push_back({&a, &b});
        continue;
      }
      out.user_values = out.user_values || data.pair_changed(a, b);
      enthalpy += 4 * static_cast<long double>(*h) * c[i] * c[j];
      if (!out.min_pair || *h < out.min_pair->kj_per_mol) out.min_pair = {{&a, &b}, *h};
      if (!out.max_pair || *h > out.max_pair->kj_per_mol) out.max_pair = {{&a, &b}, *h};
    }
  }
  if (out.missing_pairs.empty()) {
    out.dh_mix = stored(enthalpy);
    // No Omega where the enthalpy is zero as stored (a sum too small for a float is zero too).
    if (*out.dh_mix != 0 && melting_points)
      out.omega = stored(tm * kGasConstant * entropy / (1000 * std::abs(enthalpy)));
    if (n > 1 && melting_points) {
      const long double floored = std::max(std::abs(enthalpy), kLeastEnthalpy);
      out.log10_omega =
          stored(std::log10(static_cast<double>(tm * kGasConstant * entropy / (1000 * floored))));
    }
  } else {
    out.min_pair.reset();
    out.max_pair.reset();
  }

  if (n < 3) {
    out.inoue_size = false;
    out.inoue_enthalpy = false;
    return out;
  }
  std::size_t at_least_five = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (shares[i].amount * 100 / total >= kInoueLeastPercent) ++at_least_five;
  }
  out.inoue_elements = at_least_five >= 3;
  // The main three: the largest fractions, ties in table order (the shares are in table order).
  std::array<std::size_t, kMostElements> order;  // NOLINT(cppcoreguidelines-pro-type-member-init)
  for (std::size_t i = 0; i < n; ++i)
    order[i] = i;
  std::stable_sort(
      order.begin(), order.begin() + static_cast<std::ptrdiff_t>(n),
      [&shares](std::size_t a, std::size_t b) { return shares[a].amount > shares[b].amount; });
  std::array<const Element*, 3> main{};
  for (std::size_t i = 0; i < 3; ++i)
    main[i] = &table[shares[order[i]].index];
  const auto by_radius = [](const Element* a, const Element* b) { return a->radius < b->radius; };
  const double smallest = (*std::min_element(main.begin(), main.end(), by_radius))->radius;
  const double largest = (*std::max_element(main.begin(), main.end(), by_radius))->radius;
  if (smallest > 0) out.inoue_size = (largest - smallest) / smallest > kInoueSizeDifference;
  bool negative = true;
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = i + 1; j < 3; ++j) {
      const std::optional<float> h = data.mixing_enthalpy(*main[i], *main[j]);
      if (!h) return out;
      negative = negative && *h < 0;
    }
  }
  out.inoue_enthalpy = negative;
  return out;
}

std::vector<ElementPair> missing_pairs(std::span<const Element* const> elements,
                                       const ElementData& data) {
  std::vector<ElementPair> out;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    for (std::size_t j = i + 1; j < elements.size(); ++j) {
      const Element* a = std::min(elements[i], elements[j]);
      const Element* b = std::max(elements[i], elements[j]);
      if (a == b || data.mixing_enthalpy(*a, *b)) continue;
      const bool listed = std::any_of(out.begin(), out.end(),
                                      [&](const ElementPair& p) { return p.a == a && p.b == b; });
      if (!listed) out.push_back({a, b});
    }
  }
  std::sort(out.begin(), out.end(), [](const ElementPair& x, const ElementPair& y) {
    return x.a != y.a ? x.a < y.a : x.b < y.b;
  });
  return out;
}

GlassCriteria glass_criteria(const AlloyResult& alloy, const Composition& composition) {
  const std::span<const Element* const> e = alloy.elements();
  std::array<FormulaPart, 4> parts{};
  for (std::size_t i = 0; i < e.size(); ++i)
    parts[i] = {e[i], static_cast<double>(composition.percent[i])};
  return glass_criteria(std::span(parts).first(e.size()), data_of(alloy));
}

}  // namespace glassform
