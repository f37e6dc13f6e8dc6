// The text report: each alloy exactly as the dialogue prints it, from its first line
// ("For a <...> glass:") to the end of its last elastic block.
#pragma once

#include <cstdarg>
#include <string>

#include "model/alloys.hpp"
#include "report/streams.hpp"

namespace glassform {

// The presentation of the elastic block, one per alloy kind, and one for any composition
// (no heading, "GPa" throughout, every line ended).
enum class ElasticStyle { kBinary, kTernary, kQuaternary, kComposition };

ElasticStyle elastic_style(AlloyKind kind);

void append_elastic_text(std::string& out, ElasticStyle style, const ElasticResult& result);

void append_text_report(std::string& out, const AlloyResult& alloy);
void write_text_report(OutputSink& sink, const AlloyResult& alloy);

// printf into a string.
void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void vappendf(std::string& out, const char* format, va_list args);

}  // namespace glassform
