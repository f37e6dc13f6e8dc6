#include "console/dialogue.hpp"

namespace glassform {

namespace {

void print_modulus(Console& console, const MixedModulus& modulus,
                   std::span<const std::string> symbols, const char* missing_format,
                   const char* value_format) {
  if (modulus.value) {
    console.printf(value_format, static_cast<double>(*modulus.value));
  } else {
    console.printf(missing_format,
                   symbols[static_cast<std::size_t>(modulus.first_missing)].c_str());
  }
}

}  // namespace

void print_elastic(Console& console, ElasticStyle style, std::span<const std::string> symbols,
                   const ElasticResult& result) {
  switch (style) {
    case ElasticStyle::kBinary:
      console.print("\nElastic Properties predicted for the alloy:");
      break;
    case ElasticStyle::kTernary:
      console.print("\nElastic properties predicted for the alloy:");
      break;
    case ElasticStyle::kQuaternary:
      console.print("\n\nElastic Properties:");
      break;
  }
  console.line_end();

  print_modulus(console, result.e, symbols, "No Young's modulus data for %s\n", "E = %.1f GPa\n");
  print_modulus(console, result.g, symbols, "No shear modulus data for %s\n", "G = %.1f GPa\n");
  print_modulus(console, result.b, symbols, "No bulk modulus data for %s\n",
                style == ElasticStyle::kQuaternary ? "B = %.1f GPa\n" : "B = %.1f Gpa\n");

  if (!result.constants) {
    console.print("It's not possible to calculate the elastic constants with this data");
    return;
  }
  const ElasticConstants& c = *result.constants;
  console.printf(
      "C11 = %.1f GPa\nC12 = %.1f GPa\nC44 = %.1f GPa\nm = %.1f (Kinetic fragility index)\n"
      "C12/C11 = %.4f\nC44/C11 = %.4f",
      static_cast<double>(c.c11), static_cast<double>(c.c12), static_cast<double>(c.c44),
      static_cast<double>(c.fragility), static_cast<double>(c.c12_over_c11),
      static_cast<double>(c.c44_over_c11));
  if (style == ElasticStyle::kTernary) console.print("\n");
}

}  // namespace glassform
