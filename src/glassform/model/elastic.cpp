#include "glassform/model/elastic.hpp"

#include <cstddef>

namespace glassform {

namespace {

using LD = long double;

MixedModulus mix(std::span<const Constituent> constituents, float Constituent::*modulus) {
  LD sum = 0;
  for (std::size_t i = 0; i < constituents.size(); ++i) {
    const float value = constituents[i].*modulus;
    if (value == 0.0F) return {std::nullopt, constituents[i].symbol};
    sum += static_cast<LD>(value) * constituents[i].percent;
  }
  return {static_cast<float>(sum / 100.0F), {}};
}

}  // namespace

ElasticResult estimate_elastic(std::span<const Constituent> constituents) {
  ElasticResult result{mix(constituents, &Constituent::e), mix(constituents, &Constituent::g),
                       mix(constituents, &Constituent::b), std::nullopt};
  const float b = result.b.value.value_or(0.0F);
  const float g = result.g.value.value_or(0.0F);
  if (b > 0.0F && g > 0.0F) {
    ElasticConstants c{};
    // C11 = B + G and C12 = (3B - C11)/2 are this model's simplified relations.
    c.c11 = static_cast<float>(static_cast<LD>(b) + g);
    c.c12 = static_cast<float>((3.0F * static_cast<LD>(b) - c.c11) * 0.5F);
    c.c44 = g;
    c.fragility = static_cast<float>((static_cast<LD>(b) / g + static_cast<LD>(0.67)) *
                                     static_cast<LD>(12.0));
    c.c12_over_c11 = static_cast<float>(static_cast<LD>(c.c12) / c.c11);
    c.c44_over_c11 = static_cast<float>(static_cast<LD>(g) / c.c11);
    result.constants = c;
  }
  return result;
}

std::optional<IsotropicElastic> isotropic_elastic(const ElasticResult& result) {
  constexpr LD kPughDuctile = 1.75L;
  const float b = result.b.value.value_or(0.0F);
  const float g = result.g.value.value_or(0.0F);
  if (!(b > 0.0F && g > 0.0F)) return std::nullopt;
  const LD lb = b;
  const LD lg = g;
  const LD c11 = lb + 4 * lg / 3;
  const LD c12 = lb - 2 * lg / 3;
  IsotropicElastic out{};
  out.nu = static_cast<float>((3 * lb - 2 * lg) / (2 * (3 * lb + lg)));
  out.b_over_g = static_cast<float>(lb / lg);
  out.pugh_ductile = lb / lg > kPughDuctile;
  out.c12_over_c11 = static_cast<float>(c12 / c11);
  out.c44_over_c11 = static_cast<float>(lg / c11);
  return out;
}

}  // namespace glassform
