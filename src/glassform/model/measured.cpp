#include "glassform/model/measured.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace glassform {

void complete_moduli(MeasuredGlass& glass, std::optional<double> e) {
  if (e && glass.nu) {
    const double nu = *glass.nu;
    if (!glass.g && nu > -1) glass.g = *e / (2 * (1 + nu));
    if (!glass.b && nu < 0.5) glass.b = *e / (3 * (1 - 2 * nu));
  }
  if (!glass.nu && glass.g && glass.b && 3 * *glass.b + *glass.g != 0) {
    glass.nu = (3 * *glass.b - 2 * *glass.g) / (2 * (3 * *glass.b + *glass.g));
  }
}

const MeasuredGlass* find_measured(std::span<const MeasuredGlass> glasses,
                                   std::span<const FormulaPart> parts) {
  // The distinct elements with their summed amounts, normalised to 100.
  std::vector<FormulaPart> given;
  double total = 0;
  for (const FormulaPart& p : parts) {
    if (!(p.amount > 0)) continue;
    total += p.amount;
    const auto same = std::find_if(given.begin(), given.end(),
                                   [&p](const FormulaPart& q) { return q.element == p.element; });
    if (same != given.end()) {
      same->amount += p.amount;
    } else {
      given.push_back(p);
    }
  }
  if (given.empty()) return nullptr;
  for (FormulaPart& p : given)
    p.amount = p.amount * 100 / total;
  for (const MeasuredGlass& glass : glasses) {
    const bool same =
        glass.parts.size() == given.size() &&
        std::all_of(given.begin(), given.end(), [&glass](const FormulaPart& p) {
          return std::any_of(glass.parts.begin(), glass.parts.end(), [&p](const FormulaPart& q) {
            return q.element == p.element && std::abs(q.amount - p.amount) <= kSameComposition;
          });
        });
    if (same) return &glass;
  }
  return nullptr;
}

const MeasuredGlass* find_measured(std::span<const MeasuredGlass> glasses, const AlloyResult& alloy,
                                   const Composition& composition) {
  const std::span<const Element* const> e = alloy.elements();
  std::array<FormulaPart, 4> parts{};
  for (std::size_t i = 0; i < e.size(); ++i)
    parts[i] = {e[i], static_cast<double>(composition.percent[i])};
  return find_measured(glasses, std::span(parts).first(e.size()));
}

}  // namespace glassform
