// Built-in element data: symbol, atomic radius and elastic moduli of 73 elements,
// and the lookup of an element by its chemical symbol.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace glassform {

// One element's data. A modulus of exactly 0 means that no value exists for it.
struct Element {
  std::string_view symbol;
  float radius;  // atomic radius, nm
  float e;       // Young's modulus, GPa
  float g;       // shear modulus, GPa
  float b;       // bulk modulus, GPa
  // Standard atomic weight, u: IUPAC 2021, abridged (T. Prohaska et al., Pure Appl. Chem. 94
  // (2022) 573). Tc, Pm and Po have none; theirs is the mass number of the longest-lived
  // isotope, bracketed on the periodic table.
  double atomic_weight = 0.0;
  bool weight_is_mass_number = false;
};

inline constexpr std::size_t kElementCount = 73;

// Atomic radii and room-temperature moduli as compiled for the cluster-packing model
// (radii in nm, moduli in GPa), in strictly ascending order of radius. Row n has index n.
inline constexpr std::array<Element, kElementCount> kElements{{
    /*  1 */ {"O", 0.073F, 0.0F, 0.0F, 0.0F, 15.999},
    /*  2 */ {"N", 0.075F, 0.0F, 0.0F, 0.0F, 14.007},
    /*  3 */ {"C", 0.0773F, 0.0F, 5.4F, 33.0F, 12.011},
    /*  4 */ {"B", 0.082F, 400.0F, 154.8F, 320.0F, 10.81},
    /*  5 */ {"S", 0.102F, 0.0F, 0.0F, 7.7F, 32.06},
    /*  6 */ {"P", 0.106F, 0.0F, 0.0F, 11.0F, 30.974},
    /*  7 */ {"Be", 0.1128F, 287.0F, 132.0F, 130.0F, 9.0122},
    /*  8 */ {"Si", 0.1153F, 185.0F, 52.0F, 100.0F, 28.085},
    /*  9 */ {"Ge", 0.124F, 103.0F, 41.0F, 75.0F, 72.630},
    /* 10 */ {"Fe", 0.12412F, 211.0F, 82.0F, 170.0F, 55.845},
    /* 11 */ {"Ni", 0.12459F, 200.0F, 76.0F, 180.0F, 58.693},
    /* 12 */ {"Cr", 0.12491F, 279.0F, 115.0F, 160.0F, 51.996},
    /* 13 */ {"Co", 0.1251F, 209.0F, 75.0F, 180.0F, 58.933},
    /* 14 */ {"Cu", 0.1278F, 128.0F, 48.0F, 140.0F, 63.546},
    /* 15 */ {"V", 0.1316F, 128.0F, 47.0F, 160.0F, 50.942},
    /* 16 */ {"Ru", 0.13384F, 447.0F, 173.0F, 220.0F, 101.07},
    /* 17 */ {"Rh", 0.1345F, 380.0F, 150.0F, 275.0F, 102.91},
    /* 18 */ {"Mn", 0.135F, 198.0F, 0.0F, 120.0F, 54.938},
    /* 19 */ {"Os", 0.13523F, 0.0F, 222.0F, 462.0F, 190.23},
    /* 20 */ {"Ir", 0.13573F, 528.0F, 210.0F, 320.0F, 192.22},
    /* 21 */ {"Tc", 0.136F, 0.0F, 0.0F, 0.0F, 97.0, true},
    /* 22 */ {"Mo", 0.13626F, 329.0F, 126.0F, 230.0F, 95.95},
    /* 23 */ {"W", 0.1367F, 411.0F, 161.0F, 310.0F, 183.84},
    /* 24 */ {"Re", 0.1375F, 463.0F, 178.0F, 370.0F, 186.21},
    /* 25 */ {"Pd", 0.13754F, 121.0F, 44.0F, 180.0F, 106.42},
    /* 26 */ {"Pt", 0.1387F, 168.0F, 61.0F, 230.0F, 195.08},
    /* 27 */ {"Ga", 0.1392F, 9.8F, 0.0F, 0.0F, 69.723},
    /* 28 */ {"Zn", 0.13945F, 108.0F, 43.0F, 70.0F, 65.38},
    /* 29 */ {"Se", 0.14F, 10.0F, 3.7F, 8.3F, 78.971},
    /* 30 */ {"U", 0.142F, 208.0F, 111.0F, 100.0F, 238.03},
    /* 31 */ {"Nb", 0.1429F, 105.0F, 38.0F, 170.0F, 92.906},
    /* 32 */ {"Ta", 0.143F, 186.0F, 69.0F, 200.0F, 180.95},
    /* 33 */ {"Al", 0.14317F, 70.0F, 26.0F, 76.0F, 26.982},
    /* 34 */ {"Au", 0.1442F, 79.0F, 27.0F, 180.0F, 196.97},
    /* 35 */ {"Ag", 0.14447F, 83.0F, 30.0F, 100.0F, 107.87},
    /* 36 */ {"Te", 0.1452F, 43.0F, 16.0F, 65.0F, 127.60},
    /* 37 */ {"Ti", 0.14615F, 116.0F, 44.0F, 110.0F, 47.867},
    /* 38 */ {"Li", 0.15194F, 4.9F, 4.2F, 11.0F, 6.94},
    /* 39 */ {"Po", 0.153F, 0.0F, 0.0F, 0.0F, 209.0, true},
    /* 40 */ {"Tm", 0.156F, 74.0F, 30.5F, 44.5F, 168.93},
    /* 41 */ {"Cd", 0.15683F, 50.0F, 19.0F, 42.0F, 112.41},
    /* 42 */ {"Hf", 0.15775F, 78.0F, 30.0F, 110.0F, 178.49},
    /* 43 */ {"Mg", 0.16013F, 45.0F, 17.0F, 45.0F, 24.305},
    /* 44 */ {"Zr", 0.16025F, 88.0F, 33.0F, 91.1F, 91.224},
    /* 45 */ {"Pa", 0.161F, 0.0F, 0.0F, 0.0F, 231.04},
    /* 46 */ {"Sn", 0.162F, 50.0F, 18.0F, 58.0F, 118.71},
    /* 47 */ {"Pm", 0.163F, 46.0F, 18.0F, 33.0F, 145.0, true},
    /* 48 */ {"Nd", 0.164F, 41.4F, 16.3F, 32.0F, 144.24},
    /* 49 */ {"Sc", 0.1641F, 74.4F, 29.1F, 56.6F, 44.956},
    /* 50 */ {"Pr", 0.165F, 37.3F, 14.8F, 28.8F, 140.91},
    /* 51 */ {"In", 0.1659F, 11.0F, 0.0F, 0.0F, 114.82},
    /* 52 */ {"Yb", 0.17F, 23.9F, 9.9F, 30.5F, 173.05},
    /* 53 */ {"Tl", 0.1716F, 8.0F, 2.8F, 43.0F, 204.38},
    /* 54 */ {"Lu", 0.17349F, 68.6F, 27.2F, 47.6F, 174.97},
    /* 55 */ {"Pb", 0.17497F, 16.0F, 5.6F, 46.0F, 207.2},
    /* 56 */ {"Er", 0.17558F, 69.9F, 28.3F, 44.4F, 167.26},
    /* 57 */ {"Ho", 0.17661F, 64.8F, 26.3F, 40.2F, 164.93},
    /* 58 */ {"Dy", 0.1774F, 61.4F, 24.7F, 40.5F, 162.50},
    /* 59 */ {"Tb", 0.17814F, 55.7F, 22.1F, 38.7F, 158.93},
    /* 60 */ {"Th", 0.18F, 79.0F, 31.0F, 54.0F, 232.04},
    /* 61 */ {"Gd", 0.18013F, 54.8F, 21.8F, 37.9F, 157.25},
    /* 62 */ {"Y", 0.18015F, 63.5F, 25.6F, 41.2F, 88.906},
    /* 63 */ {"Sm", 0.181F, 49.7F, 19.5F, 37.8F, 150.36},
    /* 64 */ {"Ce", 0.18247F, 33.6F, 13.5F, 21.5F, 140.12},
    /* 65 */ {"Na", 0.1857F, 10.0F, 3.3F, 6.3F, 22.990},
    /* 66 */ {"La", 0.1879F, 36.6F, 14.3F, 27.9F, 138.91},
    /* 67 */ {"Ca", 0.1976F, 20.0F, 7.4F, 17.0F, 40.078},
    /* 68 */ {"Eu", 0.19844F, 18.2F, 7.9F, 8.3F, 151.96},
    /* 69 */ {"Sr", 0.2152F, 0.0F, 6.1F, 0.0F, 87.62},
    /* 70 */ {"Ba", 0.2176F, 13.0F, 4.9F, 9.6F, 137.33},
    /* 71 */ {"K", 0.231F, 3.53F, 1.3F, 3.1F, 39.098},
    /* 72 */ {"Rb", 0.244F, 2.4F, 0.0F, 2.5F, 85.468},
    /* 73 */ {"Cs", 0.265F, 1.7F, 0.0F, 1.6F, 132.91},
}};

