// Warnings about an alloy, as the command line reports them: the dialogue's own messages
// before the report, an integer without an ideal ratio, a packing efficiency above 100 %, and
// the elastic data that are missing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/criteria.hpp"

namespace glassform {

// The texts of the warnings, in one place: the dialogue prints them where they arise (its own
// line ends and key waits around them), the command line on standard error and in the rows'
// warnings field.
std::string solute_too_big_text(std::string_view solute);  // Solute radius too big: Cu
std::string ratio_too_big_text(std::string_view solute);   // Radius ratio too big: "Cu"
std::string_view solute_too_small_text();                  // Solute radius too small
std::string interchangeable_text(std::string_view solute, std::string_view solvent);

// Warnings about the alloy as a whole, in the order the dialogue prints its messages.
std::vector<std::string> alloy_warnings(const AlloyResult& alloy);

// The warning for a composition whose packing efficiency exceeds 100 %, if it does.
std::optional<std::string> packing_warning(const AlloyResult& alloy,
                                           const Composition& composition);

// What the command line reports on standard error for an alloy: the alloy's warnings, the
// packing warnings of its compositions and the pairs without a mixing enthalpy (the missing
// moduli are in the report itself).
std::vector<std::string> command_line_warnings(const AlloyResult& alloy);

// Warnings about one composition: a packing efficiency above 100 % and missing moduli.
std::vector<std::string> composition_warnings(const AlloyResult& alloy,
                                              const Composition& composition);

// The elastic data that are missing: "no shear modulus data for Mn".
std::vector<std::string> elastic_warnings(const ElasticResult& elastic);

// The pairs without a mixing enthalpy, if any: "no mixing enthalpy for the pair Cu-O", and
// for several "for the pairs Cu-O, O-Zr".
std::optional<std::string> missing_pairs_warning(std::span<const ElementPair> pairs);

// What a composition's criteria warn of: the missing pairs, and a positive mixing enthalpy
// with a size difference below 5 %, where a crystalline solid solution is expected.
std::vector<std::string> criteria_warnings(const GlassCriteria& criteria);

// The warnings of one composition's row: the alloy's, then the composition's, joined by "; ".
std::string row_warnings(const AlloyResult& alloy, const Composition& composition);

}  // namespace glassform
