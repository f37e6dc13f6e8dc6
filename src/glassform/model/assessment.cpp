#include "glassform/model/assessment.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace glassform {

namespace {

// The model alloy with `solvent` and the other elements as solutes by decreasing radius.
std::optional<AlloyResult> model_alloy(std::span<const FormulaPart> parts, std::size_t solvent) {
  std::array<const Element*, 4> elements{};
  std::size_t n = 0;
  elements[n++] = parts[solvent].element;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i == solvent) continue;
    // Insert by decreasing radius.
    std::size_t at = n++;
    for (; at > 1 && elements[at - 1]->radius < parts[i].element->radius; --at)
      elements[at] = elements[at - 1];
    elements[at] = parts[i].element;
  }
  std::array<ClusterMeasure, 3> measures{};
  std::array<int, 3> chosen{};
  for (std::size_t i = 1; i < n; ++i) {
    measures[i - 1] = measure_cluster(*elements[i], *elements[0]);
    chosen[i - 1] = nearest_integer(measures[i - 1].coordination);
  }
  return compute_alloy(std::span(elements).first(n), std::span(measures).first(n - 1),
                       std::span(chosen).first(n - 1));
}

}  // namespace

std::optional<ModelMatch> nearest_model_composition(std::span<const FormulaPart> parts,
                                                    const ElementData* data) {
  if (parts.size() < 2 || parts.size() > 4) return std::nullopt;
  for (const FormulaPart& p : parts) {
    if (!(p.element->radius > 0)) return std::nullopt;
  }
  double largest = 0;
  for (const FormulaPart& p : parts)
    largest = std::max(largest, p.amount);
  std::optional<ModelMatch> best;
  for (std::size_t s = 0; s < parts.size(); ++s) {
    if (parts[s].amount != largest) continue;
    std::optional<AlloyResult> alloy = model_alloy(parts, s);
    if (!alloy) continue;
    alloy->data = data;
    const std::span<const Element* const> elements = alloy->elements();
    for (std::size_t k = 0; k < alloy->compositions().size(); ++k) {
      const Composition& c = alloy->compositions()[k];
      double distance = 0;
      for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto given = std::find_if(parts.begin(), parts.end(), [&](const FormulaPart& p) {
          return p.element == elements[i];
        });
        distance = std::max(distance, std::abs(static_cast<double>(c.percent[i]) - given->amount));
      }
      const auto stored = static_cast<float>(distance);
      if (!best || stored < best->distance) best = ModelMatch{*alloy, k, stored};
    }
  }
  return best;
}

Assessment assess(std::span<const FormulaPart> parts, const ElementData* data) {
  Assessment out;
  for (const FormulaPart& p : parts) {
    if (p.amount > 0) out.parts.push_back(p);
  }
  out.data = data;
  out.criteria = glass_criteria(out.parts, data != nullptr ? *data : ElementData::builtin());
  out.elastic = estimate_formula_elastic(out.parts);
  out.model = nearest_model_composition(out.parts, data);
  return out;
}

}  // namespace glassform
