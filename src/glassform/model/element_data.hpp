// The element and pair data a calculation reads: the built-in tables, or the built-in tables
// with a user's values laid over them (cells changed or removed, elements and pairs added). One
// object, passed down from the request, so that nothing below it reads the tables directly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "glassform/model/element_properties.hpp"
#include "glassform/model/elements.hpp"

namespace glassform {

// The most elements a data set may hold: the built-in ones and those a user adds.
inline constexpr std::size_t kMostElements = 128;

// The quantities of an element that a user may give, in the order of the element file's columns.
enum class ElementQuantity : std::uint8_t {
  kRadius,
  kYoungsModulus,
  kShearModulus,
  kBulkModulus,
  kAtomicWeight,
  kMeltingPoint,
  kElectronegativity,
  kValenceElectrons,
};
inline constexpr std::size_t kElementQuantityCount = 8;

// The column of the element file that gives the quantity: "radius_nm", "E_GPa", ...
std::string_view quantity_column(ElementQuantity quantity);

// One cell of a user's row: not given (keep what there is), "none" (no value), or a value.
struct ElementCell {
  enum class Kind : std::uint8_t { kKeep, kNone, kValue };
  Kind kind = Kind::kKeep;
  double value = 0;
};

// One row of a user's element table. The symbol is one capital letter and an optional small
// one.
struct ElementChange {
  std::string symbol;
  std::array<ElementCell, kElementQuantityCount> cells{};
  std::string source;  // where the values come from, as the user wrote it; may be empty
};

// A pair enthalpy a user gives, kJ/mol.
struct PairChange {
  std::string a;
  std::string b;
  double kj_per_mol = 0;
  std::string source;
};

// Mendeleev number, group, period and covalent radius (pm) of elements the built-in table lacks,
// for the statistics of the glass-formation score when a user adds one of them. Source: the
// Magpie tables named in element_properties.hpp (data/element_properties_more.tsv).
struct MoreElementProperties {
  std::string_view symbol;
  int mendeleev_number;
  int group;
  int period;
  float covalent_radius;
};
inline constexpr std::array<MoreElementProperties, 3> kMoreElementProperties{{
    {"Sb", 85, 15, 5, 139.0F},
    {"Bi", 86, 15, 6, 148.0F},
    {"As", 84, 15, 4, 119.0F},
}};

// Why one of these elements cannot take part in what needs the quantity (`needed_by`: "the
// cluster model" for the radius, "weigh" for the atomic weight): "Sb has no radius_nm in the
// element data: the cluster model needs one" for the first that lacks it, or nothing.
std::optional<std::string> missing_value(std::span<const Element* const> elements,
                                         ElementQuantity quantity, std::string_view needed_by);

class ElementData {
 public:
  // The built-in tables.
  static const ElementData& builtin();

  // The built-in tables with these changes: a row for a built-in symbol changes the cells it
  // gives, a row for another symbol adds an element after the built-in ones (in the order
  // given) with the values it gives and no others; pairs add or replace enthalpies. Symbols
  // must be well formed and distinct, values finite, pairs of known symbols (the caller checks);
  // at most kMostElements elements in all.
  // `name` says where the changes come from in every row (a digest of the files).
  static ElementData with_changes(std::span<const ElementChange> elements,
                                  std::span<const PairChange> pairs, std::string name);

  // "builtin", or the name given with the changes.
  [[nodiscard]] std::string_view name() const;

  // Every element: the built-in ones in table order, then the added ones.
  [[nodiscard]] std::span<const Element> elements() const;

  // The element whose symbol is exactly `symbol`, or nullptr.
  [[nodiscard]] const Element* find(std::string_view symbol) const;

  // The 0-based position of one of this data's elements (a built-in element keeps its table
  // position).
  [[nodiscard]] std::size_t position(const Element& element) const;

  // Melting point, electronegativity and the rest of one of this data's elements. A value that
  // is unknown is NaN (floats) or -1 (whole numbers).
  [[nodiscard]] const ElementProperties& properties(const Element& element) const;

  // The pair's mixing enthalpy, kJ/mol, or nothing.
  [[nodiscard]] std::optional<float> mixing_enthalpy(const Element& a, const Element& b) const;

  [[nodiscard]] bool is_builtin() const { return tables_ == nullptr; }

  // Whether a value of the element that the criteria or the score read (radius, melting point,
  // electronegativity, valence electrons) is not the built-in table's: changed, removed, or the
  // element added.
  [[nodiscard]] bool changed(const Element& element) const;

  // Whether the pair's enthalpy is not the built-in table's.
  [[nodiscard]] bool pair_changed(const Element& a, const Element& b) const;

 private:
  struct Tables;
  std::shared_ptr<const Tables> tables_;  // null for the built-in tables
};

}  // namespace glassform
