// A CSV file of measured moduli: a formula column (`formula`, `composition` or `glass`) and any
// of E_GPa, G_GPa, B_GPa (K_GPa or K for B) and nu; other columns are ignored. Lines starting
// with # are skipped; a byte-order mark, CR LF line ends and RFC 4180 quoting (a quoted cell
// may hold commas, doubled quotes and line breaks) are read.
//
// Every value is checked: a modulus between kLeastModulus and kMostModulus GPa, Poisson's ratio
// strictly between -1 and 0.5, and values that over-determine the solid (E with G and nu, E with
// B and nu, G with B and nu, or E with G and B) agreeing within kModulusTolerance (relative)
// and kPoissonTolerance.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "glassform/io/streams.hpp"
#include "glassform/io/text.hpp"
#include "glassform/model/measured.hpp"

namespace glassform {

inline constexpr double kLeastModulus = 0.001;  // GPa
inline constexpr double kMostModulus = 10000;   // GPa
inline constexpr double kModulusTolerance = 0.05;
inline constexpr double kPoissonTolerance = 0.02;

// The glasses of the file, or its first fault.
std::variant<std::vector<MeasuredGlass>, FileFault> read_measured(InputSource& in);

}  // namespace glassform
