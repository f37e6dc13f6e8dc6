// Intrinsic elastic properties of an alloy from its constituents: moduli by a rule of
// mixtures over atomic percentages, then elastic constants, fragility and Blackman ratios.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace glassform {

// One element of an alloy. A modulus of exactly 0 means that no data exist.
struct Constituent {
  std::string_view symbol;
  float e;        // Young's modulus, GPa
  float g;        // shear modulus, GPa
  float b;        // bulk modulus, GPa
  float percent;  // atomic percentage
};

// A mixed modulus, or the symbol of the first constituent without data for it.
struct MixedModulus {
  std::optional<float> value;
  std::string_view missing;  // the constituent's symbol when `value` is empty
};

// Elastic constants derived from the alloy's bulk and shear moduli.
struct ElasticConstants {
  float c11;
  float c12;
  float c44;
  float fragility;  // kinetic fragility index m
  float c12_over_c11;
  float c44_over_c11;
};

struct ElasticResult {
  MixedModulus e;
  MixedModulus g;
  MixedModulus b;
  std::optional<ElasticConstants> constants;  // only when B > 0 and G > 0
};

ElasticResult estimate_elastic(std::span<const Constituent> constituents);

}  // namespace glassform
