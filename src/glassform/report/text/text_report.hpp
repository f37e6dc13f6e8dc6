// The text report: each alloy exactly as the dialogue prints it, from its first line
// ("For a <...> glass:") to the end of its last elastic block.
#pragma once

#include <functional>
#include <string>

#include "glassform/io/streams.hpp"
#include "glassform/model/alloys.hpp"
#include "glassform/model/criteria.hpp"
#include "glassform/model/measured.hpp"

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

// What the command line adds after an elastic block: Poisson's ratio, B/G and Pugh's criterion
// (where B and G exist), then what the numbers are.
void append_elastic_notes(std::string& out, const ElasticResult& result);

// The measured moduli of the same composition beside the estimate:
// Measured (Cu50Zr50): G = 31.3 GPa, B = 101.2 GPa, nu = 0.358; estimate - measured: G +29 %, ...
void append_measured_text(std::string& out, const MeasuredGlass& measured,
                          const ElasticResult& estimate);

// The composition criteria in three lines:
// Glass-forming criteria: delta = 9.87 %, dH_mix = -21.6 kJ/mol, ...
void append_criteria_text(std::string& out, const GlassCriteria& k);

}  // namespace glassform
