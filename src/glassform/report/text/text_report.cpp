#include "glassform/report/text/text_report.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>

#include "glassform/io/format.hpp"
#include "glassform/model/casting_thickness.hpp"
#include "glassform/model/glass_score.hpp"
#include "glassform/report/text/warnings.hpp"

namespace glassform {

namespace {

constexpr std::string_view kSeparator =
    "-----------------------------------------------------------------------------";
static_assert(kSeparator.size() == 77);

constexpr std::array<std::string_view, 3> kGammaHeadings{
    "\nComposition calculated for empty gamma sites:\n",
    "\nComposition calculated for half full gamma sites:\n",
    "\nComposition calculated for full gamma sites:\n",
};

double d(float value) {
  return static_cast<double>(value);
}

std::string_view sym(const Element* element) {
  return element->symbol;
}

// "E = 95.2 GPa" (with `unit` as spelled), or "No Young's modulus data for Mn".
void append_modulus(std::string& out, const MixedModulus& modulus, std::string_view name,
                    std::string_view symbol, std::string_view unit) {
  if (modulus.value) {
    append_format(out, "{} = {:.1f} {}\n", symbol, *modulus.value, unit);
  } else {
    append_format(out, "No {} data for {}\n", name, modulus.missing);
  }
}

// The notes of a composition, on a line of their own.
void append_notes(std::string& out, const CompositionNotes& notes, const Composition& c) {
  if (!notes) return;
  if (out.back() != '\n') out.push_back('\n');
  notes(out, c);
}

void append_binary(std::string& out, const AlloyResult& alloy, const CompositionNotes& notes) {
  const std::span<const Element* const> e = alloy.elements();
  const Cluster& cluster = alloy.clusters()[0];
  const Composition& c = alloy.compositions()[0];
  append_format(out, "For a <{}> glass:", cluster.chosen);
  append_format(out, "\n\nRadii in nm: {}= {:.5f}\t{}= {:.5f},\nwith radius ratio {:.3f}\n",
                sym(e[0]), d(e[0]->radius), sym(e[1]), d(e[1]->radius), d(cluster.measure.ratio));
  if (!cluster.ideal_ratio) {
    out.append(solute_too_big_text(e[1]->symbol));
    out.push_back('\n');
  }
  append_format(
      out,
      "\nAtoms contained in the selected alloy:\n{:.3f} atoms for alpha solvent.\n{:.3f} total atoms.\n\nComposition predicted:\n{:.2f}% of {}.\n{:.2f}% of {}.\nPacking efficiency of the alloy = {:.2f}%\n",
      d(c.solvent_atoms), d(c.total_atoms), d(c.percent[0]), sym(e[0]), d(c.percent[1]), sym(e[1]),
      d(c.packing));
  append_elastic_text(out, ElasticStyle::kBinary, c.elastic);
  append_notes(out, notes, c);
}

void append_ternary(std::string& out, const AlloyResult& alloy, const CompositionNotes& notes) {
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> clusters = alloy.clusters();
  append_format(
      out,
      "For a <{},{}> glass:\n\nRadii in nm: {}= {:.5f}      {}= {:.5f}      {}= {:.5f},\nwith radius ratios {:.3f} and {:.3f} for {} and {} respectively.\n",
      clusters[0].chosen, clusters[1].chosen, sym(e[0]), d(e[0]->radius), sym(e[1]),
      d(e[1]->radius), sym(e[2]), d(e[2]->radius), d(clusters[0].measure.ratio),
      d(clusters[1].measure.ratio), sym(e[1]), sym(e[2]));
  for (const Composition& c : alloy.compositions()) {
    out.append(kSeparator);
    out.append(kGammaHeadings[static_cast<std::size_t>(c.gamma_sites.value_or(0))]);
    for (std::size_t i = 0; i < 3; ++i)
      append_format(out, "{:.2f}% of {}\n", d(c.percent[i]), sym(e[i]));
    append_format(out, "Packing efficiency of the alloy = {:.2f}%\n", d(c.packing));
    append_elastic_text(out, ElasticStyle::kTernary, c.elastic);
    append_notes(out, notes, c);
  }
}

void append_quaternary(std::string& out, const AlloyResult& alloy, const CompositionNotes& notes) {
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> k = alloy.clusters();
  const Composition& c = alloy.compositions()[0];
  append_format(
      out,
      "For a <{},{},{}> glass:\n\nRadii in nm: {}= {:.5f}     {}= {:.5f}     {}= {:.5f}     {}= {:.5f},\nwith radius ratios {:.2f}, {:.2f} and {:.2f} for {}, {} and {} respectively.\n\nAtoms contained in the selected alloy:\n{:.2f} atoms of solvent.\n{:.2f} total atoms.\n\nComposition calculated:\n{:.2f}% of {}.\n{:.2f}% of {}.\n{:.2f}% of {}.\n{:.2f}% of {}.\n\nPacking efficiency of the alloy= {:.2f} %",
      k[0].chosen, k[1].chosen, k[2].chosen, sym(e[0]), d(e[0]->radius), sym(e[1]), d(e[1]->radius),
      sym(e[2]), d(e[2]->radius), sym(e[3]), d(e[3]->radius), d(k[0].measure.ratio),
      d(k[1].measure.ratio), d(k[2].measure.ratio), sym(e[1]), sym(e[2]), sym(e[3]),
      d(c.solvent_atoms), d(c.total_atoms), d(c.percent[0]), sym(e[0]), d(c.percent[1]), sym(e[1]),
      d(c.percent[2]), sym(e[2]), d(c.percent[3]), sym(e[3]), d(c.packing));
  append_elastic_text(out, ElasticStyle::kQuaternary, c.elastic);
  append_notes(out, notes, c);
}

}  // namespace

void append_elastic_text(std::string& out, ElasticStyle style, const ElasticResult& result) {
  // The binary heading has always said "Properties", the ternary "properties".
  switch (style) {
    case ElasticStyle::kBinary:
      out.append("\nElastic Properties predicted for the alloy:\n");
      break;
    case ElasticStyle::kTernary:
      out.append("\nElastic properties predicted for the alloy:\n");
      break;
    case ElasticStyle::kQuaternary:
      out.append("\n\nElastic Properties:\n");
      break;
    case ElasticStyle::kComposition:
      break;
  }
  append_modulus(out, result.e, "Young's modulus", "E", "GPa");
  append_modulus(out, result.g, "shear modulus", "G", "GPa");
  // The binary and ternary bulk-modulus lines have always spelled the unit "Gpa".
  append_modulus(out, result.b, "bulk modulus", "B",
                 style == ElasticStyle::kBinary || style == ElasticStyle::kTernary ? "Gpa" : "GPa");

  if (!result.constants) {
    out.append("It's not possible to calculate the elastic constants with this data");
    if (style == ElasticStyle::kComposition) out.push_back('\n');
    return;
  }
  const ElasticConstants& c = *result.constants;
  append_format(
      out,
      "C11 = {:.1f} GPa\nC12 = {:.1f} GPa\nC44 = {:.1f} GPa\nm = {:.1f} (Kinetic fragility index)\nC12/C11 = {:.4f}\nC44/C11 = {:.4f}",
      d(c.c11), d(c.c12), d(c.c44), d(c.fragility), d(c.c12_over_c11), d(c.c44_over_c11));
  if (style == ElasticStyle::kTernary || style == ElasticStyle::kComposition) out.push_back('\n');
}

void append_text_report(std::string& out, const AlloyResult& alloy, const CompositionNotes& notes) {
  switch (alloy.kind) {
    case AlloyKind::kBinary:
      append_binary(out, alloy, notes);
      break;
    case AlloyKind::kTernary:
      append_ternary(out, alloy, notes);
      break;
    case AlloyKind::kQuaternary:
      append_quaternary(out, alloy, notes);
      break;
  }
}

namespace {

// A positive value in two significant digits: 3.0, 12, 0.46, 120.
std::string two_significant(double value) {
  if (!(value > 0) || !std::isfinite(value)) return fmt::format("{}", value);
  const double scale = std::pow(10.0, std::floor(std::log10(value)) - 1);
  const double rounded = std::round(value / scale) * scale;  // 9.96 becomes 10
  const int exponent = static_cast<int>(std::floor(std::log10(rounded) + 1e-9));
  return fmt::format("{:.{}f}", rounded, std::max(0, 1 - exponent));
}

std::string_view yes_no(bool flag) {
  return flag ? "yes" : "no";
}

}  // namespace

void append_elastic_notes(std::string& out, const ElasticResult& result) {
  if (const std::optional<IsotropicElastic> i = isotropic_elastic(result)) {
    append_format(out, "Poisson's ratio nu = {:.3f}, B/G = {:.2f}: {} (Pugh: B/G {} 1.75)\n",
                  d(i->nu), d(i->b_over_g), i->pugh_ductile ? "ductile" : "brittle",
                  i->pugh_ductile ? ">" : "<=");
  }
  out.append(
      "Estimates from the crystalline elements' moduli: they run high for glasses\n"
      "  (G by 17 to 73 % for the glasses of the validation page).\n");
}

void append_measured_text(std::string& out, const MeasuredGlass& m, const ElasticResult& estimate) {
  append_format(out, "Measured ({}):", m.name);
  const char* separator = " ";
  for (const auto& [name, value] : {std::pair{"G", m.g}, std::pair{"B", m.b}}) {
    if (!value) continue;
    append_format(out, "{}{} = {:.1f} GPa", separator, name, *value);
    separator = ", ";
  }
  if (m.nu) append_format(out, "{}nu = {:.3f}", separator, *m.nu);
  out.push_back('\n');
  std::string differences;
  for (const auto& [name, e, value] :
       {std::tuple{"G", estimate.g.value, m.g}, std::tuple{"B", estimate.b.value, m.b}}) {
    if (!e || !value || *value == 0) continue;
    append_format(differences, "{}{} {:+.0f} %", differences.empty() ? "" : ", ", name,
                  100 * (static_cast<double>(*e) - *value) / *value);
  }
  if (!differences.empty()) out.append("  the estimate differs by " + differences + "\n");
}

// Lines of at most 80 columns: a continuation starts with two blanks.
void append_criteria_text(std::string& out, const GlassCriteria& k) {
  constexpr std::string_view kAbsent = "not available";
  // A value with its decimals and unit, or "not available" where the data lack it.
  const auto value = [&](const std::optional<float>& v, int decimals, std::string_view unit) {
    if (!v) return std::string(kAbsent);
    return fmt::format("{:.{}f}{}", d(*v), decimals, unit);
  };
  append_format(out, "Glass-forming criteria: delta = {}, dH_mix = ", value(k.delta_pct, 2, " %"));
  if (k.dh_mix) {
    append_format(out, "{:.1f} kJ/mol", d(*k.dh_mix));
  } else {
    out.append(kAbsent);
  }
  append_format(out, ",\n  dS_mix = {:.2f} J/(mol K), Tm = {}, Omega = ", d(k.ds_mix),
                value(k.tm, 0, " K"));
  if (k.omega) {
    append_format(out, "{:.2f}\n", d(*k.omega));
  } else {
    append_format(out, "{}\n", kAbsent);
  }
  if (k.min_pair && k.max_pair && k.min_pair->pair.a == k.max_pair->pair.a &&
      k.min_pair->pair.b == k.max_pair->pair.b) {
    append_format(out, "Pair mixing enthalpy: {:.1f} kJ/mol ({})\n", d(k.min_pair->kj_per_mol),
                  pair_name(k.min_pair->pair));
  } else if (k.min_pair && k.max_pair) {
    append_format(out, "Pair mixing enthalpies: {:.1f} kJ/mol ({}) to {:.1f} kJ/mol ({})\n",
                  d(k.min_pair->kj_per_mol), pair_name(k.min_pair->pair), d(k.max_pair->kj_per_mol),
                  pair_name(k.max_pair->pair));
  }
  append_format(out, "Electronegativity difference delta_chi = {}, valence electrons = {}\n",
                value(k.delta_chi, 3, ""), value(k.valence, 2, ""));
  append_format(out,
                "Inoue's rules: three elements at 5 at.% or more: {},\n"
                "  radii of the main three differ by more than 12 %: {},\n"
                "  negative dH_mix among the main three: {}\n",
                yes_no(k.inoue_elements), k.inoue_size ? yes_no(*k.inoue_size) : kAbsent,
                k.inoue_enthalpy ? yes_no(*k.inoue_enthalpy) : kAbsent);
  const std::optional<GlassScore> score = glass_score(k);
  if (!score) {
    append_format(out, "Glass-formation score p_glass: {}\n", kAbsent);
    return;
  }
  append_format(out, "Glass-formation score p_glass = {:.3f} (trained on melt-spun ribbons)\n",
                score->p_glass);
  if (k.user_values) {
    out.append("  extrapolated: computed with element values other than the built-in ones\n");
  } else if (score->extrapolated) {
    out.append(
        "  extrapolated: an element, or a pair of elements, that no training composition "
        "holds\n");
  }
  const std::optional<CastingEstimate> casting = casting_thickness(k, *score);
  if (!casting) return;
  append_format(out,
                "Critical casting thickness estimate Dmax = {} mm (80 %: {}-{} mm), from {} bulk "
                "glasses; base element {}: {} of them{}\n",
                two_significant(casting->dmax_mm), two_significant(casting->low_mm),
                two_significant(casting->high_mm), bulk_glass_count(), kElements[k.base].symbol,
                bulk_glasses_with_base(k.base), casting->in_domain ? "" : "; outside the data");
}

}  // namespace glassform
