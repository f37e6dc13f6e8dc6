// The text report: each alloy exactly as the dialogue prints it, from its first line
// ("For a <...> glass:") to the end of its last elastic block.
#pragma once

#include <string>

#include "io/streams.hpp"
#include "model/alloys.hpp"

namespace glassform {

// The presentation of the elastic block, one per alloy kind, and one for any composition
// (no heading, "GPa" throughout, every line ended).
enum class ElasticStyle { kBinary, kTernary, kQuaternary, kComposition };

void append_elastic_text(std::string& out, ElasticStyle style, const ElasticResult& result);

void append_text_report(std::string& out, const AlloyResult& alloy);

}  // namespace glassform
