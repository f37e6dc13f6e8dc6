#include "glassform/model/element_data.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>

#include "glassform/model/mixing_enthalpy.hpp"

namespace glassform {

namespace {

constexpr float kUnknown = std::numeric_limits<float>::quiet_NaN();

// Two floats are the same value (NaN, an unknown, equal to itself).
bool same(float a, float b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

struct ElementData::Tables {
  std::string name;
  std::vector<std::string> symbols;  // of the added elements; reserved, so views stay valid
  std::vector<Element> elements;
  std::vector<ElementProperties> properties;
  std::vector<bool> changed;
  std::vector<float> enthalpy;  // n by n; NaN where there is none
  std::vector<bool> pair_changed;
};

std::string_view quantity_column(ElementQuantity quantity) {
  switch (quantity) {
    case ElementQuantity::kRadius:
      return "radius_nm";
    case ElementQuantity::kYoungsModulus:
      return "E_GPa";
    case ElementQuantity::kShearModulus:
      return "G_GPa";
    case ElementQuantity::kBulkModulus:
      return "B_GPa";
    case ElementQuantity::kAtomicWeight:
      return "atomic_weight_u";
    case ElementQuantity::kMeltingPoint:
      return "melting_point_K";
    case ElementQuantity::kElectronegativity:
      return "electronegativity_pauling";
    case ElementQuantity::kValenceElectrons:
      return "valence_electrons";
  }
  return "";
}

std::optional<std::string> missing_value(std::span<const Element* const> elements,
                                         ElementQuantity quantity, std::string_view needed_by) {
  for (const Element* e : elements) {
    const bool has = quantity == ElementQuantity::kRadius         ? e->radius > 0
                     : quantity == ElementQuantity::kAtomicWeight ? e->atomic_weight > 0
                                                                  : true;
    if (!has) {
      return std::string(e->symbol) + " has no " + std::string(quantity_column(quantity)) +
             " in the element data: " + std::string(needed_by) + " needs one";
    }
  }
  return std::nullopt;
}

const ElementData& ElementData::builtin() {
  static const ElementData kBuiltin;
  return kBuiltin;
}

namespace {

// Lays a user's cell over a value: kept, removed (`absent`) or replaced.
template <typename T>
void lay_over(T& value, const ElementCell& cell, T absent) {
  if (cell.kind == ElementCell::Kind::kNone) value = absent;
  if (cell.kind == ElementCell::Kind::kValue) value = static_cast<T>(cell.value);
}

}  // namespace

ElementData ElementData::with_changes(std::span<const ElementChange> elements,
                                      std::span<const PairChange> pairs, std::string name) {
  auto t = std::make_shared<Tables>();
  t->name = std::move(name);
  t->symbols.reserve(kMostElements);
  t->elements.reserve(kMostElements);
  t->elements.assign(kElements.begin(), kElements.end());
  t->properties.assign(kElementProperties.begin(), kElementProperties.end());
  for (const ElementChange& change : elements) {
    const Element* known = find_element(change.symbol);
    std::size_t at = 0;
    if (known != nullptr) {
      at = static_cast<std::size_t>(element_index(*known) - 1);
    } else {
      assert(t->elements.size() < kMostElements);
      t->symbols.push_back(change.symbol);
      t->elements.push_back(Element{t->symbols.back(), 0, 0, 0, 0});
      ElementProperties p{t->symbols.back(), kUnknown, kUnknown, -1, -1, -1, -1, kUnknown};
      for (const MoreElementProperties& more : kMoreElementProperties) {
        if (more.symbol == change.symbol) {
          p.mendeleev_number = more.mendeleev_number;
          p.group = more.group;
          p.period = more.period;
          p.covalent_radius = more.covalent_radius;
        }
      }
      t->properties.push_back(p);
      at = t->elements.size() - 1;
    }
    Element& e = t->elements[at];
    ElementProperties& p = t->properties[at];
    const auto cell = [&change](ElementQuantity q) -> const ElementCell& {
      return change.cells[static_cast<std::size_t>(q)];
    };
    lay_over(e.radius, cell(ElementQuantity::kRadius), 0.0F);
    lay_over(e.e, cell(ElementQuantity::kYoungsModulus), 0.0F);
    lay_over(e.g, cell(ElementQuantity::kShearModulus), 0.0F);
    lay_over(e.b, cell(ElementQuantity::kBulkModulus), 0.0F);
    const double weight = e.atomic_weight;
    lay_over(e.atomic_weight, cell(ElementQuantity::kAtomicWeight), 0.0);
    if (e.atomic_weight != weight) e.weight_is_mass_number = false;
    lay_over(p.melting_point, cell(ElementQuantity::kMeltingPoint), kUnknown);
    lay_over(p.electronegativity, cell(ElementQuantity::kElectronegativity), kUnknown);
    lay_over(p.valence_electrons, cell(ElementQuantity::kValenceElectrons), -1);
  }
  const std::size_t n = t->elements.size();
  t->changed.assign(n, true);
  for (std::size_t i = 0; i < kElementCount; ++i) {
    const Element& e = t->elements[i];
    const ElementProperties& p = t->properties[i];
    const ElementProperties& q = kElementProperties[i];
    t->changed[i] = !same(e.radius, kElements[i].radius) ||
                    !same(p.melting_point, q.melting_point) ||
                    !same(p.electronegativity, q.electronegativity) ||
                    p.valence_electrons != q.valence_electrons;
  }
  t->enthalpy.assign(n * n, kUnknown);
  t->pair_changed.assign(n * n, false);
  for (std::size_t i = 0; i < kElementCount; ++i) {
    for (std::size_t j = 0; j < kElementCount; ++j) {
      if (const std::optional<float> h = glassform::mixing_enthalpy(kElements[i], kElements[j]))
        t->enthalpy[i * n + j] = *h;
    }
  }
  ElementData data;
  data.tables_ = t;
  for (const PairChange& pair : pairs) {
    const Element* a = data.find(pair.a);
    const Element* b = data.find(pair.b);
    assert(a != nullptr && b != nullptr && a != b);
    const std::size_t i = data.position(*a);
    const std::size_t j = data.position(*b);
    const auto value = static_cast<float>(pair.kj_per_mol);
    for (const std::size_t k : {i * n + j, j * n + i}) {
      if (!same(t->enthalpy[k], value)) t->pair_changed[k] = true;
      t->enthalpy[k] = value;
    }
  }
  return data;
}

std::string_view ElementData::name() const {
  return tables_ == nullptr ? std::string_view("builtin") : std::string_view(tables_->name);
}

std::span<const Element> ElementData::elements() const {
  if (tables_ == nullptr) return kElements;
  return tables_->elements;
}

const Element* ElementData::find(std::string_view symbol) const {
  if (tables_ == nullptr) return find_element(symbol);
  if (const Element* known = find_element(symbol))
    return &tables_->elements[static_cast<std::size_t>(element_index(*known) - 1)];
  for (std::size_t i = kElementCount; i < tables_->elements.size(); ++i) {
    if (tables_->elements[i].symbol == symbol) return &tables_->elements[i];
  }
  return nullptr;
}

std::size_t ElementData::position(const Element& element) const {
  const std::span<const Element> all = elements();
  assert(&element >= all.data() && &element < all.data() + all.size());
  return static_cast<std::size_t>(&element - all.data());
}

const ElementProperties& ElementData::properties(const Element& element) const {
  if (tables_ == nullptr) return kElementProperties[position(element)];
  return tables_->properties[position(element)];
}

std::optional<float> ElementData::mixing_enthalpy(const Element& a, const Element& b) const {
  if (tables_ == nullptr) return glassform::mixing_enthalpy(a, b);
  const std::size_t n = tables_->elements.size();
  const float v = tables_->enthalpy[position(a) * n + position(b)];
  if (std::isnan(v) || &a == &b) return std::nullopt;
  return v;
}

bool ElementData::changed(const Element& element) const {
  return tables_ != nullptr && tables_->changed[position(element)];
}

bool ElementData::pair_changed(const Element& a, const Element& b) const {
  return tables_ != nullptr &&
         tables_->pair_changed[position(a) * tables_->elements.size() + position(b)];
}

}  // namespace glassform
