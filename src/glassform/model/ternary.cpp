#include "glassform/model/alloy_kinds.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/model_constants.hpp"

namespace glassform::detail {

using LD = long double;

void compute_ternary_compositions(AlloyResult& alloy, std::span<const PreparedCluster> prepared) {
  // The solvent count of the ternary unit follows the chosen integer of the first cluster.
  const float solvent_atoms = prepared[0].solvent_atoms_chosen;
  const LD s1 = prepared[0].spacing;
  const LD s2 = prepared[1].spacing;
  alloy.composition_count = 3;
  for (int k = 0; k < 3; ++k) {
    Composition& c = alloy.composition_slots[static_cast<std::size_t>(k)];
    c.gamma_sites = k;
    c.solvent_atoms = solvent_atoms;
    // One unit: S solvent atoms, one largest solute and 1 + k smallest solutes.
    const int smallest_atoms = 1 + k;
    c.cell = make_cell(cell_edge(2.0, s1 + s2), cell_edge(model::kTwoRootTwo, s1),
                       cell_edge(model::kTwoOverRootThree, s1 + smallest_atoms * s2));
    const LD atoms = smallest_atoms * static_cast<LD>(prepared[1].cube) +
                     (static_cast<LD>(prepared[0].cube) + static_cast<LD>(solvent_atoms));
    c.packing = packing_efficiency(atoms, c.cell.volume);

    const LD unit = (static_cast<LD>(solvent_atoms) + 1) + smallest_atoms;
    c.total_atoms = static_cast<float>(unit);
    c.percent[1] = static_cast<float>(100.0F / unit);
    c.percent[2] = static_cast<float>(100 * smallest_atoms / unit);
    c.percent[0] = static_cast<float>(static_cast<LD>(solvent_atoms) * 100.0F / unit);
    c.elastic = estimate_composition(alloy, c);
  }
}

}  // namespace glassform::detail
