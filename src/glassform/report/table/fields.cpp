#include "glassform/report/table/fields.hpp"

#include <algorithm>
#include <array>

#include "glassform/io/format.hpp"
#include "glassform/model/score_domain.hpp"
#include "glassform/report/table/csv_report.hpp"
#include "glassform/report/table/number_format.hpp"
#include "glassform/report/text/warnings.hpp"
#include "glassform/report/text/weighing_report.hpp"

namespace glassform {

namespace {

using V = FieldValue;
using K = FieldKind;
using S = FieldScope;
using Sec = FieldSection;
using B = Better;

V optional_float(const std::optional<float>& value) {
  return value ? V(*value) : V();
}

// The element at `position` (0 the solvent), or null past the row's elements.
const Element* element_at(const Row& row, std::size_t position) {
  if (row.alloy == nullptr) return nullptr;
  const std::span<const Element* const> e = row.alloy->elements();
  return position < e.size() ? e[position] : nullptr;
}

const Cluster* cluster_at(const Row& row, std::size_t solute) {
  if (row.alloy == nullptr) return nullptr;
  const std::span<const Cluster> k = row.alloy->clusters();
  return solute < k.size() ? &k[solute] : nullptr;
}

// Values of the alloy rows; absent in a given composition's row.
template <typename Get>
V of_alloy(const Row& row, Get get) {
  if (row.alloy == nullptr) return {};
  return get(*row.alloy, *row.composition);
}

template <std::size_t P>
V symbol(const Row& row) {
  const Element* e = element_at(row, P);
  return e != nullptr ? V(e->symbol) : V();
}

template <std::size_t I>
V coordination(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? V(k->measure.coordination) : V();
}

template <std::size_t I>
V chosen(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? V(static_cast<long long>(k->chosen)) : V();
}

template <std::size_t I>
V ratio(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? V(k->measure.ratio) : V();
}

template <std::size_t I>
V ratio_used(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? V(k->ratio_used) : V();
}

template <std::size_t I>
V face(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? V(static_cast<long long>(k->measure.face)) : V();
}

template <std::size_t I>
V ideal_ratio(const Row& row) {
  const Cluster* k = cluster_at(row, I);
  return k != nullptr ? optional_float(k->ideal_ratio) : V();
}

template <std::size_t P>
V atomic_percent(const Row& row) {
  return element_at(row, P) != nullptr ? V(row.composition->percent[P]) : V();
}

// Whether every element of the row has an atomic weight (a user's element may have none).
bool weighable(const Row& row) {
  if (row.alloy != nullptr) {
    const std::span<const Element* const> e = row.alloy->elements();
    return std::all_of(e.begin(), e.end(), [](const Element* x) { return x->atomic_weight > 0; });
  }
  return std::all_of(row.parts.begin(), row.parts.end(),
                     [](const FormulaPart& p) { return p.element->atomic_weight > 0; });
}

template <std::size_t P>
V weight(const Row& row) {
  if (element_at(row, P) == nullptr || !weighable(row)) return {};
  return row.weight_percent()[P];
}

template <std::size_t P>
V grams(const Row& row) {
  if (element_at(row, P) == nullptr || !row.grams || !weighable(row)) return {};
  return composition_masses(*row.alloy, *row.composition, *row.grams)[P];
}

template <std::size_t I>
V cell_edge(const Row& row) {
  return of_alloy(row, [](const AlloyResult&, const Composition& c) { return V(c.cell.edges[I]); });
}

V modulus(const Row& row, const MixedModulus ElasticResult::*member) {
  if (row.elastic == nullptr) return {};
  return optional_float(((*row.elastic).*member).value);
}

V constant(const Row& row, float ElasticConstants::*member) {
  if (row.elastic == nullptr || !row.elastic->constants) return {};
  return (*row.elastic->constants).*member;
}

V formula(const Row& row) {
  std::string text;
  if (row.alloy != nullptr) {
    append_formula(text, *row.alloy, *row.composition);
  } else {
    append_formula(text, row.parts);
  }
  return text;
}

// The elements of a row in table order, joined by '-': Cu-Al-Zr.
V system(const Row& row) {
  const ElementData& data = row.element_data();
  std::vector<const Element*> elements;
  if (row.alloy != nullptr) {
    const std::span<const Element* const> e = row.alloy->elements();
    elements.assign(e.begin(), e.end());
  } else {
    elements.reserve(row.parts.size());
    for (const FormulaPart& p : row.parts)
      elements.push_back(p.element);
  }
  if (elements.empty()) return {};
  std::sort(elements.begin(), elements.end(), [&data](const Element* a, const Element* b) {
    return data.position(*a) < data.position(*b);
  });
  std::string text;
  for (const Element* e : elements)
    text.append(text.empty() ? "" : "-").append(e->symbol);
  return text;
}

V formula_wt(const Row& row) {
  if (row.parts.empty() || !weighable(row)) return {};
  // The front ends take at most 16 elements, worked out on the stack; a library user's longer
  // composition is worked out whole, on the heap.
  constexpr std::size_t kMost = 16;
  const std::size_t n = row.parts.size();
  std::array<const Element*, kMost> small_elements{};
  std::array<double, 2 * kMost> small_numbers{};
  std::vector<const Element*> large_elements;
  std::vector<double> large_numbers;
  if (n > kMost) {
    large_elements.resize(n);
    large_numbers.resize(2 * n);
  }
  const std::span<const Element*> elements =
      n > kMost ? std::span(large_elements) : std::span(small_elements).first(n);
  const std::span<double> numbers =
      n > kMost ? std::span(large_numbers) : std::span(small_numbers).first(2 * n);
  const std::span<double> atomic = numbers.first(n);
  const std::span<double> weight = numbers.last(n);
  for (std::size_t i = 0; i < n; ++i) {
    elements[i] = row.parts[i].element;
    atomic[i] = row.parts[i].amount;
  }
  weight_percent(elements, atomic, weight);
  std::string text;
  for (std::size_t i = 0; i < n; ++i) {
    text.append(elements[i]->symbol);
    append_fixed(text, weight[i], 2);
  }
  return text;
}

// Values of the composition criteria.
template <typename Get>
V of_criteria(const Row& row, Get get) {
  if (row.alloy == nullptr && row.parts.empty()) return {};
  return get(row.criteria());
}

// A statistic of an element property over the composition: an input of the score.
template <ElementStatistic Property, float PropertyStatistics::*Statistic>
V element_statistic(const Row& row) {
  return of_criteria(row, [](const GlassCriteria& k) {
    const std::optional<PropertyStatistics>& s = k.statistics[static_cast<std::size_t>(Property)];
    return s ? V((*s).*Statistic) : V();
  });
}

// Values of the isotropic solid of the row's B and G.
template <typename Get>
V of_isotropic(const Row& row, Get get) {
  if (row.elastic == nullptr) return {};
  const std::optional<IsotropicElastic> i = isotropic_elastic(*row.elastic);
  return i ? get(*i) : V();
}

V of_measured(const Row& row, std::optional<double> MeasuredGlass::*member) {
  if (row.measured == nullptr || !(row.measured->*member)) return {};
  return *(row.measured->*member);
}

V relative_difference(const Row& row, const MixedModulus ElasticResult::*estimate,
                      std::optional<double> MeasuredGlass::*measured) {
  if (row.measured == nullptr || row.elastic == nullptr) return {};
  const std::optional<float> e = ((*row.elastic).*estimate).value;
  const std::optional<double> m = row.measured->*measured;
  if (!e || !m || *m == 0) return {};
  return (static_cast<double>(*e) - *m) / *m;
}

V pair_text(const std::optional<PairEnthalpy>& p) {
  return p ? V(pair_name(p->pair)) : V();
}

V pair_value(const std::optional<PairEnthalpy>& p) {
  return p ? V(p->kj_per_mol) : V();
}

V optional_flag(const std::optional<bool>& flag) {
  return flag ? V(*flag) : V();
}

// Values of the glass-formation score.
template <typename Get>
V of_score(const Row& row, Get get) {
  if (row.alloy == nullptr && row.parts.empty()) return {};
  const std::optional<GlassScore>& score = row.score();
  return score ? get(*score) : V();
}

// Values of the casting-thickness estimate.
template <typename Get>
V of_casting(const Row& row, Get get) {
  if (row.alloy == nullptr && row.parts.empty()) return {};
  const std::optional<CastingEstimate>& casting = row.casting();
  return casting ? get(*casting) : V();
}

// The composition of a row as element amounts: a given one's parts, or a model alloy's
// elements at their stored at.%.
template <typename Use>
V with_parts(const Row& row, Use use) {
  if (row.alloy == nullptr) return row.parts.empty() ? V() : use(row.parts);
  const std::span<const Element* const> e = row.alloy->elements();
  std::array<FormulaPart, 4> parts{};
  for (std::size_t i = 0; i < e.size(); ++i)
    parts[i] = {e[i], static_cast<double>(row.composition->percent[i])};
  return use(std::span<const FormulaPart>(parts.data(), e.size()));
}

V warnings(const Row& row) {
  std::string text;
  if (row.alloy != nullptr) {
    text = row_warnings(*row.alloy, *row.composition);
  } else if (row.elastic != nullptr) {
    for (const std::string& w : elastic_warnings(*row.elastic))
      text.append(text.empty() ? w : "; " + w);
  }
  if (row.alloy != nullptr || !row.parts.empty()) {
    for (const std::string& w : criteria_warnings(row.criteria()))
      text.append(text.empty() ? w : "; " + w);
  }
  return text;
}

// clang-format off
constexpr std::array kFields{
    Field{"kind", "", K::kText, S::kAlloy, "binary, ternary or quaternary",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult& a, const Composition&) { return V(kind_name(a.kind)); }); }, kModelRow, Sec::kIdentity},
    Field{"solvent", "", K::kText, S::kElement, "the solvent's symbol", &symbol<0>, kModelRow, Sec::kIdentity},
    Field{"solute1", "", K::kText, S::kElement, "the first solute's symbol (the largest of a ternary or quaternary)", &symbol<1>, kModelRow, Sec::kIdentity},
    Field{"solute2", "", K::kText, S::kElement, "the second solute's symbol", &symbol<2>, kModelRow, Sec::kIdentity},
    Field{"solute3", "", K::kText, S::kElement, "the third solute's symbol", &symbol<3>, kModelRow, Sec::kIdentity},
    Field{"gamma_sites", "", K::kInteger, S::kAlloy, "a ternary composition's gamma sites: 0 empty, 1 half full, 2 full",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult&, const Composition& c) { return c.gamma_sites ? V(static_cast<long long>(*c.gamma_sites)) : V(); }); }, kModelRow, Sec::kCluster},
    Field{"N1", "", K::kNumber, S::kElement, "computed coordination number of the first solute's cluster", &coordination<0>, kModelRow, Sec::kCluster},
    Field{"N2", "", K::kNumber, S::kElement, "computed coordination number of the second solute's cluster", &coordination<1>, kModelRow, Sec::kCluster},
    Field{"N3", "", K::kNumber, S::kElement, "computed coordination number of the third solute's cluster", &coordination<2>, kModelRow, Sec::kCluster},
    Field{"Z1", "", K::kInteger, S::kElement, "chosen integer coordination number of the first cluster", &chosen<0>, kModelRow, Sec::kCluster},
    Field{"Z2", "", K::kInteger, S::kElement, "chosen integer coordination number of the second cluster", &chosen<1>, kModelRow, Sec::kCluster},
    Field{"Z3", "", K::kInteger, S::kElement, "chosen integer coordination number of the third cluster", &chosen<2>, kModelRow, Sec::kCluster},
    Field{"R1", "", K::kNumber, S::kElement, "radius ratio of the first solute to the solvent", &ratio<0>, kModelRow, Sec::kCluster},
    Field{"R2", "", K::kNumber, S::kElement, "radius ratio of the second solute to the solvent", &ratio<1>, kModelRow, Sec::kCluster},
    Field{"R3", "", K::kNumber, S::kElement, "radius ratio of the third solute to the solvent", &ratio<2>, kModelRow, Sec::kCluster},
    Field{"R1_used", "", K::kNumber, S::kElement, "radius ratio of the first cluster in the packing arithmetic", &ratio_used<0>, kModelRow, Sec::kCluster},
    Field{"R2_used", "", K::kNumber, S::kElement, "radius ratio of the second cluster in the packing arithmetic", &ratio_used<1>, kModelRow, Sec::kCluster},
    Field{"R3_used", "", K::kNumber, S::kElement, "radius ratio of the third cluster in the packing arithmetic", &ratio_used<2>, kModelRow, Sec::kCluster},
    Field{"mismatch", "", K::kNumber, S::kAlloy, "largest |R / R_ideal - 1| over the clusters; absent where a cluster has no ideal ratio",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult& a, const Composition&) { return optional_float(a.mismatch); }); }, kModelRow | kTextView, Sec::kCluster, B::kLow, 3, 4, ""},
    Field{"solvent_atoms", "", K::kNumber, S::kAlloy, "solvent atoms per structural unit",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult&, const Composition& c) { return V(c.solvent_atoms); }); }, kModelRow, Sec::kCluster},
    Field{"total_atoms", "", K::kNumber, S::kAlloy, "atoms per structural unit",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult&, const Composition& c) { return V(c.total_atoms); }); }, kModelRow, Sec::kCluster},
    Field{"x_solvent_at%", "at.%", K::kNumber, S::kElement, "the solvent's atomic percent", &atomic_percent<0>, kModelRow, Sec::kCluster},
    Field{"x_solute1_at%", "at.%", K::kNumber, S::kElement, "the first solute's atomic percent", &atomic_percent<1>, kModelRow, Sec::kCluster},
    Field{"x_solute2_at%", "at.%", K::kNumber, S::kElement, "the second solute's atomic percent", &atomic_percent<2>, kModelRow, Sec::kCluster},
    Field{"x_solute3_at%", "at.%", K::kNumber, S::kElement, "the third solute's atomic percent", &atomic_percent<3>, kModelRow, Sec::kCluster},
    Field{"formula", "", K::kText, S::kAlloy, "the composition in atomic percent, two decimals: Zr81.93Cu18.07", &formula, kModelRow | kGivenRow | kElasticRow, Sec::kIdentity},
    Field{"system", "", K::kText, S::kAlloy, "the composition's elements in table order (ascending radius): Cu-Al-Zr", &system, kGridRow, Sec::kIdentity},
    Field{"packing_%", "%", K::kNumber, S::kAlloy, "packing efficiency of the cell",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult&, const Composition& c) { return V(c.packing); }); }, kModelRow | kTextView | kPageView, Sec::kCluster, B::kNone, 4, 2, ""},
    Field{"physical", "", K::kFlag, S::kAlloy, "every cluster has an ideal radius ratio (Z from 4 to 24) and the packing is at most 100 %",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult& a, const Composition& c) { return V(is_physical(a, c)); }); }, kModelRow, Sec::kCluster},
    Field{"E_GPa", "GPa", K::kNumber, S::kAlloy, "Young's modulus by the rule of mixtures",
          [](const Row& r) { return modulus(r, &ElasticResult::e); }, kModelRow | kGivenRow | kElasticRow | kTextView | kPageView, Sec::kElastic, B::kNone, 7, 1, ""},
    Field{"G_GPa", "GPa", K::kNumber, S::kAlloy, "shear modulus by the rule of mixtures",
          [](const Row& r) { return modulus(r, &ElasticResult::g); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kElastic, B::kNone, 8, 1, ""},
    Field{"B_GPa", "GPa", K::kNumber, S::kAlloy, "bulk modulus by the rule of mixtures",
          [](const Row& r) { return modulus(r, &ElasticResult::b); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kElastic, B::kNone, 9, 1, ""},
    Field{"C11_GPa", "GPa", K::kNumber, S::kAlloy, "elastic constant C11 = B + G",
          [](const Row& r) { return constant(r, &ElasticConstants::c11); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kElastic, B::kNone, 10, 1, ""},
    Field{"C12_GPa", "GPa", K::kNumber, S::kAlloy, "elastic constant C12 = (3B - C11) / 2",
          [](const Row& r) { return constant(r, &ElasticConstants::c12); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kElastic, B::kNone, 11, 1, ""},
    Field{"C44_GPa", "GPa", K::kNumber, S::kAlloy, "elastic constant C44 = G",
          [](const Row& r) { return constant(r, &ElasticConstants::c44); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kElastic, B::kNone, 12, 1, ""},
    Field{"m_fragility", "", K::kNumber, S::kAlloy, "kinetic fragility index m = 12 (B/G + 0.67)",
          [](const Row& r) { return constant(r, &ElasticConstants::fragility); }, kModelRow | kGivenRow | kElasticRow | kTextView | kPageView, Sec::kElastic, B::kNone, 15, 1, "m"},
    Field{"C12/C11", "", K::kNumber, S::kAlloy, "Blackman-diagram abscissa",
          [](const Row& r) { return constant(r, &ElasticConstants::c12_over_c11); }, kModelRow | kGivenRow | kElasticRow | kTextView | kPageView, Sec::kElastic, B::kNone, 13, 4, ""},
    Field{"C44/C11", "", K::kNumber, S::kAlloy, "Blackman-diagram ordinate",
          [](const Row& r) { return constant(r, &ElasticConstants::c44_over_c11); }, kModelRow | kGivenRow | kElasticRow | kTextView | kPageView, Sec::kElastic, B::kNone, 14, 4, ""},
    Field{"warnings", "", K::kText, S::kAlloy, "the row's warnings, joined by \"; \"", &warnings, kModelRow | kGivenRow | kElasticRow, Sec::kWarnings},
    Field{"w_solvent_wt%", "wt.%", K::kNumber, S::kElement, "the solvent's weight percent", &weight<0>, kModelRow, Sec::kWeights},
    Field{"w_solute1_wt%", "wt.%", K::kNumber, S::kElement, "the first solute's weight percent", &weight<1>, kModelRow, Sec::kWeights},
    Field{"w_solute2_wt%", "wt.%", K::kNumber, S::kElement, "the second solute's weight percent", &weight<2>, kModelRow, Sec::kWeights},
    Field{"w_solute3_wt%", "wt.%", K::kNumber, S::kElement, "the third solute's weight percent", &weight<3>, kModelRow, Sec::kWeights},
    Field{"m_solvent_g", "g", K::kNumber, S::kElement, "grams of the solvent to weigh (with --mass)", &grams<0>, kModelRow, Sec::kWeights},
    Field{"m_solute1_g", "g", K::kNumber, S::kElement, "grams of the first solute to weigh (with --mass)", &grams<1>, kModelRow, Sec::kWeights},
    Field{"m_solute2_g", "g", K::kNumber, S::kElement, "grams of the second solute to weigh (with --mass)", &grams<2>, kModelRow, Sec::kWeights},
    Field{"m_solute3_g", "g", K::kNumber, S::kElement, "grams of the third solute to weigh (with --mass)", &grams<3>, kModelRow, Sec::kWeights},
    Field{"face1", "", K::kInteger, S::kElement, "face parameter (3, 4 or 5) of the first cluster", &face<0>, kModelRow, Sec::kCluster},
    Field{"face2", "", K::kInteger, S::kElement, "face parameter of the second cluster", &face<1>, kModelRow, Sec::kCluster},
    Field{"face3", "", K::kInteger, S::kElement, "face parameter of the third cluster", &face<2>, kModelRow, Sec::kCluster},
    Field{"R1_ideal", "", K::kNumber, S::kElement, "ideal radius ratio of Z1 (absent outside 4..24)", &ideal_ratio<0>, kModelRow, Sec::kCluster},
    Field{"R2_ideal", "", K::kNumber, S::kElement, "ideal radius ratio of Z2 (absent outside 4..24)", &ideal_ratio<1>, kModelRow, Sec::kCluster},
    Field{"R3_ideal", "", K::kNumber, S::kElement, "ideal radius ratio of Z3 (absent outside 4..24)", &ideal_ratio<2>, kModelRow, Sec::kCluster},
    Field{"cell_edge1", "r_solvent", K::kNumber, S::kAlloy, "first candidate cell edge, in solvent radii", &cell_edge<0>, kModelRow, Sec::kCluster},
    Field{"cell_edge2", "r_solvent", K::kNumber, S::kAlloy, "second candidate cell edge, in solvent radii", &cell_edge<1>, kModelRow, Sec::kCluster},
    Field{"cell_edge3", "r_solvent", K::kNumber, S::kAlloy, "third candidate cell edge, in solvent radii", &cell_edge<2>, kModelRow, Sec::kCluster},
    Field{"cell_volume", "r_solvent^3", K::kNumber, S::kAlloy, "cell volume: the largest edge cubed",
          [](const Row& r) { return of_alloy(r, [](const AlloyResult&, const Composition& c) { return V(c.cell.volume); }); }, kModelRow, Sec::kCluster},
    Field{"delta_pct", "%", K::kNumber, S::kAlloy, "atomic size mismatch 100 sqrt(sum c_i (1 - r_i / mean r)^2)",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.delta_pct); }); }, kModelRow | kGivenRow | kScoreInput | kPageView, Sec::kCriteria, B::kHigh, 5, 2, ""},
    Field{"dH_mix_kJ/mol", "kJ/mol", K::kNumber, S::kAlloy, "mixing enthalpy sum over pairs of 4 dH_ij c_i c_j (Takeuchi and Inoue 2005)",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.dh_mix); }); }, kModelRow | kGivenRow | kScoreInput | kPageView, Sec::kCriteria, B::kLow, 6, 1, ""},
    Field{"dS_mix_J/molK", "J/(mol K)", K::kNumber, S::kAlloy, "ideal mixing entropy -R sum c_i ln c_i",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return V(k.ds_mix); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"Tm_K", "K", K::kNumber, S::kAlloy, "mean melting point sum c_i Tm_i",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.tm); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"Omega", "", K::kNumber, S::kAlloy, "Tm dS_mix / |dH_mix| (Yang and Zhang 2012); absent where dH_mix is absent or 0",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.omega); }); }, kModelRow | kGivenRow, Sec::kCriteria},
    Field{"log10_Omega", "", K::kNumber, S::kAlloy, "log10 of Tm dS_mix / max(|dH_mix|, 0.1 kJ/mol), an input of p_glass",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.log10_omega); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"min_dH_pair", "", K::kText, S::kAlloy, "the pair with the lowest mixing enthalpy: Cu-Zr",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return pair_text(k.min_pair); }); }, kModelRow | kGivenRow, Sec::kCriteria},
    Field{"min_dH_pair_kJ/mol", "kJ/mol", K::kNumber, S::kAlloy, "the lowest pair mixing enthalpy",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return pair_value(k.min_pair); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"max_dH_pair", "", K::kText, S::kAlloy, "the pair with the highest mixing enthalpy",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return pair_text(k.max_pair); }); }, kModelRow | kGivenRow, Sec::kCriteria},
    Field{"max_dH_pair_kJ/mol", "kJ/mol", K::kNumber, S::kAlloy, "the highest pair mixing enthalpy",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return pair_value(k.max_pair); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"inoue_3_elements", "", K::kFlag, S::kAlloy, "Inoue's first rule: at least three elements at 5 at.% or more",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return V(k.inoue_elements); }); }, kModelRow | kGivenRow, Sec::kRules},
    Field{"inoue_size_12pct", "", K::kFlag, S::kAlloy, "Inoue's second rule: the radii of the main three differ by more than 12 %",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return k.inoue_size ? V(*k.inoue_size) : V(); }); }, kModelRow | kGivenRow, Sec::kRules},
    Field{"inoue_negative_dH", "", K::kFlag, S::kAlloy, "Inoue's third rule: every pair of the main three has a negative dH",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_flag(k.inoue_enthalpy); }); }, kModelRow | kGivenRow, Sec::kRules},
    Field{"delta_chi", "", K::kNumber, S::kAlloy, "electronegativity difference sqrt(sum c_i (chi_i - mean chi)^2), Pauling scale",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.delta_chi); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"valence_electrons", "", K::kNumber, S::kAlloy, "mean number of valence electrons sum c_i n_i (Magpie's NValence: s, p, d and f)",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(k.valence); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"n_elements", "", K::kInteger, S::kAlloy, "the number of elements with a non-zero amount",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return V(static_cast<long long>(k.element_count)); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"max_at%", "at.%", K::kNumber, S::kAlloy, "the largest atomic percent",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return V(k.max_percent); }); }, kModelRow | kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"mendeleev_number_mean", "", K::kNumber, S::kAlloy, "the mean sum c_i v_i of the elements' Mendeleev number (Magpie's MendeleevNumber), an input of p_glass",
          element_statistic<ElementStatistic::kMendeleevNumber, &PropertyStatistics::mean>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"mendeleev_number_dev", "", K::kNumber, S::kAlloy, "the mean absolute deviation sum c_i |v_i - mean| of the elements' Mendeleev number (Magpie's MendeleevNumber), an input of p_glass",
          element_statistic<ElementStatistic::kMendeleevNumber, &PropertyStatistics::deviation>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"mendeleev_number_min", "", K::kNumber, S::kAlloy, "the least of the elements' Mendeleev number (Magpie's MendeleevNumber), an input of p_glass",
          element_statistic<ElementStatistic::kMendeleevNumber, &PropertyStatistics::min>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"mendeleev_number_max", "", K::kNumber, S::kAlloy, "the largest of the elements' Mendeleev number (Magpie's MendeleevNumber), an input of p_glass",
          element_statistic<ElementStatistic::kMendeleevNumber, &PropertyStatistics::max>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"mendeleev_number_range", "", K::kNumber, S::kAlloy, "the largest minus the least of the elements' Mendeleev number (Magpie's MendeleevNumber), an input of p_glass",
          element_statistic<ElementStatistic::kMendeleevNumber, &PropertyStatistics::range>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"group_mean", "", K::kNumber, S::kAlloy, "the mean sum c_i v_i of the elements' group of the periodic table (Magpie's Column; 3 for the lanthanides and actinides), an input of p_glass",
          element_statistic<ElementStatistic::kGroup, &PropertyStatistics::mean>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"group_dev", "", K::kNumber, S::kAlloy, "the mean absolute deviation sum c_i |v_i - mean| of the elements' group of the periodic table (Magpie's Column; 3 for the lanthanides and actinides), an input of p_glass",
          element_statistic<ElementStatistic::kGroup, &PropertyStatistics::deviation>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"group_min", "", K::kNumber, S::kAlloy, "the least of the elements' group of the periodic table (Magpie's Column; 3 for the lanthanides and actinides), an input of p_glass",
          element_statistic<ElementStatistic::kGroup, &PropertyStatistics::min>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"group_max", "", K::kNumber, S::kAlloy, "the largest of the elements' group of the periodic table (Magpie's Column; 3 for the lanthanides and actinides), an input of p_glass",
          element_statistic<ElementStatistic::kGroup, &PropertyStatistics::max>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"group_range", "", K::kNumber, S::kAlloy, "the largest minus the least of the elements' group of the periodic table (Magpie's Column; 3 for the lanthanides and actinides), an input of p_glass",
          element_statistic<ElementStatistic::kGroup, &PropertyStatistics::range>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"period_mean", "", K::kNumber, S::kAlloy, "the mean sum c_i v_i of the elements' period of the periodic table (Magpie's Row), an input of p_glass",
          element_statistic<ElementStatistic::kPeriod, &PropertyStatistics::mean>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"period_dev", "", K::kNumber, S::kAlloy, "the mean absolute deviation sum c_i |v_i - mean| of the elements' period of the periodic table (Magpie's Row), an input of p_glass",
          element_statistic<ElementStatistic::kPeriod, &PropertyStatistics::deviation>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"period_min", "", K::kNumber, S::kAlloy, "the least of the elements' period of the periodic table (Magpie's Row), an input of p_glass",
          element_statistic<ElementStatistic::kPeriod, &PropertyStatistics::min>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"period_max", "", K::kNumber, S::kAlloy, "the largest of the elements' period of the periodic table (Magpie's Row), an input of p_glass",
          element_statistic<ElementStatistic::kPeriod, &PropertyStatistics::max>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"period_range", "", K::kNumber, S::kAlloy, "the largest minus the least of the elements' period of the periodic table (Magpie's Row), an input of p_glass",
          element_statistic<ElementStatistic::kPeriod, &PropertyStatistics::range>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"covalent_radius_mean_pm", "pm", K::kNumber, S::kAlloy, "the mean sum c_i v_i of the elements' covalent radius in pm (Magpie's CovalentRadius), an input of p_glass",
          element_statistic<ElementStatistic::kCovalentRadius, &PropertyStatistics::mean>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"covalent_radius_dev_pm", "pm", K::kNumber, S::kAlloy, "the mean absolute deviation sum c_i |v_i - mean| of the elements' covalent radius in pm (Magpie's CovalentRadius), an input of p_glass",
          element_statistic<ElementStatistic::kCovalentRadius, &PropertyStatistics::deviation>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"covalent_radius_min_pm", "pm", K::kNumber, S::kAlloy, "the least of the elements' covalent radius in pm (Magpie's CovalentRadius), an input of p_glass",
          element_statistic<ElementStatistic::kCovalentRadius, &PropertyStatistics::min>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"covalent_radius_max_pm", "pm", K::kNumber, S::kAlloy, "the largest of the elements' covalent radius in pm (Magpie's CovalentRadius), an input of p_glass",
          element_statistic<ElementStatistic::kCovalentRadius, &PropertyStatistics::max>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"covalent_radius_range_pm", "pm", K::kNumber, S::kAlloy, "the largest minus the least of the elements' covalent radius in pm (Magpie's CovalentRadius), an input of p_glass",
          element_statistic<ElementStatistic::kCovalentRadius, &PropertyStatistics::range>, kGivenRow | kScoreInput, Sec::kCriteria},
    Field{"p_glass", "", K::kNumber, S::kAlloy, "calibrated probability in [0, 1] that a composition forms a glass by melt spinning: trees trained on melt-spun compositions (Ward et al. 2016), calibrated on their scores for chemical systems they did not see; absent where an input is unknown",
          [](const Row& r) { return of_score(r, [](const GlassScore& g) { return V(static_cast<float>(g.p_glass)); }); }, kModelRow | kGivenRow | kTextView | kPageView, Sec::kScore, B::kHigh, 1, 3, ""},
    Field{"p_glass_sd", "", K::kNumber, S::kAlloy, "spread of p_glass: the standard deviation of the calibrated probabilities of 5 models of 50 trees, each trained without one fifth of the chemical systems",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { const std::optional<ScoreFeatures> f = score_features(k); return f ? V(static_cast<float>(score_spread(*f))) : V(); }); }, kModelRow | kGivenRow, Sec::kScore, B::kLow},
    Field{"extrapolated", "", K::kFlag, S::kAlloy, "p_glass outside the domain of its training data: an element that no training composition holds, a pair of elements that none holds together (known_pairs < 1), or a feature computed with a user's element values (element_data not builtin)",
          [](const Row& r) { return of_score(r, [](const GlassScore& g) { return V(g.extrapolated); }); }, kModelRow | kGivenRow | kTextView, Sec::kScore, B::kNone, 2, 0},
    Field{"known_pairs", "", K::kNumber, S::kAlloy, "share of the element pairs that some labelled training composition of p_glass holds together; absent for one element",
          [](const Row& r) { return of_criteria(r, [](const GlassCriteria& k) { return optional_float(known_pair_share(k.elements)); }); }, kModelRow | kGivenRow, Sec::kScore},
    Field{"nearest_known_at%", "at.%", K::kNumber, S::kAlloy, "largest difference in an element's at.% from the nearest labelled training composition of the same elements; absent where there is none",
          [](const Row& r) { return with_parts(r, [&r](std::span<const FormulaPart> p) { return optional_float(nearest_known_percent(p, r.element_data())); }); }, kModelRow | kGivenRow, Sec::kScore, B::kLow},
    Field{"dmax_mm", "mm", K::kNumber, S::kAlloy, "estimated critical casting thickness if the composition forms a bulk glass: regression trees over the inputs of p_glass and p_glass, trained on bulk glasses (Ward et al. 2018); meaningless for a composition that forms no glass",
          [](const Row& r) { return of_casting(r, [](const CastingEstimate& c) { return V(static_cast<float>(c.dmax_mm)); }); }, kModelRow | kGivenRow | kPageView, Sec::kScore, B::kHigh, 2, 1, "Dmax"},
    Field{"dmax_low_mm", "mm", K::kNumber, S::kAlloy, "lower end of the 80 % interval of dmax_mm, from the misses on chemical systems held out from training",
          [](const Row& r) { return of_casting(r, [](const CastingEstimate& c) { return V(static_cast<float>(c.low_mm)); }); }, kModelRow | kGivenRow, Sec::kScore},
    Field{"dmax_high_mm", "mm", K::kNumber, S::kAlloy, "upper end of the 80 % interval of dmax_mm",
          [](const Row& r) { return of_casting(r, [](const CastingEstimate& c) { return V(static_cast<float>(c.high_mm)); }); }, kModelRow | kGivenRow, Sec::kScore},
    Field{"dmax_in_domain", "", K::kFlag, S::kAlloy, "dmax_mm inside its data: the base element (the largest share) has 10 or more bulk glasses in the training data, every element occurs in one, and no input comes from a user's element values",
          [](const Row& r) { return of_casting(r, [](const CastingEstimate& c) { return V(c.in_domain); }); }, kModelRow | kGivenRow, Sec::kScore},
    Field{"element_data", "", K::kText, S::kAlloy, "the element data of the row: builtin, or the first 12 hex digits of the SHA-256 of the --elements file, then those of the --mixing-enthalpy file",
          [](const Row& r) { return V(r.element_data().name()); }, kModelRow | kGivenRow | kElasticRow, Sec::kScore},
    Field{"nu", "", K::kNumber, S::kAlloy, "Poisson's ratio of the isotropic solid, (3B - 2G) / (2 (3B + G))",
          [](const Row& r) { return of_isotropic(r, [](const IsotropicElastic& i) { return V(i.nu); }); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kIsotropic, B::kNone, 16, 3, ""},
    Field{"B/G", "", K::kNumber, S::kAlloy, "bulk over shear modulus",
          [](const Row& r) { return of_isotropic(r, [](const IsotropicElastic& i) { return V(i.b_over_g); }); }, kModelRow | kGivenRow | kElasticRow | kPageView, Sec::kIsotropic, B::kNone, 17, 2, ""},
    Field{"Pugh_ductile", "", K::kFlag, S::kAlloy, "B/G > 1.75, Pugh's criterion of ductility",
          [](const Row& r) { return of_isotropic(r, [](const IsotropicElastic& i) { return V(i.pugh_ductile); }); }, kModelRow | kGivenRow | kElasticRow, Sec::kIsotropic},
    Field{"C12/C11_iso", "", K::kNumber, S::kAlloy, "C12/C11 of the isotropic solid with the same B and G (C11 = B + 4G/3, C12 = B - 2G/3)",
          [](const Row& r) { return of_isotropic(r, [](const IsotropicElastic& i) { return V(i.c12_over_c11); }); }, kModelRow | kGivenRow | kElasticRow, Sec::kIsotropic},
    Field{"C44/C11_iso", "", K::kNumber, S::kAlloy, "C44/C11 of the isotropic solid with the same B and G",
          [](const Row& r) { return of_isotropic(r, [](const IsotropicElastic& i) { return V(i.c44_over_c11); }); }, kModelRow | kGivenRow | kElasticRow, Sec::kIsotropic},
    Field{"formula_wt", "", K::kText, S::kAlloy, "a given composition in weight percent, two decimals", &formula_wt, kGivenRow, Sec::kIdentity},
    Field{"model_formula", "", K::kText, S::kAlloy, "the cluster model's composition nearest a given one (2 to 4 elements)",
          [](const Row& r) { return r.model != nullptr ? formula(Row::of(r.model->alloy, r.model->alloy.compositions()[r.model->composition])) : V(); }, kGivenRow, Sec::kModel},
    Field{"model_distance_at%", "at.%", K::kNumber, S::kAlloy, "largest difference in an element's at.% from model_formula",
          [](const Row& r) { return r.model != nullptr ? V(r.model->distance) : V(); }, kGivenRow, Sec::kModel, B::kLow},
    Field{"model_mismatch", "", K::kNumber, S::kAlloy, "mismatch of the alloy of model_formula",
          [](const Row& r) { return r.model != nullptr ? optional_float(r.model->alloy.mismatch) : V(); }, kGivenRow, Sec::kModel},
    Field{"model_packing_%", "%", K::kNumber, S::kAlloy, "packing efficiency of model_formula",
          [](const Row& r) { return r.model != nullptr ? V(r.model->alloy.compositions()[r.model->composition].packing) : V(); }, kGivenRow, Sec::kModel},
    Field{"G_measured_GPa", "GPa", K::kNumber, S::kAlloy, "measured shear modulus of the same composition (--measured)",
          [](const Row& r) { return of_measured(r, &MeasuredGlass::g); }, kMeasuredRow, Sec::kMeasured},
    Field{"B_measured_GPa", "GPa", K::kNumber, S::kAlloy, "measured bulk modulus of the same composition (--measured)",
          [](const Row& r) { return of_measured(r, &MeasuredGlass::b); }, kMeasuredRow, Sec::kMeasured},
    Field{"nu_measured", "", K::kNumber, S::kAlloy, "measured Poisson's ratio, or that of the measured G and B",
          [](const Row& r) { return of_measured(r, &MeasuredGlass::nu); }, kMeasuredRow, Sec::kMeasured},
    Field{"G_rel_diff", "", K::kNumber, S::kAlloy, "(estimated G - measured G) / measured G",
          [](const Row& r) { return relative_difference(r, &ElasticResult::g, &MeasuredGlass::g); }, kMeasuredRow, Sec::kMeasured},
    Field{"B_rel_diff", "", K::kNumber, S::kAlloy, "(estimated B - measured B) / measured B",
          [](const Row& r) { return relative_difference(r, &ElasticResult::b, &MeasuredGlass::b); }, kMeasuredRow, Sec::kMeasured},
    Field{"line", "", K::kInteger, S::kAlloy, "the input line of a batch or assess --file row, the argument's position for assess",
          [](const Row& r) { return r.line ? V(static_cast<long long>(*r.line)) : V(); }, kGivenRow | kInputRow, Sec::kInput},
    Field{"label", "", K::kText, S::kAlloy, "the text before the first colon of a batch or assess --file line",
          [](const Row& r) { return r.label ? V(std::string(*r.label)) : V(); }, kGivenRow | kInputRow, Sec::kInput},
};
// clang-format on

}  // namespace

