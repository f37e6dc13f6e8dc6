// Melting points, electronegativities and valence-electron counts of the 73 elements of the
// element table, in the table's order: the inputs of the composition criteria.
#pragma once

#include <array>
#include <string_view>

#include "glassform/model/elements.hpp"

namespace glassform {

struct ElementProperties {
  std::string_view symbol;
  float melting_point;      // K
  float electronegativity;  // Pauling scale
  int valence_electrons;
};

// Melting point (K), Pauling electronegativity and number of valence electrons. Source: the
// Magpie element-property tables (L. Ward, A. Agrawal, A. Choudhary, C. Wolverton, npj Comput.
// Mater. 2 (2016) 16028), files MeltingT.table, Electronegativity.table and NValence.table as
// distributed with matminer (commit 8ddb18c740, BSD-3-Clause, (c) 2015 The Regents of the
// University of California). Row n is the element of row n of kElements.
// clang-format off
inline constexpr std::array<ElementProperties, kElementCount> kElementProperties{{
    {"O", 54.8F, 3.44F, 6},
    {"N", 63.05F, 3.04F, 5},
    {"C", 3823.0F, 2.55F, 4},
    {"B", 2348.0F, 2.04F, 3},
    {"S", 388.36F, 2.58F, 6},
    {"P", 317.3F, 2.19F, 5},
    {"Be", 1560.0F, 1.57F, 2},
    {"Si", 1687.0F, 1.9F, 4},
    {"Ge", 1211.4F, 2.01F, 14},
    {"Fe", 1811.0F, 1.83F, 8},
    {"Ni", 1728.0F, 1.91F, 10},
    {"Cr", 2180.0F, 1.66F, 6},
    {"Co", 1768.0F, 1.88F, 9},
    {"Cu", 1357.77F, 1.9F, 11},
    {"V", 2183.0F, 1.63F, 5},
    {"Ru", 2607.0F, 2.2F, 8},
    {"Rh", 2237.0F, 2.28F, 9},
    {"Mn", 1519.0F, 1.55F, 7},
    {"Os", 3306.0F, 2.2F, 22},
    {"Ir", 2739.0F, 2.2F, 23},
    {"Tc", 2430.0F, 1.9F, 7},
    {"Mo", 2896.0F, 2.16F, 6},
    {"W", 3695.0F, 2.36F, 20},
    {"Re", 3459.0F, 1.9F, 21},
    {"Pd", 1828.05F, 2.2F, 10},
    {"Pt", 2041.4F, 2.28F, 24},
    {"Ga", 302.91F, 1.81F, 13},
    {"Zn", 692.68F, 1.65F, 12},
    {"Se", 494.0F, 2.55F, 16},
    {"U", 1408.0F, 1.38F, 6},
    {"Nb", 2750.0F, 1.6F, 5},
    {"Ta", 3290.0F, 1.5F, 19},
    {"Al", 933.47F, 1.61F, 3},
    {"Au", 1337.33F, 2.54F, 25},
    {"Ag", 1234.93F, 1.93F, 11},
    {"Te", 722.66F, 2.1F, 16},
    {"Ti", 1941.0F, 1.54F, 4},
    {"Li", 453.69F, 0.98F, 1},
    {"Po", 527.0F, 2.0F, 30},
    {"Tm", 1818.0F, 1.25F, 15},
    {"Cd", 594.22F, 1.69F, 12},
    {"Hf", 2506.0F, 1.3F, 18},
    {"Mg", 923.0F, 1.31F, 2},
    {"Zr", 2128.0F, 1.33F, 4},
    {"Pa", 1845.0F, 1.5F, 5},
    {"Sn", 505.08F, 1.96F, 14},
    {"Pm", 1373.0F, 1.155F, 7},
    {"Nd", 1294.0F, 1.14F, 6},
    {"Sc", 1814.0F, 1.36F, 3},
    {"Pr", 1204.0F, 1.13F, 5},
    {"In", 429.75F, 1.78F, 13},
    {"Yb", 1092.0F, 1.26F, 16},
    {"Tl", 577.0F, 1.62F, 27},
    {"Lu", 1936.0F, 1.27F, 17},
    {"Pb", 600.61F, 2.33F, 28},
    {"Er", 1770.0F, 1.24F, 14},
    {"Ho", 1747.0F, 1.23F, 13},
    {"Dy", 1685.0F, 1.22F, 12},
    {"Tb", 1629.0F, 1.21F, 11},
    {"Th", 2023.0F, 1.3F, 4},
    {"Gd", 1586.0F, 1.2F, 10},
    {"Y", 1799.0F, 1.22F, 3},
    {"Sm", 1345.0F, 1.17F, 8},
    {"Ce", 1071.0F, 1.12F, 4},
    {"Na", 370.87F, 0.93F, 1},
    {"La", 1193.0F, 1.1F, 3},
    {"Ca", 1115.0F, 1.0F, 2},
    {"Eu", 1095.0F, 1.185F, 9},
    {"Sr", 1050.0F, 0.95F, 2},
    {"Ba", 1000.0F, 0.89F, 2},
    {"K", 336.53F, 0.82F, 1},
    {"Rb", 312.46F, 0.82F, 1},
    {"Cs", 301.59F, 0.79F, 1},
}};
// clang-format on

static_assert([] {
  for (std::size_t i = 0; i < kElementCount; ++i) {
    if (kElementProperties[i].symbol != kElements[i].symbol) return false;
    if (!(kElementProperties[i].melting_point > 0)) return false;
  }
  return true;
}());

// The properties of an element of the table.
inline const ElementProperties& properties_of(const Element& element) {
  return kElementProperties[static_cast<std::size_t>(&element - kElements.data())];
}

}  // namespace glassform
