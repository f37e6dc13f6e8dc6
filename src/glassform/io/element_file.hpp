// A user's element data: an element table (CSV or TSV) and a table of pair mixing enthalpies,
// read into changes of the built-in data, with the digest that names them in every result.
//
// Both files: UTF-8 with an optional byte-order mark, LF or CR LF line ends, blank lines and
// lines starting with # skipped, the separator (comma or tab) taken from the header line, RFC
// 4180 quoting with commas, at most kMostElementFileBytes.
//
// The element table's columns are `symbol` and any of radius_nm, E_GPa, G_GPa, B_GPa,
// atomic_weight_u, melting_point_K, electronegativity_pauling, valence_electrons and source
// (`index`, `weight_note` and `sets`, which `glassform elements` writes, are read and ignored).
// An empty cell keeps the built-in value, `none` removes it. The pair table's columns are
// element_a, element_b, dH_mix_kJ_per_mol and optionally note or source.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "glassform/io/text.hpp"
#include "glassform/model/element_data.hpp"

namespace glassform {

inline constexpr std::size_t kMostElementFileBytes = std::size_t{1} << 20;

std::variant<std::vector<ElementChange>, FileFault> read_element_changes(std::string_view text);

// The pairs' symbols must be built-in ones or added by `elements`.
std::variant<std::vector<PairChange>, FileFault> read_pair_changes(
    std::string_view text, const std::vector<ElementChange>& elements);

// A file given by name: its name in messages and its bytes.
struct NamedText {
  std::string name;
  std::string bytes;
};

// The built-in data with a user's files laid over it, and what they changed.
struct UserElementData {
  ElementData data;
  // The first 12 hex digits of the SHA-256 of the element file's bytes followed by those of the
  // pair file's (a file not given contributes nothing).
  std::string digest;
  // One line per changed or added cell: "Cu radius_nm 0.1278 -> 0.126 (Miracle 2010)", one
  // per changed pair, and the count of added pairs.
  std::vector<std::string> changes;
  // Where each changed or added element's values come from, by symbol: "added (SOURCE)" or
  // "changed: radius_nm, G_GPa (SOURCE)"; an element that is not listed is the built-in one.
  std::vector<std::pair<std::string, std::string>> sources;
};

// The data of the files, or the first fault as "FILE:LINE:COLUMN: message" (FILE: message for
// the file as a whole). Neither file given: the built-in data, digest "builtin".
std::variant<UserElementData, std::string> load_element_data(
    const std::optional<NamedText>& elements, const std::optional<NamedText>& pairs);

// The SHA-256 of the bytes, in small hexadecimal digits.
std::string sha256_hex(std::string_view bytes);

}  // namespace glassform