std::span<const Field> all_fields() {
  return kFields;
}

const Field* find_field(std::string_view name) {
  for (const Field& f : kFields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::vector<const Field*> tagged_fields(std::uint32_t tags) {
  std::vector<const Field*> out;
  for (const Field& f : kFields) {
    if (f.has(tags)) out.push_back(&f);
  }
  return out;
}

std::vector<const Field*> alloy_fields() {
  return tagged_fields(kModelRow);
}

std::vector<const Field*> batch_fields() {
  std::vector<const Field*> out = alloy_fields();
  for (const Field* f : tagged_fields(kInputRow))
    out.push_back(f);
  return out;
}

std::vector<const Field*> formula_fields() {
  return tagged_fields(kElasticRow);
}

std::vector<const Field*> with_measured(std::vector<const Field*> fields) {
  const auto input =
      std::find_if(fields.begin(), fields.end(), [](const Field* f) { return f->has(kInputRow); });
  const std::vector<const Field*> measured = tagged_fields(kMeasuredRow);
  fields.insert(input, measured.begin(), measured.end());
  return fields;
}

std::vector<const Field*> assess_fields() {
  // What a composition is and how likely a glass first, then why, then what it would be.
  constexpr std::array kOrder{
      FieldSection::kIdentity, FieldSection::kScore,     FieldSection::kCriteria,
      FieldSection::kRules,    FieldSection::kModel,     FieldSection::kElastic,
      FieldSection::kWarnings, FieldSection::kIsotropic, FieldSection::kInput};
  std::vector<const Field*> out;
  for (const FieldSection section : kOrder) {
    for (const Field* f : tagged_fields(kGivenRow)) {
      if (f->section == section) out.push_back(f);
    }
  }
  return out;
}

std::vector<const Field*> view_fields(std::uint32_t view) {
  std::vector<const Field*> out = tagged_fields(view);
  std::stable_sort(out.begin(), out.end(),
                   [](const Field* a, const Field* b) { return a->place < b->place; });
  return out;
}

namespace {

// The families of positional fields that the wide layout turns into one column per element.
struct ShareFamily {
  std::string_view prefix;
  std::string_view suffix;
};
constexpr std::array<ShareFamily, 3> kShareFamilies{{{"x_", "_at%"}, {"w_", "_wt%"}, {"m_", "_g"}}};
constexpr std::array<std::string_view, 4> kPositions{"solvent", "solute1", "solute2", "solute3"};

std::string share_name(const ShareFamily& family, std::string_view position) {
  return std::string(family.prefix) + std::string(position) + std::string(family.suffix);
}

}  // namespace

FieldValue Column::value(const Row& row) const {
  if (field != nullptr) return field->value(row);
  if (row.alloy == nullptr) {
    // A given composition's atomic percent of the element: 0 where it lacks it.
    if (row.parts.empty() || positions[0] == nullptr || positions[0]->unit != "at.%") return {};
    double sum = 0;
    for (const FormulaPart& p : row.parts) {
      if (p.element == element) sum += p.amount;
    }
    return static_cast<float>(sum);
  }
  const std::span<const Element* const> e = row.alloy->elements();
  FieldValue sum = 0.0F;
  for (std::size_t p = 0; p < e.size(); ++p) {
    if (e[p] != element) continue;
    FieldValue v = positions[p]->value(row);
    if (std::holds_alternative<std::monostate>(v)) return v;
    if (std::holds_alternative<float>(sum) && std::holds_alternative<float>(v)) {
      sum = std::get<float>(sum) + std::get<float>(v);
    } else {
      sum = *numeric_value(sum) + *numeric_value(v);
    }
  }
  // The grams exist only with an ingot mass, for every element alike.
  if (std::holds_alternative<std::monostate>(positions[0]->value(row))) return {};
  return sum;
}

std::vector<Column> positional_columns(const std::vector<const Field*>& fields) {
  return {fields.begin(), fields.end()};
}

std::vector<Column> shares_and_assess_columns(std::span<const Element* const> elements) {
  const std::vector<const Field*> given = assess_fields();
  std::vector<Column> columns;
  columns.reserve(elements.size() + given.size());
  std::array<const Field*, 4> positions{};
  for (std::size_t p = 0; p < kPositions.size(); ++p)
    positions[p] = find_field(share_name(kShareFamilies[0], kPositions[p]));
  for (const Element* e : elements)
    columns.emplace_back(e, share_name(kShareFamilies[0], e->symbol), positions);
  for (const Field* f : given) {
    if (!f->has(kInputRow)) columns.emplace_back(f);
  }
  return columns;
}

std::vector<Column> wide_columns(const std::vector<const Field*>& fields,
                                 std::span<const Element* const> elements) {
  std::vector<Column> out;
  for (const Field* f : fields) {
    bool share = false;
    for (const ShareFamily& family : kShareFamilies) {
      for (const std::string_view position : kPositions)
        share = share || f->name == share_name(family, position);
      if (f->name != share_name(family, kPositions[0])) continue;
      std::array<const Field*, 4> positions{};
      for (std::size_t p = 0; p < kPositions.size(); ++p)
        positions[p] = find_field(share_name(family, kPositions[p]));
      for (const Element* e : elements)
        out.emplace_back(e, share_name(family, e->symbol), positions);
    }
    if (!share) out.emplace_back(f);
  }
  return out;
}

std::optional<std::string_view> text_value(const FieldValue& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  if (const auto* v = std::get_if<std::string_view>(&value)) return *v;
  return std::nullopt;
}

std::string_view kind_name(FieldKind kind) {
  switch (kind) {
    case FieldKind::kText:
      return "text";
    case FieldKind::kInteger:
      return "integer";
    case FieldKind::kNumber:
      return "number";
    case FieldKind::kFlag:
      return "flag";
  }
  return "text";
}

std::string_view scope_name(FieldScope scope) {
  return scope == FieldScope::kAlloy ? "alloy" : "element";
}

std::string fields_markdown() {
  std::string out = "| name | unit | kind | per | meaning |\n|---|---|---|---|---|\n";
  for (const Field& f : kFields) {
    std::string meaning;
    for (const char c : f.meaning)
      meaning.append(c == '|' ? "\\|" : std::string(1, c));
    append_format(out, "| `{}` | {} | {} | {} | {} |\n", f.name, f.unit, kind_name(f.kind),
                  scope_name(f.scope), meaning);
  }
  return out;
}

}  // namespace glassform
