#include "report/text_report.hpp"

#include <array>
#include <cstdarg>
#include <cstdio>

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

// A symbol of the element table, NUL-terminated for printf.
const char* sym(const Element* element) {
  return element->symbol.data();
}

void append_modulus(std::string& out, const MixedModulus& modulus, const char* missing_format,
                    const char* value_format) {
  if (modulus.value) {
    appendf(out, value_format, d(*modulus.value));
  } else {
    appendf(out, missing_format, std::string(modulus.missing).c_str());
  }
}

void append_binary(std::string& out, const AlloyResult& alloy) {
  const std::span<const Element* const> e = alloy.elements();
  const Cluster& cluster = alloy.clusters()[0];
  const Composition& c = alloy.compositions()[0];
  appendf(out, "For a <%d> glass:", cluster.chosen);
  appendf(out, "\n\nRadii in nm: %s= %.5f\t%s= %.5f,\nwith radius ratio %.3f\n", sym(e[0]),
          d(e[0]->radius), sym(e[1]), d(e[1]->radius), d(cluster.measure.ratio));
  if (!cluster.ideal_ratio) {
    out.append("Solute radius too big: ");
    out.append(e[1]->symbol);
    out.push_back('\n');
  }
  appendf(
      out,
      "\nAtoms contained in the selected alloy:\n%.3f atoms for alpha solvent.\n%.3f total atoms.\n\nComposition predicted:\n%.2f%% of %s.\n%.2f%% of %s.\nPacking efficiency of the alloy = %.2f%%\n",
      d(c.solvent_atoms), d(c.total_atoms), d(c.percent[0]), sym(e[0]), d(c.percent[1]), sym(e[1]),
      d(c.packing));
  append_elastic_text(out, ElasticStyle::kBinary, c.elastic);
}

void append_ternary(std::string& out, const AlloyResult& alloy) {
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> clusters = alloy.clusters();
  appendf(
      out,
      "For a <%d,%d> glass:\n\nRadii in nm: %s= %.5f      %s= %.5f      %s= %.5f,\nwith radius ratios %.3f and %.3f for %s and %s respectively.\n",
      clusters[0].chosen, clusters[1].chosen, sym(e[0]), d(e[0]->radius), sym(e[1]),
      d(e[1]->radius), sym(e[2]), d(e[2]->radius), d(clusters[0].measure.ratio),
      d(clusters[1].measure.ratio), sym(e[1]), sym(e[2]));
  for (const Composition& c : alloy.compositions()) {
    out.append(kSeparator);
    out.append(kGammaHeadings[static_cast<std::size_t>(c.gamma_sites.value_or(0))]);
    for (std::size_t i = 0; i < 3; ++i)
      appendf(out, "%.2f%% of %s\n", d(c.percent[i]), sym(e[i]));
    appendf(out, "Packing efficiency of the alloy = %.2f%%\n", d(c.packing));
    append_elastic_text(out, ElasticStyle::kTernary, c.elastic);
  }
}

void append_quaternary(std::string& out, const AlloyResult& alloy) {
  const std::span<const Element* const> e = alloy.elements();
  const std::span<const Cluster> k = alloy.clusters();
  const Composition& c = alloy.compositions()[0];
  appendf(
      out,
      "For a <%d,%d,%d> glass:\n\nRadii in nm: %s= %.5f     %s= %.5f     %s= %.5f     %s= %.5f,\nwith radius ratios %.2f, %.2f and %.2f for %s, %s and %s respectively.\n\nAtoms contained in the selected alloy:\n%.2f atoms of solvent.\n%.2f total atoms.\n\nComposition calculated:\n%.2f%% of %s.\n%.2f%% of %s.\n%.2f%% of %s.\n%.2f%% of %s.\n\nPacking efficiency of the alloy= %.2f %%",
      k[0].chosen, k[1].chosen, k[2].chosen, sym(e[0]), d(e[0]->radius), sym(e[1]), d(e[1]->radius),
      sym(e[2]), d(e[2]->radius), sym(e[3]), d(e[3]->radius), d(k[0].measure.ratio),
      d(k[1].measure.ratio), d(k[2].measure.ratio), sym(e[1]), sym(e[2]), sym(e[3]),
      d(c.solvent_atoms), d(c.total_atoms), d(c.percent[0]), sym(e[0]), d(c.percent[1]), sym(e[1]),
      d(c.percent[2]), sym(e[2]), d(c.percent[3]), sym(e[3]), d(c.packing));
  append_elastic_text(out, ElasticStyle::kQuaternary, c.elastic);
}

}  // namespace

void vappendf(std::string& out, const char* format, va_list args) {
  std::array<char, 512> small{};
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small.data(), small.size(), format, args);
  if (length >= 0 && static_cast<std::size_t>(length) < small.size()) {
    out.append(small.data(), static_cast<std::size_t>(length));
  } else if (length > 0) {
    std::string large(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(large.data(), large.size(), format, again);
    out.append(large.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
}

void appendf(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vappendf(out, format, args);
  va_end(args);
}

ElasticStyle elastic_style(AlloyKind kind) {
  switch (kind) {
    case AlloyKind::kBinary:
      return ElasticStyle::kBinary;
    case AlloyKind::kTernary:
      return ElasticStyle::kTernary;
    case AlloyKind::kQuaternary:
      return ElasticStyle::kQuaternary;
  }
  return ElasticStyle::kBinary;
}

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
  append_modulus(out, result.e, "No Young's modulus data for %s\n", "E = %.1f GPa\n");
  append_modulus(out, result.g, "No shear modulus data for %s\n", "G = %.1f GPa\n");
  // The binary and ternary bulk-modulus lines have always spelled the unit "Gpa".
  append_modulus(out, result.b, "No bulk modulus data for %s\n",
                 style == ElasticStyle::kBinary || style == ElasticStyle::kTernary
                     ? "B = %.1f Gpa\n"
                     : "B = %.1f GPa\n");

  if (!result.constants) {
    out.append("It's not possible to calculate the elastic constants with this data");
    if (style == ElasticStyle::kComposition) out.push_back('\n');
    return;
  }
  const ElasticConstants& c = *result.constants;
  appendf(
      out,
      "C11 = %.1f GPa\nC12 = %.1f GPa\nC44 = %.1f GPa\nm = %.1f (Kinetic fragility index)\nC12/C11 = %.4f\nC44/C11 = %.4f",
      d(c.c11), d(c.c12), d(c.c44), d(c.fragility), d(c.c12_over_c11), d(c.c44_over_c11));
  if (style == ElasticStyle::kTernary || style == ElasticStyle::kComposition) out.push_back('\n');
}

void append_text_report(std::string& out, const AlloyResult& alloy) {
  switch (alloy.kind) {
    case AlloyKind::kBinary:
      append_binary(out, alloy);
      break;
    case AlloyKind::kTernary:
      append_ternary(out, alloy);
      break;
    case AlloyKind::kQuaternary:
      append_quaternary(out, alloy);
      break;
  }
}

void write_text_report(OutputSink& sink, const AlloyResult& alloy) {
  std::string text;
  append_text_report(text, alloy);
  sink.write(text);
}

}  // namespace glassform
