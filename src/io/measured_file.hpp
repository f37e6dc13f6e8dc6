// A CSV file of measured moduli: a formula column (`formula`, `composition` or `glass`) and any
// of E_GPa, G_GPa, B_GPa (K_GPa or K for B) and nu; other columns are ignored. Lines starting
// with # are skipped; a byte-order mark, CR LF line ends and quoted cells are read.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "io/streams.hpp"
#include "model/measured.hpp"

namespace glassform {

// The glasses of the file, or the first fault ("line 3: ...").
std::variant<std::vector<MeasuredGlass>, std::string> read_measured(InputSource& in);

}  // namespace glassform
