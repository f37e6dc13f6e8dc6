#include "glassform/report/text/warnings.hpp"
#include "glassform/io/format.hpp"

#include "glassform/report/table/number_format.hpp"

namespace glassform {

namespace {

void add_missing(std::vector<std::string>& out, const MixedModulus& modulus, const char* name) {
  if (modulus.value) return;
  std::string text = "no ";
  text.append(name);
  text.append(" data for ");
  text.append(modulus.missing);
  out.push_back(std::move(text));
}

}  // namespace

std::string solute_too_big_text(std::string_view solute) {
  return "Solute radius too big: " + std::string(solute);
}

std::string ratio_too_big_text(std::string_view solute) {
  return "Radius ratio too big: \"" + std::string(solute) + "\"";
}

std::string_view solute_too_small_text() {
  return "Solute radius too small";
}

std::string interchangeable_text(std::string_view solute, std::string_view solvent) {
  std::string text(solute);
  text.append(" is less than 2 percent different in size to ");
  text.append(solvent);
  text.append(" and is interchangeable with ");
  text.append(solvent);
  return text;
}

std::vector<std::string> alloy_warnings(const AlloyResult& alloy) {
  std::vector<std::string> out;
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> clusters = alloy.clusters();
  switch (alloy.kind) {
    case AlloyKind::kBinary:
      if (!clusters[0].ideal_ratio) out.push_back(solute_too_big_text(e[1]->symbol));
      break;
    case AlloyKind::kTernary:
      for (std::size_t i = 0; i < 2; ++i) {
        const std::string_view solute = e[i + 1]->symbol;
        if (i == 0 && clusters[0].measure.too_small) out.emplace_back(solute_too_small_text());
        const bool out_of_range = !clusters[i].ideal_ratio;
        // The dialogue reports the first integer before the similarity check, the second after.
        if (i == 0 && out_of_range) out.push_back(ratio_too_big_text(solute));
        if (clusters[i].measure.like_solvent)
          out.push_back(interchangeable_text(solute, e[0]->symbol));
        if (i == 1 && out_of_range) out.push_back(ratio_too_big_text(solute));
      }
      break;
    case AlloyKind::kQuaternary:
      break;
  }
  return out;
}

std::optional<std::string> packing_warning(const AlloyResult& alloy,
                                           const Composition& composition) {
  if (!(composition.packing > 100.0F)) return std::nullopt;
  std::string text = "packing efficiency ";
  append_fixed(text, composition.packing, 2);
  text.append(" %");
  if (composition.gamma_sites) {
    text.append(" (");
    text.append(gamma_sites_name(*composition.gamma_sites));
    text.append(" gamma sites)");
  }
  text.append(" is above 100 %: the chosen integers do not fit the radius ratios (");
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> clusters = alloy.clusters();
  for (std::size_t i = 0; i < clusters.size(); ++i) {
    if (i > 0) text.append(", ");
    text.append(e[i + 1]->symbol);
    append_format(text, " {} for {:.2f}", clusters[i].chosen,
                  static_cast<double>(clusters[i].measure.coordination));
  }
  text.push_back(')');
  return text;
}

std::vector<std::string> command_line_warnings(const AlloyResult& alloy) {
  std::vector<std::string> out = alloy_warnings(alloy);
  for (const Composition& c : alloy.compositions()) {
    if (std::optional<std::string> w = packing_warning(alloy, c)) out.push_back(std::move(*w));
  }
  if (std::optional<std::string> w =
          missing_pairs_warning(missing_pairs(alloy.elements(), data_of(alloy)))) {
    out.push_back(std::move(*w));
  }
  return out;
}

std::optional<std::string> missing_pairs_warning(std::span<const ElementPair> pairs) {
  if (pairs.empty()) return std::nullopt;
  std::string text =
      pairs.size() == 1 ? "no mixing enthalpy for the pair " : "no mixing enthalpy for the pairs ";
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (i > 0) text.append(", ");
    text.append(pair_name(pairs[i]));
  }
  return text;
}

std::vector<std::string> criteria_warnings(const GlassCriteria& criteria) {
  std::vector<std::string> out;
  if (std::optional<std::string> w = missing_pairs_warning(criteria.missing_pairs)) {
    out.push_back(std::move(*w));
  }
  // In the labelled data, 15 of the 18 such compositions are crystalline.
  if (criteria.dh_mix && *criteria.dh_mix > 0 && criteria.delta_pct && *criteria.delta_pct < 5) {
    out.emplace_back(
        "positive mixing enthalpy and small size difference: a crystalline solid solution is "
        "expected");
  }
  return out;
}

std::vector<std::string> composition_warnings(const AlloyResult& alloy,
                                              const Composition& composition) {
  std::vector<std::string> out;
  if (std::optional<std::string> w = packing_warning(alloy, composition)) {
    out.push_back(std::move(*w));
  }
  for (std::string& w : elastic_warnings(composition.elastic))
    out.push_back(std::move(w));
  return out;
}

std::vector<std::string> elastic_warnings(const ElasticResult& elastic) {
  std::vector<std::string> out;
  add_missing(out, elastic.e, "Young's modulus");
  add_missing(out, elastic.g, "shear modulus");
  add_missing(out, elastic.b, "bulk modulus");
  return out;
}

std::string row_warnings(const AlloyResult& alloy, const Composition& composition) {
  std::string text;
  auto join = [&text](const std::vector<std::string>& list) {
    for (const std::string& w : list) {
      if (!text.empty()) text.append("; ");
      text.append(w);
    }
  };
  join(alloy_warnings(alloy));
  join(composition_warnings(alloy, composition));
  return text;
}

}  // namespace glassform
