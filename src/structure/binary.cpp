#include "structure/alloys.hpp"
#include "structure/cluster_model.hpp"
#include "structure/model_constants.hpp"

namespace glassform {

using LD = long double;

BinaryResult compute_binary(const Element& solvent, const Element& solute, int chosen) {
  BinaryResult r{};
  r.cluster = ideal_cluster(solute.radius, solvent.radius, chosen);

  const double s = cluster_spacing(r.cluster.ratio_used);
  r.cell = make_cell(cell_edge(4.0, s), cell_edge(model::kTwoRootTwo, s),
                     cell_edge(model::kEightOverRootThree, s));

  // The composition follows from the computed coordination number, not the chosen integer.
  r.solvent_atoms = solvent_atoms_per_cluster(r.cluster.coordination);
  r.total_atoms = static_cast<float>(static_cast<LD>(r.solvent_atoms) + 1);
  r.solvent_percent = static_cast<float>(static_cast<LD>(r.solvent_atoms) / r.total_atoms * 100);
  r.solute_percent = static_cast<float>(1 / static_cast<LD>(r.total_atoms) * 100);

  const LD atoms = 4 * static_cast<LD>(cube(r.cluster.ratio_used)) + r.solvent_atoms;
  r.packing = packing_efficiency(atoms, r.cell.volume);

  const std::array<Constituent, 2> constituents{{
      {solvent.symbol, solvent.e, solvent.g, solvent.b, r.solvent_percent},
      {solute.symbol, solute.e, solute.g, solute.b, r.solute_percent},
  }};
  r.elastic = estimate_elastic(constituents);
  return r;
}

}  // namespace glassform
