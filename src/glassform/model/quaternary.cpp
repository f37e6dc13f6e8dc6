#include "glassform/model/alloy_kinds.hpp"
#include "glassform/model/cluster_model.hpp"
#include "glassform/model/model_constants.hpp"

namespace glassform::detail {

using LD = long double;

void compute_quaternary_compositions(AlloyResult& alloy,
                                     std::span<const PreparedCluster> prepared) {
  // The measured ratios are used throughout; of the coordination numbers only the first
  // enters the arithmetic, and the chosen integers are only reported.
  std::array<LD, 3> spacing{};
  for (std::size_t i = 0; i < 3; ++i)
    spacing[i] = prepared[i].spacing;
  Composition& c = alloy.composition_slots[0];
  alloy.composition_count = 1;

  // One unit: s solvent atoms, one largest, one next and two smallest solutes.
  c.cell =
      make_cell(cell_edge(2.0, spacing[0] + spacing[1]), cell_edge(model::kTwoRootTwo, spacing[0]),
                cell_edge(model::kTwoOverRootThree, spacing[0] + spacing[1] + 2 * spacing[2]));

  c.solvent_atoms = prepared[0].solvent_atoms;
  c.total_atoms = static_cast<float>(static_cast<LD>(c.solvent_atoms) + 4.0F);
  c.percent[0] = static_cast<float>(static_cast<LD>(c.solvent_atoms) / c.total_atoms * 100.0F);
  c.percent[1] = static_cast<float>(1 / static_cast<LD>(c.total_atoms) * 100.0F);
  c.percent[2] = c.percent[1];
  c.percent[3] = static_cast<float>(2.0F / static_cast<LD>(c.total_atoms) * 100.0F);

  const LD atoms = static_cast<LD>(c.solvent_atoms) + static_cast<LD>(prepared[0].cube) +
                   static_cast<LD>(prepared[1].cube) + 2 * static_cast<LD>(prepared[2].cube);
  c.packing = packing_efficiency(atoms, c.cell.volume);
  c.elastic = estimate_composition(alloy, c);
}

}  // namespace glassform::detail
