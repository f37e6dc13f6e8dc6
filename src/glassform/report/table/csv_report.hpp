// CSV cells (RFC 4180 quoting) and the composition as chemists write it.
#pragma once

#include <string>
#include <string_view>

#include "glassform/model/alloys.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// A cell quoted as RFC 4180 asks when it holds a comma, a quote or a line break.
void append_csv_cell(std::string& out, std::string_view cell);

// The composition as chemists write it, each percentage with two decimals: Zr81.93Cu18.07.
void append_formula(std::string& out, const AlloyResult& alloy, const Composition& composition);
// The same of a given composition (amounts in at.%).
void append_formula(std::string& out, std::span<const FormulaPart> parts);

}  // namespace glassform
