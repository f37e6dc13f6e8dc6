// The text report: each alloy exactly as the dialogue prints it, from its first line
// ("For a <...> glass:") to the end of its last elastic block.
#pragma once

#include <functional>
#include <string>

#include "io/streams.hpp"
#include "model/alloys.hpp"
#include "model/criteria.hpp"

namespace glassform {

// The presentation of the elastic block, one per alloy kind, and one for any composition
// (no heading, "GPa" throughout, every line ended).
enum class ElasticStyle { kBinary, kTernary, kQuaternary, kComposition };

void append_elastic_text(std::string& out, ElasticStyle style, const ElasticResult& result);

// What the command line adds after each composition's elastic block; the dialogue adds
// nothing. Called at the start of a line; appends whole lines.
using CompositionNotes = std::function<void(std::string& out, const Composition& composition)>;

void append_text_report(std::string& out, const AlloyResult& alloy,
                        const CompositionNotes& notes = {});

// The composition criteria in three lines:
// Glass-forming criteria: delta = 9.87 %, dH_mix = -21.6 kJ/mol, ...
void append_criteria_text(std::string& out, const GlassCriteria& k);

}  // namespace glassform