static_assert(kElements.size() == 73);
static_assert(kElements[13].symbol == "Cu" && kElements[13].radius == 0.1278F);

// The 73 symbols in table order, as searched by `sw`.
inline constexpr std::array<std::string_view, kElementCount> kSymbols = [] {
  std::array<std::string_view, kElementCount> symbols{};
  for (std::size_t i = 0; i < kElementCount; ++i)
    symbols[i] = kElements[i].symbol;
  return symbols;
}();

// Finds `text` in `symbols`, the table's symbol list kSymbols, by exact, case-sensitive
// comparison of all its bytes: the 1-based index of the matching entry, or 0 when there is
// none. A thin wrapper over find_element for the dialogue, which counts from 1.
int sw(std::span<const std::string_view> symbols, std::string_view text);

// The element with a 1-based index from `sw`; `index` must lie in 1..kElementCount.
const Element& element_at(int index);

// The element whose symbol is exactly `symbol` (case-sensitive), or nullptr.
const Element* find_element(std::string_view symbol);

// The 1-based table index of an element of the table.
int element_index(const Element& element);

// What a user may have meant by a text that is no symbol: the symbol that differs from it
// only in case if there is one, otherwise the symbols that begin with it ("Z": Zn, Zr), then
// those one edit (a letter changed, added or removed) away, at most three, each group in
// table order. Empty for an empty text and when nothing is close.
std::vector<std::string_view> suggest_symbols(std::string_view text);

// The message for a text that is no symbol, with the suggestions:
// unknown symbol "cu": did you mean Cu?
std::string unknown_symbol_message(std::string_view text);

}  // namespace glassform
