#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"
#include "structure/model_constants.hpp"

namespace glassform {

using LD = long double;

TernaryResult compute_ternary(const Element& solvent, const Element& largest,
                              const Element& smallest, int chosen_largest, int chosen_smallest) {
  TernaryResult r{};
  r.largest = ideal_cluster(largest.radius, solvent.radius, chosen_largest);
  r.smallest = ideal_cluster(smallest.radius, solvent.radius, chosen_smallest);
  r.largest_too_small = solute_too_small(r.largest.measured_ratio);
  r.largest_interchangeable = interchangeable_with_solvent(largest.radius, solvent.radius);
  r.smallest_interchangeable = interchangeable_with_solvent(smallest.radius, solvent.radius);
  // The solvent count of the ternary unit follows the chosen integer of the first cluster.
  r.solvent_atoms = solvent_atoms_per_cluster(chosen_largest);

  const float r1 = r.largest.ratio_used;
  const float r2 = r.smallest.ratio_used;
  const LD s1 = cluster_spacing(r1);
  const LD s2 = cluster_spacing(r2);
  const LD solvent_atoms = r.solvent_atoms;
  for (int k = 0; k < 3; ++k) {
    GammaComposition& c = r.compositions[static_cast<std::size_t>(k)];
    c.occupancy = k;
    // One unit: S solvent atoms, one largest solute and 1 + k smallest solutes.
    const int smallest_atoms = 1 + k;
    c.cell = make_cell(cell_edge(2.0, s1 + s2), cell_edge(model::kTwoRootTwo, s1),
                       cell_edge(model::kTwoOverRootThree, s1 + smallest_atoms * s2));
    const LD atoms =
        smallest_atoms * static_cast<LD>(cube(r2)) + (static_cast<LD>(cube(r1)) + solvent_atoms);
    c.packing = packing_efficiency(atoms, c.cell.volume);

    const LD unit = (solvent_atoms + 1) + smallest_atoms;
    c.largest_percent = static_cast<float>(100.0F / unit);
    c.smallest_percent = static_cast<float>(100 * smallest_atoms / unit);
    c.solvent_percent = static_cast<float>(solvent_atoms * 100.0F / unit);

    const std::array<Constituent, 3> constituents{{
        {solvent.symbol, solvent.e, solvent.g, solvent.b, c.solvent_percent},
        {largest.symbol, largest.e, largest.g, largest.b, c.largest_percent},
        {smallest.symbol, smallest.e, smallest.g, smallest.b, c.smallest_percent},
    }};
    c.elastic = estimate_elastic(constituents);
  }
  return r;
}

}  // namespace glassform
