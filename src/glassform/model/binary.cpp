#include "glassform/model/alloy_kinds.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/model_constants.hpp"

namespace glassform::detail {

using LD = long double;

void compute_binary_compositions(AlloyResult& alloy, std::span<const PreparedCluster> prepared) {
  Composition& c = alloy.composition_slots[0];
  alloy.composition_count = 1;

  const double s = prepared[0].spacing;
  c.cell = make_cell(cell_edge(4.0, s), cell_edge(model::kTwoRootTwo, s),
                     cell_edge(model::kEightOverRootThree, s));

  // The composition follows from the computed coordination number, not the chosen integer.
  c.solvent_atoms = prepared[0].solvent_atoms;
  c.total_atoms = static_cast<float>(static_cast<LD>(c.solvent_atoms) + 1);
  c.percent[0] = static_cast<float>(static_cast<LD>(c.solvent_atoms) / c.total_atoms * 100);
  c.percent[1] = static_cast<float>(1 / static_cast<LD>(c.total_atoms) * 100);

  const LD atoms = 4 * static_cast<LD>(prepared[0].cube) + c.solvent_atoms;
  c.packing = packing_efficiency(atoms, c.cell.volume);
  c.elastic = estimate_composition(alloy, c);
}

}  // namespace glassform::detail
