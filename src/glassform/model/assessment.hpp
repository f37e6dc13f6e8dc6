// Everything the program says about a composition that a user writes down: the composition
// criteria, the elastic estimate by the rule of mixtures, and how far it lies from what the
// cluster model proposes for the same elements.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "glassform/model/alloys.hpp"
#include "glassform/model/criteria.hpp"
#include "glassform/model/weighing.hpp"

namespace glassform {

// The model composition nearest a given one.
struct ModelMatch {
  AlloyResult alloy;
  std::size_t composition = 0;  // index into alloy.compositions()
  float distance = 0;           // largest |difference| of an element's at.%
};

// The cluster model's compositions for the elements of `parts` (2 to 4 distinct elements with
// a non-zero amount, normalised to 100): the solvent is the element with the largest amount,
// the solutes follow by decreasing radius, each cluster takes the integer nearest its computed
// coordination number. With a tie for the largest amount each tied element is the solvent in
// turn. Nothing for fewer than 2 or more than 4 elements.
// Nothing, too, where an element has no radius.
std::optional<ModelMatch> nearest_model_composition(std::span<const FormulaPart> parts,
                                                    const ElementData* data = nullptr);

struct Assessment {
  std::vector<FormulaPart> parts;  // the elements with a non-zero amount, in at.%
  GlassCriteria criteria;
  ElasticResult elastic;
  std::optional<ModelMatch> model;
  const ElementData* data = nullptr;  // the elements' data; null for the built-in tables
};

// `parts` as parse_formula gives them: distinct elements, amounts in at.% adding up to 100. The
// elements are those of `data` (null: the built-in tables), which must outlive the result.
Assessment assess(std::span<const FormulaPart> parts, const ElementData* data = nullptr);

}  // namespace glassform
