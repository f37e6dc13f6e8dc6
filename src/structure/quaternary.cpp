#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"
#include "structure/model_constants.hpp"

namespace glassform {

using LD = long double;

QuaternaryResult compute_quaternary(const Element& solvent, const Element& largest,
                                    const Element& next, const Element& smallest,
                                    const std::array<int, 3>& chosen) {
  QuaternaryResult r{};
  const std::array<const Element*, 3> solutes{&largest, &next, &smallest};
  std::array<LD, 3> spacing{};
  for (std::size_t i = 0; i < 3; ++i) {
    r.ratios[i] = radius_ratio(solutes[i]->radius, solvent.radius);
    r.coordination[i] = coordination_number(r.ratios[i]);
    spacing[i] = cluster_spacing(r.ratios[i]);
  }
  r.chosen = chosen;

  // One unit: s solvent atoms, one largest, one next and two smallest solutes.
  r.cell =
      make_cell(cell_edge(2.0, spacing[0] + spacing[1]), cell_edge(model::kTwoRootTwo, spacing[0]),
                cell_edge(model::kTwoOverRootThree, spacing[0] + spacing[1] + 2 * spacing[2]));

  r.solvent_atoms = solvent_atoms_per_cluster(r.coordination[0]);
  r.total_atoms = static_cast<float>(static_cast<LD>(r.solvent_atoms) + 4.0F);
  r.solvent_percent = static_cast<float>(static_cast<LD>(r.solvent_atoms) / r.total_atoms * 100.0F);
  r.single_percent = static_cast<float>(1 / static_cast<LD>(r.total_atoms) * 100.0F);
  r.smallest_percent = static_cast<float>(2.0F / static_cast<LD>(r.total_atoms) * 100.0F);

  const LD atoms = static_cast<LD>(r.solvent_atoms) + static_cast<LD>(cube(r.ratios[0])) +
                   static_cast<LD>(cube(r.ratios[1])) + 2 * static_cast<LD>(cube(r.ratios[2]));
  r.packing = packing_efficiency(atoms, r.cell.volume);

  const std::array<Constituent, 4> constituents{{
      {solvent.symbol, solvent.e, solvent.g, solvent.b, r.solvent_percent},
      {largest.symbol, largest.e, largest.g, largest.b, r.single_percent},
      {next.symbol, next.e, next.g, next.b, r.single_percent},
      {smallest.symbol, smallest.e, smallest.g, smallest.b, r.smallest_percent},
  }};
  r.elastic = estimate_elastic(constituents);
  return r;
}

}  // namespace glassform
