// The arithmetic of each alloy kind, given its elements and clusters; used by compute_alloy.
#pragma once

#include "model/alloys.hpp"

namespace glassform::detail {

// Each fills the compositions of `alloy`, whose elements and clusters are already set.
void compute_binary_compositions(AlloyResult& alloy);
void compute_ternary_compositions(AlloyResult& alloy);
void compute_quaternary_compositions(AlloyResult& alloy);

// The elastic estimate of one composition, its constituents in element order.
ElasticResult estimate_composition(const AlloyResult& alloy, const Composition& composition);

}  // namespace glassform::detail
