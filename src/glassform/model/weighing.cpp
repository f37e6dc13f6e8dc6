#include "glassform/model/weighing.hpp"

#include "glassform/model/element_data.hpp"

#include <algorithm>
#include <cstdlib>

namespace glassform {

void weight_percent(std::span<const Element* const> elements, std::span<const double> atomic,
                    std::span<double> out) {
  double total = 0;
  for (std::size_t i = 0; i < elements.size(); ++i)
    total += atomic[i] * elements[i]->atomic_weight;
  for (std::size_t i = 0; i < elements.size(); ++i)
    out[i] = total > 0 ? atomic[i] * elements[i]->atomic_weight / total * 100 : 0;
}

void atomic_percent(std::span<const Element* const> elements, std::span<const double> weight,
                    std::span<double> out) {
  double total = 0;
  for (std::size_t i = 0; i < elements.size(); ++i)
    total += weight[i] / elements[i]->atomic_weight;
  for (std::size_t i = 0; i < elements.size(); ++i)
    out[i] = total > 0 ? weight[i] / elements[i]->atomic_weight / total * 100 : 0;
}

void masses(std::span<const double> weight, double total_grams, std::span<double> out) {
  double total = 0;
  for (const double w : weight)
    total += w;
  for (std::size_t i = 0; i < weight.size(); ++i)
    out[i] = total > 0 ? total_grams * (weight[i] / total) : 0;
}

std::array<double, 4> composition_weight_percent_exact(const AlloyResult& alloy,
                                                       const Composition& c) {
  const std::span<const Element* const> e = alloy.elements();
  std::array<double, 4> atomic{};
  for (std::size_t i = 0; i < e.size(); ++i)
    atomic[i] = static_cast<double>(c.percent[i]);
  std::array<double, 4> weight{};
  weight_percent(e, std::span(atomic).first(e.size()), std::span(weight).first(e.size()));
  return weight;
}

std::array<float, 4> composition_weight_percent(const AlloyResult& alloy,
                                                const Composition& composition) {
  const std::array<double, 4> weight = composition_weight_percent_exact(alloy, composition);
  std::array<float, 4> stored{};
  for (std::size_t i = 0; i < stored.size(); ++i)
    stored[i] = static_cast<float>(weight[i]);
  return stored;
}

ElasticResult estimate_formula_elastic(std::span<const FormulaPart> parts) {
  std::vector<Constituent> constituents;
  constituents.reserve(parts.size());
  for (const FormulaPart& p : parts) {
    const Element& e = *p.element;
    constituents.push_back({e.symbol, e.e, e.g, e.b, static_cast<float>(p.amount)});
  }
  return estimate_elastic(constituents);
}

std::array<double, 4> composition_masses(const AlloyResult& alloy, const Composition& composition,
                                         double grams) {
  const std::size_t n = alloy.elements().size();
  const std::array<double, 4> weight = composition_weight_percent_exact(alloy, composition);
  std::array<double, 4> out{};
  masses(std::span(weight).first(n), grams, std::span(out).first(n));
  return out;
}

std::optional<std::string> missing_weight(std::span<const FormulaPart> parts,
                                          std::string_view needed_by) {
  std::vector<const Element*> elements;
  elements.reserve(parts.size());
  for (const FormulaPart& p : parts)
    elements.push_back(p.element);
  return missing_value(elements, ElementQuantity::kAtomicWeight, needed_by);
}

Weighing weigh(const std::vector<FormulaPart>& parts, bool amounts_are_weight,
               std::optional<double> grams) {
  Weighing w;
  std::vector<double> amounts;
  for (const FormulaPart& p : parts) {
    w.elements.push_back(p.element);
    amounts.push_back(p.amount);
  }
  w.atomic.resize(parts.size());
  w.weight.resize(parts.size());
  if (amounts_are_weight) {
    w.weight = amounts;
    atomic_percent(w.elements, w.weight, w.atomic);
  } else {
    w.atomic = amounts;
    weight_percent(w.elements, w.atomic, w.weight);
  }
  if (grams) {
    w.grams = std::vector<double>(parts.size());
    masses(w.weight, *grams, *w.grams);
    w.total_grams = grams;
  }
  return w;
}

}  // namespace glassform
