// CSV (RFC 4180 quoting, LF line ends): one row per composition, the same columns for every
// alloy kind, empty cells where a kind has fewer elements or a value cannot be estimated.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/alloys.hpp"

namespace glassform {

// clang-format off
inline constexpr std::array<std::string_view, 45> kCsvColumns{
    "kind", "solvent", "solute1", "solute2", "solute3", "gamma_sites",
    "N1", "N2", "N3", "Z1", "Z2", "Z3", "R1", "R2", "R3", "R1_used", "R2_used", "R3_used",
    "mismatch", "solvent_atoms", "total_atoms",
    "x_solvent_at%", "x_solute1_at%", "x_solute2_at%", "x_solute3_at%", "formula", "packing_%",
    "E_GPa", "G_GPa", "B_GPa", "C11_GPa", "C12_GPa", "C44_GPa", "m", "C12/C11", "C44/C11",
    "warnings",
    "w_solvent_wt%", "w_solute1_wt%", "w_solute2_wt%", "w_solute3_wt%",
    "m_solvent_g", "m_solute1_g", "m_solute2_g", "m_solute3_g"};
// clang-format on
static_assert(kCsvColumns.back() == "m_solute3_g", "every column has its name");

void append_csv_header(std::string& out);

// The row of one composition of `alloy`, line end included; the mass columns hold the grams
// of each element for an ingot of `grams`, and are empty without it.
void append_csv_row(std::string& out, const AlloyResult& alloy, const Composition& composition,
                    std::optional<double> grams = std::nullopt);

// Every composition's row.
void append_csv_rows(std::string& out, const AlloyResult& alloy,
                     std::optional<double> grams = std::nullopt);

// A cell quoted as RFC 4180 asks when it holds a comma, a quote or a line break.
void append_csv_cell(std::string& out, std::string_view cell);

// The composition as chemists write it, each percentage with two decimals: Zr81.93Cu18.07.
void append_formula(std::string& out, const AlloyResult& alloy, const Composition& composition);

}  // namespace glassform
