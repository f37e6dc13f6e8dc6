// Melting points, electronegativities, valence-electron counts, Mendeleev numbers, groups,
// periods and covalent radii of the 73 elements of the element table, in the table's order: the
// inputs of the composition criteria and of the glass-formation score.
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
  int mendeleev_number;
  int group;              // of the periodic table, 1 to 18 (3 for the lanthanides and actinides)
  int period;             // 1 to 7
  float covalent_radius;  // pm
};

// Melting point (K), Pauling electronegativity and number of valence electrons. Source: the
// Magpie element-property tables (L. Ward, A. Agrawal, A. Choudhary, C. Wolverton, npj Comput.
// Mater. 2 (2016) 16028), files MeltingT.table, Electronegativity.table and NValence.table as
// distributed with matminer (commit 8ddb18c740, BSD-3-Clause, (c) 2015 The Regents of the
// University of California). Mendeleev number, group, period and covalent radius (pm): the same
// tables' MendeleevNumber.table, Column.table, Row.table and CovalentRadius.table, copied in
// data/element_properties_more.tsv. Row n is the element of row n of kElements.
// clang-format off
inline constexpr std::array<ElementProperties, kElementCount> kElementProperties{{
    {"O", 54.8F, 3.44F, 6, 87, 16, 2, 66.0F},
    {"N", 63.05F, 3.04F, 5, 82, 15, 2, 71.0F},
    {"C", 3823.0F, 2.55F, 4, 77, 14, 2, 76.0F},
    {"B", 2348.0F, 2.04F, 3, 72, 13, 2, 84.0F},
    {"S", 388.36F, 2.58F, 6, 88, 16, 3, 105.0F},
    {"P", 317.3F, 2.19F, 5, 83, 15, 3, 107.0F},
    {"Be", 1560.0F, 1.57F, 2, 67, 2, 2, 96.0F},
    {"Si", 1687.0F, 1.9F, 4, 78, 14, 3, 111.0F},
    {"Ge", 1211.4F, 2.01F, 14, 79, 14, 4, 120.0F},
    {"Fe", 1811.0F, 1.83F, 8, 55, 8, 4, 132.0F},
    {"Ni", 1728.0F, 1.91F, 10, 61, 10, 4, 124.0F},
    {"Cr", 2180.0F, 1.66F, 6, 49, 6, 4, 139.0F},
    {"Co", 1768.0F, 1.88F, 9, 58, 9, 4, 126.0F},
    {"Cu", 1357.77F, 1.9F, 11, 64, 11, 4, 132.0F},
    {"V", 2183.0F, 1.63F, 5, 46, 5, 4, 153.0F},
    {"Ru", 2607.0F, 2.2F, 8, 56, 8, 5, 146.0F},
    {"Rh", 2237.0F, 2.28F, 9, 59, 9, 5, 142.0F},
    {"Mn", 1519.0F, 1.55F, 7, 52, 7, 4, 139.0F},
    {"Os", 3306.0F, 2.2F, 22, 57, 8, 6, 144.0F},
    {"Ir", 2739.0F, 2.2F, 23, 60, 9, 6, 141.0F},
    {"Tc", 2430.0F, 1.9F, 7, 53, 7, 5, 147.0F},
    {"Mo", 2896.0F, 2.16F, 6, 50, 6, 5, 154.0F},
    {"W", 3695.0F, 2.36F, 20, 51, 6, 6, 162.0F},
    {"Re", 3459.0F, 1.9F, 21, 54, 7, 6, 151.0F},
    {"Pd", 1828.05F, 2.2F, 10, 62, 10, 5, 139.0F},
    {"Pt", 2041.4F, 2.28F, 24, 63, 10, 6, 136.0F},
    {"Ga", 302.91F, 1.81F, 13, 74, 13, 4, 122.0F},
    {"Zn", 692.68F, 1.65F, 12, 69, 12, 4, 122.0F},
    {"Se", 494.0F, 2.55F, 16, 89, 16, 4, 120.0F},
    {"U", 1408.0F, 1.38F, 6, 20, 3, 7, 196.0F},
    {"Nb", 2750.0F, 1.6F, 5, 47, 5, 5, 164.0F},
    {"Ta", 3290.0F, 1.5F, 19, 48, 5, 6, 170.0F},
    {"Al", 933.47F, 1.61F, 3, 73, 13, 3, 121.0F},
    {"Au", 1337.33F, 2.54F, 25, 66, 11, 6, 136.0F},
    {"Ag", 1234.93F, 1.93F, 11, 65, 11, 5, 145.0F},
    {"Te", 722.66F, 2.1F, 16, 90, 16, 5, 138.0F},
    {"Ti", 1941.0F, 1.54F, 4, 43, 4, 4, 160.0F},
    {"Li", 453.69F, 0.98F, 1, 1, 1, 2, 128.0F},
    {"Po", 527.0F, 2.0F, 30, 91, 16, 6, 140.0F},
    {"Tm", 1818.0F, 1.25F, 15, 37, 3, 6, 190.0F},
    {"Cd", 594.22F, 1.69F, 12, 70, 12, 5, 144.0F},
    {"Hf", 2506.0F, 1.3F, 18, 45, 4, 6, 175.0F},
    {"Mg", 923.0F, 1.31F, 2, 68, 2, 3, 141.0F},
    {"Zr", 2128.0F, 1.33F, 4, 44, 4, 5, 175.0F},
    {"Pa", 1845.0F, 1.5F, 5, 18, 3, 7, 200.0F},
    {"Sn", 505.08F, 1.96F, 14, 80, 14, 5, 139.0F},
    {"Pm", 1373.0F, 1.155F, 7, 21, 3, 6, 199.0F},
    {"Nd", 1294.0F, 1.14F, 6, 19, 3, 6, 201.0F},
    {"Sc", 1814.0F, 1.36F, 3, 11, 3, 4, 170.0F},
    {"Pr", 1204.0F, 1.13F, 5, 17, 3, 6, 203.0F},
    {"In", 429.75F, 1.78F, 13, 75, 13, 5, 142.0F},
    {"Yb", 1092.0F, 1.26F, 16, 39, 3, 6, 187.0F},
    {"Tl", 577.0F, 1.62F, 27, 76, 13, 6, 145.0F},
    {"Lu", 1936.0F, 1.27F, 17, 41, 3, 6, 187.0F},
    {"Pb", 600.61F, 2.33F, 28, 81, 14, 6, 146.0F},
    {"Er", 1770.0F, 1.24F, 14, 35, 3, 6, 189.0F},
    {"Ho", 1747.0F, 1.23F, 13, 33, 3, 6, 192.0F},
    {"Dy", 1685.0F, 1.22F, 12, 31, 3, 6, 192.0F},
    {"Tb", 1629.0F, 1.21F, 11, 29, 3, 6, 194.0F},
    {"Th", 2023.0F, 1.3F, 4, 16, 3, 7, 206.0F},
    {"Gd", 1586.0F, 1.2F, 10, 27, 3, 6, 196.0F},
    {"Y", 1799.0F, 1.22F, 3, 12, 3, 5, 190.0F},
    {"Sm", 1345.0F, 1.17F, 8, 23, 3, 6, 198.0F},
    {"Ce", 1071.0F, 1.12F, 4, 15, 3, 6, 204.0F},
    {"Na", 370.87F, 0.93F, 1, 2, 1, 3, 166.0F},
    {"La", 1193.0F, 1.1F, 3, 13, 3, 6, 207.0F},
    {"Ca", 1115.0F, 1.0F, 2, 7, 2, 4, 176.0F},
    {"Eu", 1095.0F, 1.185F, 9, 25, 3, 6, 198.0F},
    {"Sr", 1050.0F, 0.95F, 2, 8, 2, 5, 195.0F},
    {"Ba", 1000.0F, 0.89F, 2, 9, 2, 6, 215.0F},
    {"K", 336.53F, 0.82F, 1, 3, 1, 4, 203.0F},
    {"Rb", 312.46F, 0.82F, 1, 4, 1, 5, 220.0F},
    {"Cs", 301.59F, 0.79F, 1, 5, 1, 6, 244.0F},
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
