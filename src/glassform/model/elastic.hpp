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

// What B and G say of an isotropic solid with these moduli: Poisson's ratio
// nu = (3B - 2G) / (2 (3B + G)), B/G with Pugh's ductility criterion (B/G > 1.75; S. F. Pugh,
// Phil. Mag. 45 (1954) 823), and the Blackman ratios of that solid (C11 = B + 4G/3,
// C12 = B - 2G/3, C44 = G), which lie on y = (1 - x)/2.
struct IsotropicElastic {
  float nu;
  float b_over_g;
  bool pugh_ductile;
  float c12_over_c11;
  float c44_over_c11;
};

// Nothing unless B > 0 and G > 0.
std::optional<IsotropicElastic> isotropic_elastic(const ElasticResult& result);

}  // namespace glassform
